#pragma once
// The cases every ShellWindows adapter passes: the Win32 one against windows
// made under Wine, the simulated one on the host. The Start button's search
// and the desktop's icons are tested on the simulation, so the order of its
// searches, its texts and the facts it reads must be those of Windows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

using platform::WindowHandle;

// A window as a shell would make it: shown, untitled, at no size, unless
// told otherwise.
struct FixtureWindow {
  explicit FixtureWindow(std::string_view of_class) : class_name(of_class) {}
  FixtureWindow titled(std::string ansi_text) const {
    FixtureWindow window = *this;
    window.text = std::move(ansi_text);
    return window;
  }
  FixtureWindow hidden() const {
    FixtureWindow window = *this;
    window.visible = false;
    return window;
  }
  FixtureWindow always_on_top() const {
    FixtureWindow window = *this;
    window.topmost = true;
    return window;
  }
  FixtureWindow drawn_by_owner() const {
    FixtureWindow window = *this;
    window.owner_drawn = true;
    return window;
  }
  FixtureWindow at(const core::PixelRect& on_screen) const {
    FixtureWindow window = *this;
    window.rect = on_screen;
    return window;
  }
  // A window region of that rectangle, from the window's top left corner.
  FixtureWindow cut_to(const core::PixelRect& region_box) const {
    FixtureWindow window = *this;
    window.region = region_box;
    return window;
  }

  std::string_view class_name;
  std::string text;  // ANSI
  bool visible = true;
  bool topmost = false;      // top-level windows only
  bool owner_drawn = false;  // "Button" windows only: BS_OWNERDRAW
  core::PixelRect rect{};    // on the screen
  std::optional<core::PixelRect> region{};
};

// What a case needs besides the port: a way around it, to make and destroy
// windows as the shell would and to read what a window holds.
class ShellWindowsUnderTest {
 public:
  virtual ~ShellWindowsUnderTest() = default;
  virtual platform::ShellWindows& shell() = 0;
  // With parent 0, a top-level window. Every window is made on this thread.
  virtual WindowHandle make(WindowHandle parent, const FixtureWindow& window) = 0;
  // The window and every window under it.
  virtual void destroy(WindowHandle window) = 0;
  virtual std::string text_of(WindowHandle window) = 0;
  // Lets what was posted to this thread's windows arrive.
  virtual void settle() = 0;
};

// Class names no other program's windows have: Wine's own shell runs beside
// the Win32 cases.
inline constexpr std::string_view kFixtureTaskbar = "TalvorinTestTray";
inline constexpr std::string_view kFixtureDesktop = "TalvorinTestProgman";
inline constexpr std::string_view kFixtureWorker = "TalvorinTestWorker";

inline bool same_facts(const platform::WindowFacts& a, const platform::WindowFacts& b) {
  return a.visible == b.visible && a.rect == b.rect && a.owner_drawn_button == b.owner_drawn_button &&
         a.topmost == b.topmost && a.region == b.region;
}

struct NamedWindow {
  WindowHandle window;
  std::string_view name;
};

// Every window of the class from the first on, as a search loop walks them,
// by the names the case gave them ("?" for any other).
inline std::string walk(platform::ShellWindows& shell, WindowHandle parent, std::string_view class_name,
                        const std::vector<NamedWindow>& names) {
  std::string seen;
  int steps = 0;
  for (WindowHandle at = 0; (at = shell.find_next_window(parent, at, class_name)) != 0 && ++steps < 16;) {
    std::string_view name = "?";
    for (const NamedWindow& named : names) {
      if (named.window == at) name = named.name;
    }
    seen += seen.empty() ? "" : " ";
    seen += name;
  }
  return seen;
}

// A taskbar with its Start button, and a hidden desktop. The taskbar has no
// title; the button and the desktop have theirs.
struct ShellFixture {
  explicit ShellFixture(ShellWindowsUnderTest& under_test)
      : taskbar(under_test.make(0, FixtureWindow(kFixtureTaskbar))),
        button(under_test.make(taskbar, FixtureWindow("Button").titled("start"))),
        desktop(under_test.make(0, FixtureWindow(kFixtureDesktop).titled("Program Manager").hidden())) {}
  WindowHandle taskbar;
  WindowHandle button;
  WindowHandle desktop;
};

