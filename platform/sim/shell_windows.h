#pragma once
// Simulated shell windows: top-level windows in z-order with children, each
// with a class, a text and a visibility. Class names compare without regard
// to case.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"

namespace talvorin::sim {

using platform::WindowHandle;

class ShellWindows final : public platform::ShellWindows {
 public:
  // A new top-level window goes on top of the z-order, as a freshly
  // created one does, though beneath any topmost window. The searches take
  // no title, as the program's pass none: a window's title never hides it
  // from them.
  WindowHandle add_top_level(std::string class_name, std::string text = {});
  WindowHandle add_child(WindowHandle parent, std::string class_name, std::string text = {});
  void remove(WindowHandle window);

  // The taskbar with its Start button, as the shell makes and titles them.
  WindowHandle add_taskbar();
  // A window's place and looks; a child has its parent's thread. New windows
  // show, at no size, on the shell's thread. A top-level window made
  // topmost goes to the top of the z-order; a child is never topmost, and
  // its region is never read.
  void set_facts(WindowHandle window, const platform::WindowFacts& facts);
  void set_thread(WindowHandle window, std::uint32_t thread);
  // The desktop's icon view under a new top-level window of the class
  // ("Progman", or "WorkerW" once the shell has moved it); returns the list view.
  WindowHandle add_desktop(std::string top_class);

  // The monitors, the first the primary one: one of 1024x768 unless set.
  void set_monitors(std::vector<core::PixelRect> monitors) { monitors_ = std::move(monitors); }

  // The z-order of the top-level windows, as the program's own windows and
  // the tests read and change it: none of these counts among the calls.
  // GetWindow with GW_HWNDNEXT and GW_HWNDPREV: 0 past either end.
  WindowHandle window_beneath(WindowHandle window) const;
  WindowHandle window_above(WindowHandle window) const;
  // SetWindowPos with HWND_TOP: on top of the windows of its kind, topmost
  // or not.
  void raise(WindowHandle window);
  // SetWindowPos with a window for hWndInsertAfter: directly beneath it,
  // where a window of its kind may stand. Below an ordinary window a
  // topmost one is topmost no longer; an ordinary one goes no higher than
  // the top of the ordinary windows.
  void put_beneath(WindowHandle window, WindowHandle above);
  // What a window is, without a call through the port; all zero when gone.
  platform::WindowFacts peek(WindowHandle window) const;
  std::string class_of(WindowHandle window) const;

  std::string text_of(WindowHandle window) const;
  std::size_t texts_sent() const { return texts_sent_; }
  bool visible(WindowHandle window) const;
  // Every call the program made through the port: each one a trip to the
  // window server on Windows.
  std::size_t calls() const { return calls_; }
  // Every ShowWindow call, in order.
  const std::vector<std::pair<WindowHandle, platform::ShowCommand>>& show_calls() const { return show_calls_; }

  WindowHandle find_window(std::string_view class_name) override;
  WindowHandle find_child_window(WindowHandle parent, std::string_view class_name) override;
  void set_window_text(WindowHandle window, const std::string& ansi_text) override;
  WindowHandle find_next_window(WindowHandle parent, WindowHandle after, std::string_view class_name) override;
  void show_window(WindowHandle window, platform::ShowCommand command) override;
  platform::WindowFacts facts(WindowHandle window) override;
  core::PixelRect monitor_of(const core::PixelRect& rect) override;
  std::uint32_t thread_of(WindowHandle window) override;

 private:
  struct Window {
    WindowHandle handle;
    WindowHandle parent;
    std::string class_name;
    std::string text;
    platform::WindowFacts facts{.visible = true};
    std::uint32_t thread = kShellThread;
  };
  static constexpr std::uint32_t kShellThread = 1;
  const Window* lookup(WindowHandle window) const;
  Window* lookup(WindowHandle window);
  // Where a top-level window that is not topmost goes on top.
  std::vector<Window>::iterator below_topmost();
  std::vector<Window>::iterator position_of(WindowHandle window);

  std::vector<Window> windows_;  // front: top of the z-order
  WindowHandle next_handle_ = 0x100;
  std::size_t texts_sent_ = 0;
  std::size_t calls_ = 0;
  std::vector<core::PixelRect> monitors_{{0, 0, 1024, 768}};
  std::vector<std::pair<WindowHandle, platform::ShowCommand>> show_calls_;
};

// The caption windows: top-level windows of the program's own in the
// shell's z-order, made, moved, shown and hidden as the Win32 ones are, each
// put back directly above the window its placement names.
class StartOverlays final : public platform::StartOverlays {
 public:
  // The class of the caption windows, another copy's as well as ours.
  static constexpr std::string_view kWindowClass = "TalvorinStartCaption";

  // What the system does with each show, hide and move of a caption window:
  // a window event of the program's own, as Windows and Wine 10 raise one.
  // Until a test sets it, none, as under Wine 8.
  using RaiseEvent = std::function<void(core::WindowEventKind)>;

  explicit StartOverlays(ShellWindows& shell) : shell_(shell) {}
  void show(const std::vector<core::OverlayPlacement>& placements, std::u16string_view caption) override;
  void restack() override;
  void raise_events(RaiseEvent raise) { raise_ = std::move(raise); }

  // The placements of the caption windows that show, in order.
  std::vector<core::OverlayPlacement> shown() const;
  // Their windows, shown or not, in the order of the placements.
  std::vector<WindowHandle> windows() const;
  // The caption of the overlays that show; empty with none.
  const std::u16string& caption() const { return caption_; }
  // Times an overlay was moved or drawn anew.
  std::size_t redraws() const { return redraws_; }
  // As a change of the display's monitors reaches the overlays' windows.
  void change_display() { ++display_changes_; }
  std::uint32_t display_changes() const override { return display_changes_; }

 private:
  struct Overlay {
    WindowHandle window = 0;
    core::OverlayState state{};
  };
  void place(Overlay& overlay, const core::OverlayPlacement& placement, std::u16string_view caption);
  void stand_above(const Overlay& overlay);
  void raise(core::WindowEventKind kind) const {
    if (raise_) raise_(kind);
  }

  ShellWindows& shell_;
  RaiseEvent raise_;
  std::vector<Overlay> overlays_;
  std::u16string caption_;
  std::size_t redraws_ = 0;
  std::uint32_t display_changes_ = 0;
};

}  // namespace talvorin::sim
