#pragma once
// Window events as a test fires them, let through as the Win32 hooks let
// them through: a change of the foreground from every process, the other
// events only from the process watched.

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
    if (!listener_) return false;
    if (event.kind != core::WindowEventKind::Foreground && event.process != watched_) return false;
    listener_(event);
    return true;
  }
  // The process watched now; 0: none.
  std::uint32_t watched() const { return watched_; }

 private:
  const ShellWindows& shell_;
  std::map<platform::WindowHandle, std::uint32_t> processes_;
  Listener listener_;
  std::uint32_t watched_ = 0;
};

}  // namespace talvorin::sim
