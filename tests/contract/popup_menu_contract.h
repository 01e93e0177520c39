#pragma once
// The cases every PopupMenuCalls adapter passes: the Win32 one with real
// windows and a real menu under Wine, the headless form's on the host. The
// tray scenarios choose items while ticks and callbacks run inside the menu,
// and hand the foreground back after it, so those must be what Windows does.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/popup_menu.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

// What a case needs besides the calls: windows of the test's own, the
// program's menu, events that arrive while it is open, and the user.
class PopupMenuUnderTest {
 public:
  virtual ~PopupMenuUnderTest() = default;
  virtual platform::PopupMenuCalls& calls() = 0;
  // One of the program's top-level windows, shown or hidden.
  virtual platform::WindowHandle make(bool shown) = 0;
  virtual void destroy(platform::WindowHandle window) = 0;
  // The hidden window that owns the menus.
  virtual platform::WindowHandle owner() = 0;
  // A menu of three items whose commands are 1, 2 and 3.
  virtual platform::MenuHandle menu() = 0;
  // An event that arrives with the next wait for events: inside the menu's
  // loop while it is open.
  virtual void post(std::function<void()> event) = 0;
  virtual bool menu_open() = 0;
  // The user at the open menu: down the items to the one at `index` and
  // Enter, or Esc.
  virtual void choose(std::size_t index) = 0;
  virtual void dismiss() = 0;
  // The user moves the pointer there.
  virtual void put_pointer(platform::ScreenPoint at) = 0;
};

// The foreground goes where it is put, the hidden owner's included, and only
// a window that exists and shows counts as shown.
inline void popup_menu_foreground_and_shown(PopupMenuUnderTest& under_test) {
  using testing::check_equal;
  platform::PopupMenuCalls& calls = under_test.calls();
  const platform::WindowHandle first = under_test.make(true);
  const platform::WindowHandle second = under_test.make(true);
  const platform::WindowHandle hidden = under_test.make(false);
  const platform::WindowHandle destroyed = under_test.make(true);
  under_test.destroy(destroyed);
  for (const platform::WindowHandle window : {first, under_test.owner(), second, first}) {
    calls.set_foreground_window(window);
    check_equal(calls.foreground_window(), window, "in the foreground once put there");
  }
  struct Row {
    const char* what;
    platform::WindowHandle window;
    bool shown;
  };
  const Row rows[] = {
      {"a shown window", first, true},
      {"a hidden window", hidden, false},
      {"the owner", under_test.owner(), false},
      {"a destroyed one", destroyed, false},
      {"no window", 0, false},
  };
  for (const Row& row : rows) check_equal(calls.window_shown(row.window), row.shown, std::string(row.what) + ": shown");
  under_test.destroy(first);
  under_test.destroy(second);
  under_test.destroy(hidden);
}

// The menu returns the command of the item the user chose, or 0 for Esc,
// and the events posted before that run inside it.
inline void popup_menu_returns_the_choice(PopupMenuUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  struct Row {
    const char* what;
    int choose;  // the item's index, or -1 for Esc
    std::uint32_t returned;
  };
  const Row rows[] = {{"the first item", 0, 1}, {"the third item", 2, 3}, {"Esc", -1, 0}};
  for (const Row& row : rows) {
    const std::string what = row.what;
    std::vector<std::string> seen;
    under_test.post([&] {
      seen.emplace_back("inside");
      check(under_test.menu_open(), what + ": the menu is open while the event runs");
    });
    under_test.post([&] {
      seen.emplace_back("the user");
      if (row.choose < 0) {
        under_test.dismiss();
      } else {
        under_test.choose(static_cast<std::size_t>(row.choose));
      }
    });
    const std::uint32_t returned = under_test.calls().track_popup_menu(under_test.menu(), platform::kPopupReturnCommand,
                                                                       {20, 30}, under_test.owner());
    seen.emplace_back("returned");
    check_equal(returned, row.returned, what + ": the command returned");
    check(!under_test.menu_open(), what + ": closed once it has returned");
    check(seen == std::vector<std::string>{"inside", "the user", "returned"},
          what + ": the events ran inside the menu");
  }
}

// The pointer is where it was put.
inline void popup_menu_pointer(PopupMenuUnderTest& under_test) {
  using testing::check;
  for (const platform::ScreenPoint at : {platform::ScreenPoint{100, 200}, platform::ScreenPoint{3, 5}}) {
    under_test.put_pointer(at);
    const platform::ScreenPoint read = under_test.calls().cursor_position();
    check(read == at, "the pointer at (" + std::to_string(at.x) + ", " + std::to_string(at.y) + "), read (" +
                          std::to_string(read.x) + ", " + std::to_string(read.y) + ")");
  }
}

}  // namespace talvorin::contract
