#pragma once
// Window events as a test fires them, let through as the Win32 hooks let
// them through: a change of the foreground from every process, the other
// events only from the process watched and, but for a window destroyed,
// from the program's own.

#include <cstdint>
#include <map>
#include <utility>

#include "platform/ports.h"
#include "platform/sim/shell_windows.h"

namespace talvorin::sim {

class ShellWatch final : public platform::ShellWatch {
 public:
  static constexpr std::uint32_t kOwnProcess = 1;
  static constexpr std::uint32_t kShellProcess = 20;

  explicit ShellWatch(const ShellWindows& shell) : shell_(shell) {}

  std::uint32_t own_process() override { return kOwnProcess; }
  // The shell's process for each of the shell's windows, unless a test set
  // another; 0 for a window that is gone.
  std::uint32_t process_of(platform::WindowHandle window) override {
    if (shell_.class_of(window).empty()) return 0;
    const auto set = processes_.find(window);
    return set == processes_.end() ? kShellProcess : set->second;
  }
  bool watch(std::uint32_t process, Listener listener) override {
    ++watch_calls_;
    if (refusals_ > 0) {
      --refusals_;
      stop();
      return false;
    }
    watched_ = process;
    listener_ = std::move(listener);
    return true;
  }
  void stop() override {
    watched_ = 0;
    listener_ = nullptr;
  }

  void set_process(platform::WindowHandle window, std::uint32_t process) { processes_[window] = process; }
  // The system sends the event; true where a hook let it through.
  bool fire(const core::WindowEvent& event) {
    using enum core::WindowEventKind;
    if (!listener_) return false;
    const bool own = event.process == kOwnProcess && event.kind != Destroy;
    if (event.kind != Foreground && event.process != watched_ && !own) return false;
    listener_(event);
    return true;
  }
  // The process watched now; 0: none.
  std::uint32_t watched() const { return watched_; }
  // The system refuses the hooks of the next `times` calls of watch().
  void refuse(int times) { refusals_ = times; }
  int watch_calls() const { return watch_calls_; }

 private:
  const ShellWindows& shell_;
  std::map<platform::WindowHandle, std::uint32_t> processes_;
  Listener listener_;
  std::uint32_t watched_ = 0;
  int refusals_ = 0;
  int watch_calls_ = 0;
};

}  // namespace talvorin::sim
