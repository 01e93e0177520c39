#pragma once
// The cases every StartOverlays adapter passes: the Win32 caption windows
// among windows made under Wine, the simulated ones in the simulated
// z-order. The handler scenarios count redraws and read places on the
// simulation, so what it draws anew and where it stands must be what the
// exe's windows do.

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

using platform::WindowHandle;

struct ShownOverlay {
  WindowHandle window = 0;
  core::PixelRect rect{};
  std::u16string caption;
  bool topmost = false;
};

// What a case needs besides the port: other windows in the z-order, moved
// as their programs move them, and a look at the caption windows.
class StartOverlaysUnderTest {
 public:
  virtual ~StartOverlaysUnderTest() = default;
  virtual platform::StartOverlays& overlays() = 0;
  // A shown top-level window at (0, 0, 10, 10), clear of every caption
  // window: another program's, or with `caption_window` one of another
  // copy's caption windows.
  virtual WindowHandle make(bool topmost, bool caption_window = false) = 0;
  virtual void destroy(WindowHandle window) = 0;
  // SetWindowPos on a window made here: HWND_TOP, HWND_TOPMOST or
  // HWND_NOTOPMOST, or directly beneath another window.
  virtual void raise(WindowHandle window) = 0;
  virtual void set_topmost(WindowHandle window, bool topmost) = 0;
  virtual void put_beneath(WindowHandle window, WindowHandle above) = 0;
  // GetWindow with GW_HWNDNEXT, past hidden windows the case did not make:
  // a session places hidden windows of its own (an input method's default
  // window, a service's) wherever and whenever it makes or activates them,
  // and a hidden window covers nothing.
  virtual WindowHandle beneath(WindowHandle window) = 0;
  // The z-order from the top, printed where a check of it fails.
  virtual std::string z_order() { return {}; }
  // The caption windows of overlays() that show, in any order.
  virtual std::vector<ShownOverlay> shown() = 0;
  // Whether one of them has been drawn anew since the last call.
  virtual bool drawn_anew() = 0;
};

inline std::vector<ShownOverlay> shown_from_the_left(StartOverlaysUnderTest& under_test) {
  std::vector<ShownOverlay> shown = under_test.shown();
  std::sort(shown.begin(), shown.end(),
            [](const ShownOverlay& a, const ShownOverlay& b) { return a.rect.left < b.rect.left; });
  return shown;
}

// Shown over each button with the whole caption, moved, hidden, and drawn
// anew only when the place or the caption changes or it shows again.
inline void start_overlays_follow(StartOverlaysUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  using testing::show;
  const WindowHandle bar = under_test.make(false);
  const core::PixelRect button{10, 20, 70, 44};
  const core::PixelRect moved{12, 22, 80, 44};
  const core::PixelRect second{100, 20, 160, 44};
  struct Step {
    const char* what;
    std::vector<core::PixelRect> buttons;
    bool topmost;  // the taskbar's, and so the caption windows'
    std::u16string_view caption;
    bool drawn;
  };
  const Step steps[] = {
      {"over the button, with the whole caption", {button}, false, u"Пуск \u2603", true},
      {"the same again", {button}, false, u"Пуск \u2603", false},
      {"moved", {moved}, false, u"Пуск \u2603", true},
      {"another caption", {moved}, false, u"Start", true},
      {"a second button", {moved, second}, false, u"Start", true},
      {"topmost with the taskbar", {moved, second}, true, u"Start", false},
      {"the second button gone", {moved}, true, u"Start", false},
      {"no button", {}, false, u"Start", false},
      {"back", {moved}, false, u"Start", true},
  };
  for (const Step& step : steps) {
    under_test.set_topmost(bar, step.topmost);
    std::vector<core::OverlayPlacement> placements;
    for (const core::PixelRect& rect : step.buttons) placements.push_back({rect, bar, step.topmost});
    under_test.overlays().show(placements, step.caption);
    const std::vector<ShownOverlay> shown = shown_from_the_left(under_test);
    const std::string what = step.what;
    if (!check_equal(shown.size(), step.buttons.size(), what + ": caption windows shown")) continue;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      check(shown[i].rect == step.buttons[i], what + ": on its button");
      check_equal(show(shown[i].caption), show(step.caption), what + ": the caption");
      check_equal(shown[i].topmost, step.topmost, what + ": topmost with its taskbar");
    }
    check_equal(under_test.drawn_anew(), step.drawn, what + ": drawn anew");
  }
  under_test.overlays().show({}, u"Start");
  under_test.destroy(bar);
}

// Directly above the taskbar, beneath what stands above it: back there on
// the next call, of show() or restack(), whenever another program's window
// comes between or the taskbar is raised, never moving for another copy's
// caption window.
inline void start_overlays_stand_above(StartOverlaysUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  const WindowHandle bar = under_test.make(false);
  const WindowHandle later = under_test.make(false);  // above the bar
  const core::PixelRect button{10, 20, 70, 44};
  const auto show_over = [&](bool topmost) {
    under_test.overlays().show({{button, bar, topmost}}, u"Пуск");
    const std::vector<ShownOverlay> shown = under_test.shown();
    return shown.size() == 1 ? shown[0] : ShownOverlay{};
  };

  const auto in_z_order = [&](bool ok) {
    if (!ok) std::printf("  the z-order: %s\n", under_test.z_order().c_str());
  };

  const WindowHandle ours = show_over(false).window;
  if (!check(ours != 0, "one caption window shown")) return;
  in_z_order(check_equal(under_test.beneath(ours), bar, "right above the taskbar"));
  in_z_order(check_equal(under_test.beneath(later), ours, "beneath the window above the taskbar"));

  under_test.raise(bar);
  show_over(false);
  in_z_order(check_equal(under_test.beneath(ours), bar, "back above the raised taskbar"));
  under_test.raise(bar);
  under_test.overlays().restack();
  in_z_order(check_equal(under_test.beneath(ours), bar, "back above it with no placement, only a restack"));

  const WindowHandle theirs = under_test.make(false, true);
  under_test.put_beneath(theirs, ours);
  show_over(false);
  in_z_order(check(under_test.beneath(ours) == theirs && under_test.beneath(theirs) == bar,
                   "another copy's between: neither moves"));
  under_test.put_beneath(later, ours);
  show_over(false);
  in_z_order(check(under_test.beneath(ours) == bar && under_test.beneath(theirs) == ours,
                   "another program's between: back on the taskbar, beneath the other copy's"));
  under_test.destroy(theirs);

  under_test.set_topmost(bar, true);
  check(show_over(true).topmost, "topmost with its taskbar");
  in_z_order(check_equal(under_test.beneath(ours), bar, "and right above it"));
  const WindowHandle full_screen = under_test.make(true);
  under_test.put_beneath(full_screen, ours);
  show_over(true);
  in_z_order(check(under_test.beneath(ours) == bar && under_test.beneath(full_screen) == ours,
                   "beneath a topmost window over the topmost taskbar"));
  under_test.destroy(full_screen);

  under_test.set_topmost(bar, false);
  under_test.raise(later);
  check(!show_over(false).topmost, "not topmost once the taskbar is not");
  in_z_order(check_equal(under_test.beneath(ours), bar, "beneath the window in front of the taskbar"));
  under_test.overlays().show({}, u"Пуск");
  under_test.overlays().restack();
  check(under_test.shown().empty(), "hidden with no placement, and a restack shows none");
  under_test.destroy(later);
  under_test.destroy(bar);
}

}  // namespace talvorin::contract
