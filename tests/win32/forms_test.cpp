// The Win32 forms backend with real windows under Wine, on a form with one
// control of each kind: its icons, controls, menus, activation, window
// states and unloading.

#include <windows.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/module_path.h"
#include "core/project_version.h"
#include "forms/win32/form.h"
#include "tests/win32/form_fixture.h"

namespace {

using namespace talvorin;
using namespace talvorin::testing;

void CALLBACK close_menu_later(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::EndMenu();
}

struct Closer {
  HWND window;
  DWORD main_thread;
  HANDLE loop_ended;
};

// Sends the close, then gives the loop two seconds to end before it ends
// the loop itself with a code the test will not accept.
DWORD WINAPI close_from_another_thread(void* data) {
  const auto& closer = *static_cast<const Closer*>(data);
  ::Sleep(100);
  ::SendMessageW(closer.window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(closer.loop_ended, 2000) == WAIT_TIMEOUT) {
    ::PostThreadMessageW(closer.main_thread, WM_QUIT, 7, 0);
  }
  return 0;
}

const testing::Register icons_and_app("window icon, application object", [] {
  Fixture f;
  const auto small = reinterpret_cast<HICON>(::SendMessageW(f.window(), WM_GETICON, ICON_SMALL, 0));
  const auto big = reinterpret_cast<HICON>(::SendMessageW(f.window(), WM_GETICON, ICON_BIG, 0));
  check(small && big, "big and small window icons");
  check(f.form->icon_handle() == reinterpret_cast<std::uintptr_t>(small), "the icon handle is the small icon");
  ICONINFO info{};
  if (::GetIconInfo(small, &info)) {
    BITMAP bitmap{};
    ::GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap);
    check_equal(static_cast<int>(bitmap.bmWidth), ::GetSystemMetrics(SM_CXSMICON), "small icon size");
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
  }

  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  forms::Application& app = f.runtime.app();
  check_equal(show(app.path()), show(core::folder_of(from_wide(module))), "path");
  check_equal(show(app.exe_name()), show(u"win32_forms_test"), "exe name");
  const forms::Version version = app.version();
  check_equal(version.major, core::kProjectVersionMajor, "major version from the version block");
  check_equal(version.minor, core::kProjectVersionMinor, "minor version");
  check_equal(static_cast<double>(f.runtime.twips_per_pixel_x()), 1440.0 / f.runtime.dpi_x(), "twips per pixel");

  const auto has_app_window_style = [&f] {
    return (::GetWindowLongPtrW(f.window(), GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
  };
  check(app.task_visible() && has_app_window_style(), "listed in the task list at first");
  app.set_task_visible(false);
  check(!app.task_visible() && !has_app_window_style(), "taken out of it");
  app.set_task_visible(true);
  check(has_app_window_style(), "put back");
});

// --- controls -----------------------------------------------------------------

const testing::Register text_box("text box: Unicode, no length limit", [] {
  Fixture f;
  check_equal(show(f.text->text()), show(u"Текст"), "the text it was made with");
  for (const std::u16string& value : {std::u16string(), std::u16string(u"Пуск \u4E2D"), std::u16string(100000, u'w')}) {
    f.text->set_text(value);
    check_equal(show(f.text->text()), show(value), "text set and read back");
  }
  const auto limit = static_cast<unsigned long>(::SendMessageW(f.child(kTextBox), EM_GETLIMITTEXT, 0, 0));
  check(limit >= 0x7FFFFFFEul, "typing limit lifted");
});

const testing::Register buttons_and_boxes("button presses and check box clicks", [] {
  Fixture f;
  f.button->press();
  check_equal(f.clicks, 1, "press() runs the click handler before it returns");
  ::SendMessageW(f.child(kButton), BM_CLICK, 0, 0);
  check_equal(f.clicks, 2, "a click runs it once more");

  struct Step {
    const char* what;
    std::function<void()> act;
    std::int16_t value;
  };
  const auto click = [&f] { ::SendMessageW(f.child(kCheckBox), BM_CLICK, 0, 0); };
  const Step steps[] = {
      {"starts clear", [] {}, 0},
      {"a click ticks", click, 1},
      {"a second click clears", click, 0},
      {"grayed from code", [&f] { f.box->set_value(core::CheckState::Grayed); }, 2},
      {"a click on grayed ticks", click, 1},
  };
  for (const Step& step : steps) {
    step.act();
    check_equal(static_cast<std::int16_t>(f.box->value()), step.value, step.what);
    check_equal(static_cast<long long>(::SendMessageW(f.child(kCheckBox), BM_GETCHECK, 0, 0)),
                static_cast<long long>(step.value), std::string(step.what) + ", in the control itself");
  }
  check_equal(f.clicks, 2, "check box clicks press no button");
});

const testing::Register keyboard("Tab moves the focus, Enter presses nothing", [] {
  Fixture f;
  f.form->show();
  ::SetForegroundWindow(f.window());
  pump_for(f.runtime, 50);
  check(::GetFocus() == f.child(kTextBox), "the text box, tab index 0, holds the focus");
  const auto key = [&f](WPARAM code) {
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, code, 1);
    ::PostMessageW(::GetFocus(), WM_KEYUP, code, 0xC0000001);
    pump_for(f.runtime, 30);
  };
  f.text->set_text(u"");
  ::PostMessageW(::GetFocus(), WM_CHAR, L'\u0416', 1);
  pump_for(f.runtime, 30);
  check_equal(show(f.text->text()), show(u"Ж"), "typing reaches the text box");
  key(VK_RETURN);
  check_equal(f.clicks, 0, "Enter in the text box presses no button");
  check(f.form->visible(), "nor closes anything");
  key(VK_TAB);
  check(::GetFocus() == f.child(kButton), "Tab: the button");
  key(VK_TAB);
  check(::GetFocus() == f.child(kCheckBox), "Tab: the check box");
  key(VK_TAB);
  check(::GetFocus() == f.child(kTextBox), "Tab: round to the text box");
});

const testing::Register timers("timer ticks while enabled", [] {
  Fixture f;
  int slow = 0;
  int fast = 0;
  forms::Timer& idle =
      f.form->add_timer({.name = u"Timer1", .interval_ms = 10, .enabled = false, .on_timer = [&] { ++slow; }});
  forms::Timer& busy =
      f.form->add_timer({.name = u"Timer1", .interval_ms = 10, .enabled = true, .on_timer = [&] { ++fast; }});
  pump_for(f.runtime, 200);
  check_equal(slow, 0, "a disabled timer raises nothing");
  check(fast >= 5, "an enabled one ticks: " + std::to_string(fast));
  check(busy.enabled() && !idle.enabled(), "flags as set");
  busy.set_enabled(false);
  pump_for(f.runtime, 20);
  const int stopped_at = fast;
  pump_for(f.runtime, 100);
  check_equal(fast, stopped_at, "no tick after disabling");
  idle.set_enabled(true);
  pump_for(f.runtime, 100);
  check(slow >= 3, "enabled later, it ticks");
});

const testing::Register picture_box("the picture box hears the tray's callbacks as mouse moves", [] {
  Fixture f;
  const float tpp = f.runtime.twips_per_pixel_x();
  for (const LPARAM message : {0x200, 0x202, 0x203, 0x205}) {
    f.mouse.clear();
    // The shell posts its callback; wParam is the icon id.
    ::PostMessageW(as_hwnd(f.picture->window_handle()), WM_MOUSEMOVE, 1, message);
    f.runtime.do_events();
    if (!check_equal(f.mouse.size(), std::size_t{1}, "one event")) continue;
    check_equal(std::lround(f.mouse[0].x / tpp), static_cast<long>(message), "x decodes back to the message");
  }
});

const testing::Register menus("menu items: captions, enabled flags, the popup and its handler", [] {
  Fixture f;
  // The items' captions and states as the open menu shows them.
  f.menu->item(0).set_caption(u"Показать");
  f.menu->item(2).set_enabled(false);
  struct Shown {
    int count = 0;
    std::wstring first;
    bool second_enabled = false;
    bool third_enabled = true;
  } shown;
  const auto read_open_menu = [&shown] {
    const HWND popup = ::FindWindowW(L"#32768", nullptr);
    const auto menu = reinterpret_cast<HMENU>(popup ? ::SendMessageW(popup, MN_GETHMENU, 0, 0) : 0);
    if (!menu) return;
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    const auto enabled = [menu](UINT position) {
      return (::GetMenuState(menu, position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
    };
    shown = {::GetMenuItemCount(menu), text, enabled(1), enabled(2)};
  };

  // While the menu is open a timer keeps ticking; at its first tick it
  // chooses the second item with the keyboard.
  int ticks = 0;
  forms::Timer& chooser = f.form->add_timer({.name = u"Timer1", .interval_ms = 20, .enabled = true, .on_timer = [&] {
                                               if (++ticks != 2) return;
                                               f.events.emplace_back("tick in the menu");
                                               read_open_menu();
                                               const HWND target = ::GetFocus() ? ::GetFocus() : f.window();
                                               for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
                                                 ::PostMessageW(target, WM_KEYDOWN, key, 1);
                                               }
                                             }});
  f.form->popup_menu(*f.menu);
  f.events.emplace_back("popup returned");
  chooser.set_enabled(false);
  check_equal(shown.count, 3, "three items");
  check_equal(show(from_wide(shown.first)), show(u"Показать"), "the new caption");
  check(shown.second_enabled && !shown.third_enabled, "one item disabled, the others not");
  const std::vector<std::string> expected = {"tick in the menu", "second chosen", "popup returned"};
  check_equal(f.events.size(), expected.size(), "events");
  for (std::size_t i = 0; i < std::min(expected.size(), f.events.size()); ++i) {
    check_equal(show(f.events[i]), show(expected[i]), "event " + std::to_string(i));
  }

  f.events.clear();
  ::SetTimer(nullptr, 0, 30, close_menu_later);
  f.form->popup_menu(*f.menu);
  check(f.events.empty(), "a menu closed without a choice runs nothing");
});

// --- activation ------------------------------------------------------------------

// Only the program's own showing, or a return from another of its forms,
// runs a form's activate handler; a return from another program or from the
// tray menu does not, and a hidden form never takes the keyboard. The tray
// menu closed gives the foreground back to a window that is still shown.
const testing::Register activation("show brings forward; which returns count as activations", [] {
  Fixture f;
  std::unique_ptr<forms::Form> second = f.runtime.create_form(plain_form(u"second"));
  // Another program's window, as far as the forms can tell.
  const platform::win32::unique_hwnd other(::CreateWindowExW(0, L"Static", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                             0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr));
  const auto focus_in_form = [&f] { return ::GetFocus() && ::IsChild(f.window(), ::GetFocus()); };
  const auto cancelled_menu = [&f] {
    ::SetTimer(nullptr, 0, 30, close_menu_later);
    f.form->popup_menu(*f.menu);
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    int activations;  // after the step
    HWND foreground;  // null: not checked
  };
  const HWND form = f.window();
  const HWND app = f.runtime.app_window();
  const Step steps[] = {
      {"the tray menu closed over another program: back to it",
       [&] {
         ::SetForegroundWindow(other.get());
         cancelled_menu();
       },
       0, other.get()},
      {"a hidden form brought to the foreground", [&] { ::SetForegroundWindow(form); }, 0, form},
      {"the tray menu closed over a hidden form: not back to it", cancelled_menu, 0, app},
      {"the hidden form in the foreground again", [&] { ::SetForegroundWindow(form); }, 0, form},
      {"shown", [&] { f.form->show(); }, 1, form},
      {"shown again while active", [&] { f.form->show(); }, 2, form},
      {"covered by another program", [&] { ::SetForegroundWindow(other.get()); }, 2, other.get()},
      {"back from it", [&] { ::SetForegroundWindow(form); }, 2, form},
      {"shown while covered",
       [&] {
         ::SetForegroundWindow(other.get());
         f.form->show();
       },
       3, form},
      {"the tray menu closed: back to the form, no activation", cancelled_menu, 3, form},
      {"another form shown", [&] { second->show(); }, 3, as_hwnd(second->window_handle())},
      {"back from the other form", [&] { ::SetForegroundWindow(form); }, 4, form},
      // As the tray menu did when the hidden settings window owned it.
      {"the other form hidden, then in the foreground",
       [&] {
         second->hide();
         ::SetForegroundWindow(as_hwnd(second->window_handle()));
       },
       4, as_hwnd(second->window_handle())},
      {"back from the hidden form", [&] { ::SetForegroundWindow(form); }, 4, form},
      {"minimised, then shown",
       [&] {
         ::ShowWindow(form, SW_MINIMIZE);
         f.form->show();
       },
       5, form},
  };
  for (const Step& step : steps) {
    step.act();
    pump_for(f.runtime, 50);
    check_equal(f.activations, step.activations, std::string(step.what) + ": activations");
    check(::GetForegroundWindow() == step.foreground, std::string(step.what) + ": the foreground window");
    check_equal(focus_in_form(), f.form->visible() && ::GetForegroundWindow() == form,
                std::string(step.what) + ": the focus in a control of the form");
  }
  check(!::IsIconic(form), "a minimised form shown comes back restored");
});

// --- window states and lifetime ------------------------------------------------

const testing::Register window_states("window states, shown or hidden", [] {
  Fixture f;
  check_equal(f.resizes, 0, "no resize while the form is built");
  // A new state raises a resize, shown or hidden, and so does the first
  // showing; showing and hiding otherwise do not.
  struct Step {
    const char* what;
    std::function<void()> act;
    bool visible;
    WindowState state;
    bool resize;
  };
  const auto set = [&f](WindowState state) { return [&f, state] { f.form->set_window_state(state); }; };
  const Step steps[] = {
      {"minimised while hidden stays hidden", set(WindowState::Minimised), false, WindowState::Minimised, true},
      {"restored while hidden stays hidden", set(WindowState::Normal), false, WindowState::Normal, true},
      {"minimised again", set(WindowState::Minimised), false, WindowState::Minimised, true},
      {"shown keeps the state", [&f] { f.form->show(); }, true, WindowState::Minimised, true},
      {"hidden keeps it too", [&f] { f.form->hide(); }, false, WindowState::Minimised, false},
      {"restored while hidden", set(WindowState::Normal), false, WindowState::Normal, true},
      {"shown, normal", [&f] { f.form->show(); }, true, WindowState::Normal, false},
      {"minimised while shown", set(WindowState::Minimised), true, WindowState::Minimised, true},
      {"restored while shown", set(WindowState::Normal), true, WindowState::Normal, true},
      {"maximised", set(WindowState::Maximised), true, WindowState::Maximised, true},
      {"hidden", [&f] { f.form->hide(); }, false, WindowState::Maximised, false},
      {"normal while hidden", set(WindowState::Normal), false, WindowState::Normal, true},
  };
  for (const Step& step : steps) {
    const int resizes = f.resizes;
    step.act();
    f.runtime.do_events();
    check_equal(f.form->visible(), step.visible, std::string(step.what) + ": visible");
    check_equal(static_cast<int>(f.form->window_state()), static_cast<int>(step.state),
                std::string(step.what) + ": state");
    check_equal(::IsWindowVisible(f.window()) != FALSE, step.visible, std::string(step.what) + ": on screen");
    check_equal(f.resizes > resizes, step.resize, std::string(step.what) + ": a resize");
  }
});

const testing::Register first_show("the first showing is a resize", [] {
  Fixture f;
  f.form->show();
  check_equal(f.resizes, 1, "once");
  f.form->hide();
  f.form->show();
  check_equal(f.resizes, 1, "not again");
});

// Another program may show or hide a form's window: the form follows its
// window whoever moved it, and only the program's own showing activates it.
const testing::Register shown_by_others("the form follows its window shown or hidden from outside", [] {
  Fixture f;
  constexpr int kProgramShows = -1;
  struct Step {
    const char* what;
    int show_command;  // from outside, or kProgramShows
    bool visible;
    int activations;
  };
  const Step steps[] = {
      {"shown from outside", SW_SHOWNOACTIVATE, true, 0},     {"hidden from outside", SW_HIDE, false, 0},
      {"shown by the program", kProgramShows, true, 1},       {"hidden from outside again", SW_HIDE, false, 1},
      {"shown by the program again", kProgramShows, true, 2},
  };
  for (const Step& step : steps) {
    if (step.show_command == kProgramShows) {
      f.form->show();
    } else {
      ::ShowWindow(f.window(), step.show_command);
    }
    pump_for(f.runtime, 30);
    check_equal(f.form->visible(), step.visible, std::string(step.what) + ": visible");
    check_equal(::IsWindowVisible(f.window()) != FALSE, step.visible, std::string(step.what) + ": on screen");
    check_equal(f.activations, step.activations, std::string(step.what) + ": activations");
  }
});

const testing::Register unloading("close, cancel, log-off and the end of the loop", [] {
  {
    Fixture f;
    f.answer = forms::Unload::Cancel;
    ::SendMessageW(f.window(), WM_CLOSE, 0, 0);
    check_equal(f.unloads, 1, "the unload handler ran");
    check(::IsWindow(f.window()) != FALSE, "a cancelled unload keeps the window");
    f.answer = forms::Unload::Proceed;
    ::SendMessageW(f.window(), WM_CLOSE, 0, 0);
    check_equal(f.unloads, 2, "and again");
    check_equal(f.form->window_handle(), platform::WindowHandle{0}, "the window is gone");
    check(f.runtime.forms().empty(), "no form left");
    check_equal(f.runtime.run(), 0, "the loop ends at once");
    // Nothing reaches an unloaded form: shown, it makes no window again and
    // raises no event.
    const int resizes = f.resizes;
    f.form->show();
    pump_for(f.runtime, 50);
    check(!f.form->visible(), "an unloaded form shown stays unseen");
    check_equal(f.form->window_handle(), platform::WindowHandle{0}, "no window made for it");
    check(f.runtime.forms().empty(), "still no form");
    check_equal(f.resizes, resizes, "no resize");
    check_equal(f.activations, 0, "no activation");
    f.button->press();
    check_equal(f.clicks, 1, "pressing still runs the handler");
  }
  {
    Fixture f;
    check_equal(static_cast<long long>(::SendMessageW(f.window(), WM_QUERYENDSESSION, 0, 0)), 1LL,
                "log-off is allowed");
    ::SendMessageW(f.window(), WM_ENDSESSION, FALSE, 0);
    check_equal(f.unloads, 0, "a cancelled log-off unloads nothing");
    f.answer = forms::Unload::Cancel;  // even kept, a form is unloaded once per session end
    ::SendMessageW(f.runtime.app_window(), WM_ENDSESSION, TRUE, 0);
    ::SendMessageW(f.window(), WM_ENDSESSION, TRUE, 0);
    check_equal(f.unloads, 1, "log-off unloads once, whichever window hears it");
  }
  {
    // A close sent from another thread arrives inside GetMessage.
    Fixture f;
    Closer closer{f.window(), ::GetCurrentThreadId(), ::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    const HANDLE thread = ::CreateThread(nullptr, 0, close_from_another_thread, &closer, 0, nullptr);
    check_equal(f.runtime.run(), 0, "run() ends when the last form is unloaded");
    ::SetEvent(closer.loop_ended);
    check_equal(f.unloads, 1, "through the unload handler");
    ::WaitForSingleObject(thread, 5000);
    ::CloseHandle(thread);
    ::CloseHandle(closer.loop_ended);
  }
  {
    Fixture f;
    auto second = f.runtime.create_form(plain_form(u"second"));
    check_equal(f.runtime.forms().size(), std::size_t{2}, "two forms");
    second.reset();
    check_equal(f.runtime.forms().size(), std::size_t{1}, "a destroyed form is unloaded without its handler");
  }
});

const testing::Register taskbar_created("TaskbarCreated reaches every form once", [] {
  Fixture f;
  int second_heard = 0;
  forms::FormArgs args = plain_form(u"second");
  args.on_taskbar_created = [&] { ++second_heard; };
  auto second = f.runtime.create_form(args);
  ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  pump_for(f.runtime, 50);
  check_equal(f.taskbar_created, 1, "first form");
  check_equal(second_heard, 1, "second form");
});

}  // namespace
