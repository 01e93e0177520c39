#pragma once
// Which window events of the shell move the caption windows between the
// ticks, and how a burst of them comes to one re-placement.

#include <cstdint>
#include <functional>

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

// The caption windows following the shell between the ticks. A burst of
// events (a taskbar sliding sends one move after another) asks for one
// re-placement, made once the messages waiting have been handled.
class CaptionFollowing {
 public:
  using ProcessOf = std::function<std::uint32_t(std::uintptr_t window)>;

  explicit CaptionFollowing(std::uint32_t own_process) : own_process_(own_process) {}

  // The tick found this taskbar (0: none). The process of a taskbar window
  // not seen before is looked up, so an idle tick looks up none. True where
  // the events must now be heard from that process: Explorer was started
  // anew. Without a taskbar, the last one's process is kept.
  bool follow(std::uintptr_t taskbar, const ProcessOf& process_of);
  std::uint32_t taskbar_process() const { return taskbar_process_; }

  // An event arrived. True where it starts a burst: the caller asks to be
  // called back once the message queue is empty.
  bool heard(const WindowEvent& event);
  // That call back: true where the re-placement is to be made now. It ends
  // the burst; the next event starts another.
  bool due();
  // The tick has placed the caption windows. A burst whose call back was
  // lost (a full message queue) then no longer holds back the next one.
  void placed() { pending_ = false; }

 private:
  std::uint32_t own_process_;
  std::uintptr_t taskbar_ = 0;
  std::uint32_t taskbar_process_ = 0;
  bool pending_ = false;
};

}  // namespace talvorin::core
