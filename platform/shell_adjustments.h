#pragma once
// Procedures that act on the shell's own windows.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"

namespace talvorin::platform {

// Who asked for the caption: the user with "Ok", or the timer.
enum class CaptionRequest { User, Timer };

// The report of a missing Start button. Once the user has closed it, the
// timer stays silent until a search has found the button again; a request
// of the user's own is answered every time. There is never more than one
// box open: while one is, a second report returns at once.
class MissingButtonReport {
 public:
  explicit MissingButtonReport(MessageBoxes& boxes) : boxes_(boxes) {}
  void button_found() { reported_ = false; }
  void button_missing(CaptionRequest request);
  bool is_open() const { return open_; }

 private:
  MessageBoxes& boxes_;
  bool open_ = false;
  bool reported_ = false;  // this loss of the button has had its box
};

// The monitors of the Start buttons last seen. A monitor's rectangle is
// read again only for a button that has moved, or once the display has
// changed: a tick where nothing moves reads none.
class MonitorCache {
 public:
  core::PixelRect monitor_of(ShellWindows& shell, const core::PixelRect& button, std::uint32_t display_changes);

 private:
  struct Entry {
    core::PixelRect button;
    core::PixelRect monitor;
  };
  // A few more than the taskbars anyone has; the oldest goes first.
  static constexpr std::size_t kMostEntries = 8;
  std::vector<Entry> entries_;
  std::uint32_t display_changes_ = 0;
};

// The taskbar and its "Button" child, looked up afresh; either may be 0.
struct StartButtonWindows {
  WindowHandle taskbar = 0;
  WindowHandle button = 0;
};
StartButtonWindows FindStartButton(ShellWindows& shell);

// The caption of the shell's Start button: written into the button, shown
// over it where it paints no text, and a button gone missing reported. It
// keeps the report's state and the monitors of the buttons between calls.
class StartButtonCaption {
 public:
  StartButtonCaption(ShellWindows& shell, StartOverlays& overlays, const AnsiCodePage& code_page, MessageBoxes& boxes)
      : shell_(shell), overlays_(overlays), code_page_(code_page), report_(boxes) {}

  // Whether a tick lays the overlays anew, asked once the two searches have
  // found the taskbar and its button, with the count of display changes.
  using PlacesAnew = std::function<bool(const StartButtonWindows& found, std::uint32_t display_changes)>;

  // Writes `text` into the taskbar's Start button, looked up afresh, as far
  // as the code page carries it. Where the button paints no text of its
  // own, the overlays show the text, whole, over it: laid anew with the
  // full search and plan where `places_anew` says so (or is empty), and
  // otherwise only put back above their taskbars in the z-order. A button
  // missing in every shape the search knows goes to the report; a tick
  // that lays nothing anew reports what the last placement found. Returns
  // the taskbar found, or 0.
  WindowHandle write(CaptionRequest request, std::u16string_view text, const PlacesAnew& places_anew = {});
  // Lays the overlays over the button as `write` does, with the same
  // search and plan, but writes no text and reports nothing.
  void place(std::u16string_view text) { place(FindStartButton(shell_), text); }
  bool report_open() const { return report_.is_open(); }

 private:
  core::StartButtonPlan place(const StartButtonWindows& found, std::u16string_view text);

  ShellWindows& shell_;
  StartOverlays& overlays_;
  const AnsiCodePage& code_page_;
  MissingButtonReport report_;
  MonitorCache monitors_;
  bool found_ = false;  // by the last placement
};

// The overlays follow the shell between the ticks. An event that may have
// moved them asks for one re-placement for its whole burst, made once the
// messages waiting have been handled, with the caption the tick last laid.
// It writes no text and reports no missing button: both stay the tick's,
// which also remains the only guard where no event comes.
class CaptionFollower {
 public:
  // Asks for a call once the messages waiting now have been handled.
  using Post = std::function<void(std::function<void()>)>;

  CaptionFollower(ShellWatch& watch, StartButtonCaption& start_button, Post post);
  CaptionFollower(const CaptionFollower&) = delete;
  CaptionFollower& operator=(const CaptionFollower&) = delete;
  ~CaptionFollower() { watch_.stop(); }

  // The tick: the caption written into the Start button, and the overlays
  // laid anew or left where they are as core's CaptionFollowing says. A
  // taskbar of a new process is watched from now on, before the overlays
  // move, so that their own show or move can tell that the events come;
  // hooks the system refused are asked for again on the next tick.
  void write(CaptionRequest request, std::u16string_view caption);

 private:
  void heard(const core::WindowEvent& event);
  void follow();

  ShellWatch& watch_;
  StartButtonCaption& start_button_;
  Post post_;
  core::CaptionFollowing following_;
  std::u16string caption_;
  // A call asked for may come after the follower is gone.
  std::shared_ptr<CaptionFollower*> self_ = std::make_shared<CaptionFollower*>(this);
};

// What the shell has of a Start button, looked up from the taskbar and the
// "Button" child the caption went to (either may be 0), with the monitor
// of each button found.
core::StartButtonSearch SearchStartButton(ShellWindows& shell, WindowHandle taskbar, WindowHandle button,
                                          const std::function<core::PixelRect(const core::PixelRect&)>& monitor_of);

// Show or hide the list view that holds the desktop icons. Nothing happens
// where the shell has no such view.
void ShowDesktopIcons(ShellWindows& shell);
void HideDesktopIcons(ShellWindows& shell);

}  // namespace talvorin::platform
