#include "core/shell_events.h"

namespace talvorin::core {

bool moves_caption(const WindowEvent& event, std::uint32_t own_process, std::uint32_t taskbar_process) {
  // Under Wine 10 a hook that skips the program's own process hears
  // nothing at all, so its own events come and are dropped here.
  if (event.process == own_process) return false;
  switch (event.kind) {
    case WindowEventKind::Foreground:
      return true;
    case WindowEventKind::Destroy:
    case WindowEventKind::Show:
    case WindowEventKind::Hide:
    case WindowEventKind::Reorder:
    case WindowEventKind::LocationChange:
      // A caret or the pointer moving in an Explorer window is no window.
      return event.object == kWindowObject && taskbar_process != 0 && event.process == taskbar_process;
  }
  return false;
}

bool proves_events(const WindowEvent& event, std::uint32_t own_process, std::uint32_t taskbar_process) {
  switch (event.kind) {
    case WindowEventKind::Show:
    case WindowEventKind::Hide:
    case WindowEventKind::LocationChange:
      return event.object == kWindowObject && event.process != 0 &&
             (event.process == own_process || event.process == taskbar_process);
    case WindowEventKind::Foreground:
    case WindowEventKind::Destroy:
    case WindowEventKind::Reorder:
      break;
  }
  return false;
}

bool CaptionFollowing::follow(std::uintptr_t taskbar, const ProcessOf& process_of) {
  if (taskbar == 0) return false;
  // Refused hooks are asked for again on each tick that finds the taskbar.
  if (taskbar == taskbar_) return events_ == ShellEvents::Stopped;
  const std::uint32_t process = process_of(taskbar);
  // Gone between the search and now: looked at again with the next tick.
  if (process == 0) return false;
  taskbar_ = taskbar;
  if (process == taskbar_process_ && events_ != ShellEvents::Stopped) return false;
  taskbar_process_ = process;
  return true;
}

bool CaptionFollowing::places(const TickSeen& seen) {
  const bool anew = events_ != ShellEvents::Known || seen.user || seen.taskbar != placed_taskbar_ ||
                    seen.button != placed_button_ || seen.display_changes != placed_display_changes_ ||
                    seen.caption != placed_caption_ || ticks_since_placed_ + 1 >= kTicksPerGuard;
  if (!anew) {
    ++ticks_since_placed_;
    return false;
  }
  placed_taskbar_ = seen.taskbar;
  placed_button_ = seen.button;
  placed_display_changes_ = seen.display_changes;
  placed_caption_ = seen.caption;
  ticks_since_placed_ = 0;
  // This placement serves a burst whose call back was lost (a full message
  // queue): it no longer holds back the next one.
  pending_ = false;
  return true;
}

bool CaptionFollowing::heard(const WindowEvent& event) {
  if (events_ == ShellEvents::NotKnown && proves_events(event, own_process_, taskbar_process_)) {
    events_ = ShellEvents::Known;
  }
  if (pending_ || !moves_caption(event, own_process_, taskbar_process_)) return false;
  pending_ = true;
  return true;
}

bool CaptionFollowing::due() {
  const bool due = pending_;
  pending_ = false;
  return due;
}

}  // namespace talvorin::core