// A window is found by its class in any case, whatever its title and
// visibility; a child only under its own parent.
inline void shell_windows_found(ShellWindowsUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  platform::ShellWindows& shell = under_test.shell();
  const auto [taskbar, button, desktop] = ShellFixture(under_test);

  check_equal(shell.find_window("talvorintesttray"), taskbar, "a top-level window, by its class in another case");
  check_equal(shell.find_window("TALVORINTESTPROGMAN"), desktop, "a hidden one with a title");
  check_equal(shell.find_window("TalvorinTestMissing"), WindowHandle{0}, "no window of the class");
  check(shell.find_window("button") != button, "a child is no top-level window");

  check_equal(shell.find_child_window(taskbar, "BUTTON"), button, "a child, by its class in another case");
  check_equal(shell.find_child_window(taskbar, "Edit"), WindowHandle{0}, "no child of the class");
  check_equal(shell.find_child_window(desktop, "button"), WindowHandle{0}, "nor under another parent");
  check_equal(shell.find_child_window(0, "talvorintesttray"), taskbar, "under parent 0, the top-level window");
  check(shell.find_child_window(0, "button") != button, "and never a child");

  under_test.destroy(taskbar);
  check_equal(shell.find_window("talvorintesttray"), WindowHandle{0}, "a destroyed window is not found");
  check_equal(shell.find_child_window(taskbar, "button"), WindowHandle{0}, "nor anything under it");
  under_test.destroy(desktop);
}

// The search loops: children in the order they were made, top-level windows
// from the top of the z-order, where topmost windows stand above the rest.
inline void shell_windows_walked(ShellWindowsUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  platform::ShellWindows& shell = under_test.shell();

  const WindowHandle topmost = under_test.make(0, FixtureWindow(kFixtureWorker).always_on_top());
  const WindowHandle older = under_test.make(0, FixtureWindow(kFixtureWorker));
  const WindowHandle newer = under_test.make(0, FixtureWindow(kFixtureWorker).hidden());
  const std::vector<NamedWindow> workers{{topmost, "topmost"}, {older, "older"}, {newer, "newer"}};
  check_equal(walk(shell, 0, "talvorintestworker", workers), std::string("topmost newer older"),
              "the topmost window first, then the newer before the older, then 0");
  check_equal(shell.find_window("TalvorinTestWorker"), topmost, "the first of them found alone");

  const WindowHandle elsewhere = under_test.make(newer, FixtureWindow("Static"));  // a child of another
  const WindowHandle first = under_test.make(older, FixtureWindow("Static"));
  // Not searched after: Windows goes on from any child, Wine only from one
  // of the class searched for. The loops only go on from what they found.
  const WindowHandle button = under_test.make(older, FixtureWindow("Button"));
  const WindowHandle last = under_test.make(older, FixtureWindow("static"));
  under_test.make(button, FixtureWindow("Static"));  // a grandchild is no child
  check_equal(walk(shell, older, "STATIC", {{first, "first"}, {last, "last"}}), std::string("first last"),
              "the children of the class in the order they were made, then 0");
  check_equal(shell.find_next_window(older, elsewhere, "static"), WindowHandle{0},
              "after a window that is not the parent's child, nothing");

  under_test.destroy(first);
  check_equal(shell.find_next_window(older, first, "static"), WindowHandle{0}, "after a destroyed window, nothing");
  check_equal(shell.find_next_window(older, 0, "static"), last, "the rest are still there");
  for (const WindowHandle window : {topmost, older, newer}) under_test.destroy(window);
}

// WM_SETTEXT with ANSI bytes: the window holds them as the code page
// carries them, up to the first NUL.
inline void shell_windows_text(ShellWindowsUnderTest& under_test) {
  using testing::check_equal;
  using testing::show;
  platform::ShellWindows& shell = under_test.shell();
  const auto [taskbar, button, desktop] = ShellFixture(under_test);

  shell.set_window_text(0, "nowhere");
  check_equal(under_test.text_of(button), std::string("start"), "handle 0 reaches no window");
  check_equal(under_test.text_of(desktop), std::string("Program Manager"), "not even a top-level one");
  check_equal(under_test.text_of(taskbar), std::string(""), "nor the taskbar");

  struct Row {
    std::string sent;
    std::string held;
  };
  const Row rows[] = {
      {"Start", "Start"},
      {"\xCF\xF3\xF1\xEA!", "\xCF\xF3\xF1\xEA!"},  // "Пуск!" in code page 1251
      {std::string("ab\0cd", 5), "ab"},
      {"", ""},
  };
  for (const Row& row : rows) {
    shell.set_window_text(button, row.sent);
    check_equal(under_test.text_of(button), row.held, "text sent: " + show(row.sent));
  }
  check_equal(under_test.text_of(desktop), std::string("Program Manager"), "no other window touched");

  under_test.destroy(taskbar);
  shell.set_window_text(button, "gone");  // reaches nothing and does not fail
  under_test.destroy(desktop);
}

