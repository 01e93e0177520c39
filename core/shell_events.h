#pragma once
// Which window events of the shell move the caption windows between the
// ticks, how a burst of them comes to one re-placement, and which ticks
// must still lay the caption windows anew.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace talvorin::core {

// The WinEvents the program listens to, numbered as the SDK numbers them.
enum class WindowEventKind : std::uint32_t {
  Foreground = 0x0003,      // EVENT_SYSTEM_FOREGROUND
  Destroy = 0x8001,         // EVENT_OBJECT_DESTROY
  Show = 0x8002,            // EVENT_OBJECT_SHOW
  Hide = 0x8003,            // EVENT_OBJECT_HIDE
  Reorder = 0x8004,         // EVENT_OBJECT_REORDER
  LocationChange = 0x800B,  // EVENT_OBJECT_LOCATIONCHANGE
};

// The object of an event about a window itself (OBJID_WINDOW), not about
// its caret, the cursor or a scroll bar of it.
inline constexpr std::int32_t kWindowObject = 0;

struct WindowEvent {
  WindowEventKind kind{};
  std::uint32_t process = 0;  // the process of the window; 0 where it is gone
  std::int32_t object = kWindowObject;
};

// Whether an event may have moved a Start button or its taskbar, or put the
// taskbar over a caption window: a change of the foreground in any other
// process (a click raises the taskbar; Windows 10's Start menu is another
// process's window), or a window of the taskbar's process shown, hidden,
// destroyed, moved or restacked. The program's own windows move only where
// it moves them itself.
bool moves_caption(const WindowEvent& event, std::uint32_t own_process, std::uint32_t taskbar_process);

// Whether an event shows that the system tells this program of windows
// shown, hidden and moved, the events that spare the tick its reads: one of
// its own windows or of the taskbar's process, heard through the hooks.
// Wine 8 sends the creation of windows and next to nothing else out of
// context, so neither a creation nor a change of the foreground counts.
bool proves_events(const WindowEvent& event, std::uint32_t own_process, std::uint32_t taskbar_process);

// Whether the window events are known to come.
enum class ShellEvents {
  NotKnown,  // the hooks stand, and nothing has shown yet that events come
  Known,     // an event has shown it (proves_events) since the hooks were set
  Stopped,   // no hooks stand: refused, or none set yet
};

// What a tick found before it lays the caption windows.
struct TickSeen {
  std::uintptr_t taskbar = 0;  // the two searches' windows; 0: none
  std::uintptr_t button = 0;
  // The count of changes of the display, a DPI, the settings or the theme.
  std::uint32_t display_changes = 0;
  std::u16string_view caption;
  bool user = false;  // "Ok": the user asked for the caption now
};

// Where the events are known, the full placement runs at least on this
// tick since the last: once a second at 100 ms, as a guard against an
// event the system did not send.
inline constexpr int kTicksPerGuard = 10;

// The caption windows following the shell between the ticks. A burst of
// events (a taskbar sliding sends one move after another) asks for one
// re-placement, made once the messages waiting have been handled.
class CaptionFollowing {
 public:
  using ProcessOf = std::function<std::uint32_t(std::uintptr_t window)>;

  explicit CaptionFollowing(std::uint32_t own_process) : own_process_(own_process) {}

  // The tick found this taskbar (0: none). The process of a taskbar window
  // not seen before is looked up, so an idle tick looks up none. True where
  // the hooks must now be set for that process: Explorer was started anew,
  // or the hooks were refused before. Without a taskbar, the last one's
  // process is kept.
  bool follow(std::uintptr_t taskbar, const ProcessOf& process_of);
  std::uint32_t taskbar_process() const { return taskbar_process_; }
  // The hooks for the taskbar's process were set (true) or refused. Set
  // anew, they must show again that events come.
  void hooks_set(bool stand) { events_ = stand ? ShellEvents::NotKnown : ShellEvents::Stopped; }
  ShellEvents events() const { return events_; }

  // Whether the tick lays the caption windows anew, with the full search
  // and plan: always until the events are known; where they are, only for
  // other windows found, a change of the display or the caption, "Ok", and
  // as the guard. Otherwise the tick leaves them where the last placement
  // laid them, and only puts them back onto their taskbars in the z-order,
  // which no event tells under Wine 10.
  bool places(const TickSeen& seen);

  // An event arrived. True where it starts a burst: the caller asks to be
  // called back once the message queue is empty.
  bool heard(const WindowEvent& event);
  // That call back: true where the re-placement is to be made now. It ends
  // the burst; the next event starts another.
  bool due();

 private:
  std::uint32_t own_process_;
  std::uintptr_t taskbar_ = 0;
  std::uint32_t taskbar_process_ = 0;
  bool pending_ = false;
  ShellEvents events_ = ShellEvents::Stopped;
  // What the last full placement of a tick found, and the ticks since.
  std::uintptr_t placed_taskbar_ = 0;
  std::uintptr_t placed_button_ = 0;
  std::uint32_t placed_display_changes_ = 0;
  std::u16string placed_caption_;
  int ticks_since_placed_ = 0;
};

}  // namespace talvorin::core
