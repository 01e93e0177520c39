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

bool CaptionFollowing::follow(std::uintptr_t taskbar, const ProcessOf& process_of) {
  if (taskbar == 0 || taskbar == taskbar_) return false;
  const std::uint32_t process = process_of(taskbar);
  // Gone between the search and now: looked at again with the next tick.
  if (process == 0) return false;
  taskbar_ = taskbar;
  if (process == taskbar_process_) return false;
  taskbar_process_ = process;
  return true;
}

bool CaptionFollowing::heard(const WindowEvent& event) {
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