// What the Start button's search reads, before and after ShowWindow and
// once the window is gone.
inline void shell_windows_facts(ShellWindowsUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  platform::ShellWindows& shell = under_test.shell();
  const core::PixelRect bar_rect{0, 560, 800, 600};
  const core::PixelRect button_rect{2, 562, 62, 598};
  const WindowHandle taskbar = under_test.make(0, FixtureWindow(kFixtureTaskbar).always_on_top().at(bar_rect));
  const WindowHandle button =
      under_test.make(taskbar, FixtureWindow("Button").titled("start").drawn_by_owner().at(button_rect));
  const WindowHandle plain = under_test.make(taskbar, FixtureWindow("Button").at({70, 562, 90, 598}));
  const WindowHandle grandchild = under_test.make(button, FixtureWindow("Static").at({4, 564, 8, 568}));
  const WindowHandle hidden = under_test.make(0, FixtureWindow(kFixtureDesktop).hidden().at({0, 0, 50, 40}));
  const WindowHandle under_hidden = under_test.make(hidden, FixtureWindow("Static").at({10, 10, 20, 20}));

  check(same_facts(shell.facts(taskbar), {true, bar_rect, false, true}), "a shown topmost taskbar where it stands");
  check(same_facts(shell.facts(button), {true, button_rect, true}), "an owner-drawn button, on the screen");
  check_equal(shell.facts(plain).owner_drawn_button, false, "a plain button");
  check(same_facts(shell.facts(hidden), {false, {0, 0, 50, 40}, false}), "a hidden window has its place");
  check_equal(shell.facts(under_hidden).visible, true, "a child's own style, whatever its parent's");
  check_equal(shell.facts(button).topmost, false, "a child is never topmost");

  // The bounding box of a window region, from the window's corner: of a
  // taskbar that shows its lower half, and of one that shows nothing.
  const core::PixelRect lower_half{0, 20, 800, 40};
  const WindowHandle shaped = under_test.make(0, FixtureWindow(kFixtureTaskbar).at(bar_rect).cut_to(lower_half));
  const WindowHandle emptied = under_test.make(0, FixtureWindow(kFixtureTaskbar).at(bar_rect).cut_to({}));
  check(same_facts(shell.facts(shaped), {true, bar_rect, false, false, lower_half}), "a taskbar cut to its lower half");
  check(same_facts(shell.facts(emptied), {true, bar_rect, false, false, core::PixelRect{}}), "an empty region");
  under_test.destroy(shaped);
  under_test.destroy(emptied);

  // One monitor, as the tests' screens have: it holds the taskbar, and a
  // place beyond every edge has it for its nearest.
  const core::PixelRect screen = shell.monitor_of(bar_rect);
  check(screen.left <= bar_rect.left && screen.top <= bar_rect.top && screen.right >= bar_rect.right &&
            screen.bottom >= bar_rect.bottom,
        "the monitor holds the taskbar");
  for (const core::PixelRect& beyond : {core::PixelRect{5000, 5000, 5010, 5010}, core::PixelRect{-900, 10, -800, 40},
                                        core::PixelRect{-10, -10, 40, 40}}) {
    check(shell.monitor_of(beyond) == screen, "the nearest monitor to a place off the screen");
  }

  const struct {
    platform::ShowCommand command;
    bool visible;
  } shows[] = {{platform::ShowCommand::Hide, false},
               {platform::ShowCommand::Show, true},
               {platform::ShowCommand::Hide, false},
               {platform::ShowCommand::ShowNormal, true}};
  // The show is posted to the window's thread, here this one.
  for (const auto& step : shows) {
    shell.show_window(button, step.command);
    under_test.settle();
    check_equal(shell.facts(button).visible, step.visible, "shown or hidden by ShowWindowAsync");
    check(shell.facts(button).rect == button_rect, "in the same place");
  }
  shell.show_window(hidden, platform::ShowCommand::Show);
  under_test.settle();
  check_equal(shell.facts(hidden).visible, true, "a top-level window shown");

  const std::uint32_t thread = shell.thread_of(taskbar);
  check(thread != 0, "a window has its thread");
  check_equal(shell.thread_of(hidden), thread, "two windows made by one thread");
  check_equal(shell.thread_of(button), thread, "and a child");

  under_test.destroy(taskbar);
  for (const WindowHandle gone : {taskbar, button, grandchild, WindowHandle{0}}) {
    check(same_facts(shell.facts(gone), {}), "a gone window reads as all zero");
    check_equal(shell.thread_of(gone), std::uint32_t{0}, "and has no thread");
    shell.show_window(gone, platform::ShowCommand::Show);
    under_test.settle();
    check(same_facts(shell.facts(gone), {}), "showing it brings nothing back");
  }
  under_test.destroy(hidden);
}

}  // namespace talvorin::contract
