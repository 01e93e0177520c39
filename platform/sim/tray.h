#pragma once
// A simulated notification area. Like the shell it refuses a second add of
// an icon it already shows, a change or a delete of one it does not, and a
// record whose size is not that of the caller's layout.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"
#include "platform/sim/journal.h"

namespace talvorin::sim {

class Tray final : public platform::Tray {
 public:
  struct Icon {
    std::uint64_t icon = 0;
    std::uint32_t callback_message = 0;
    std::string tip;  // the ANSI bytes up to the first NUL
  };
  struct Call {
    core::TrayCommand command;
    core::TrayRecordBytes record;
    bool accepted;
  };

  // The layout of the process the simulation stands for: a 32-bit one unless
  // a test says otherwise.
  explicit Tray(const core::TrayRecordLayout& layout = core::kTrayLayout32) : layout_(&layout) {}

  const core::TrayRecordLayout& layout() const override { return *layout_; }
  void set_layout(const core::TrayRecordLayout& layout) { layout_ = &layout; }
  bool notify(core::TrayCommand command, const core::TrayRecordBytes& record) override;
  void attach(Journal& journal) { journal_ = &journal; }

  // The shell forgets every icon, as a restarted taskbar does.
  void forget_all() { icons_.clear(); }
  // The next adds fail, as with a shell that does not answer yet (Explorer
  // at log-on): Shell_NotifyIcon gives up waiting and reports a failure.
  // With `taken_after_all` the shell still takes them, later than the call
  // waited for.
  void refuse_adds(int count, bool taken_after_all = false) {
    refused_adds_ = count;
    refused_adds_taken_ = taken_after_all;
  }

  bool has_icon(std::uint64_t owner, std::uint32_t id) const { return icons_.contains({owner, id}); }
  std::size_t icon_count() const { return icons_.size(); }
  const Icon* icon(std::uint64_t owner, std::uint32_t id) const;
  const std::vector<Call>& calls() const { return calls_; }

 private:
  void take_fields(Icon& icon, const core::TrayRecordBytes& record) const;

  const core::TrayRecordLayout* layout_;
  std::map<std::pair<std::uint64_t, std::uint32_t>, Icon> icons_;
  std::vector<Call> calls_;
  Journal* journal_ = nullptr;
  int refused_adds_ = 0;
  bool refused_adds_taken_ = false;
};

}  // namespace talvorin::sim
