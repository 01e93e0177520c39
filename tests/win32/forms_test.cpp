// The Win32 forms backend with real windows under Wine: layout, controls,
// window states, unloading, the message loop and the run-time error report.

#include <windows.h>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/module_path.h"
#include "core/project_version.h"
#include "core/tray_record.h"
#include "forms/settings_window.h"
#include "forms/win32/form.h"
#include "forms/win32/runtime.h"
#include "forms/win32/units.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide.h"
#include "platform/win32/window.h"
#include "tests/win32/check.h"

namespace {

using namespace talvorin;
using forms::WindowState;
using forms::win32::Runtime;
using platform::win32::from_wide;
using testing::check;
using testing::check_equal;
using testing::show;

constexpr wchar_t kThrowInHandler[] = L"--throw-in-handler";
constexpr char kRunTimeErrorText[] = "a handler failed";

HWND as_hwnd(platform::WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

std::u16string class_of(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return from_wide(name);
}

std::wstring window_text_of(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return text;
}

forms::FormArgs plain_form(std::u16string_view caption) {
  forms::FormArgs args;
  args.caption = caption;
  args.client_width = 1440;
  args.client_height = 1440;
  return args;
}

// Runs the runtime's events for a while, as the program's loop would.
void pump_for(Runtime& runtime, DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < milliseconds) {
    runtime.do_events();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// A form with one control of each kind, whose handlers count what reaches
// them: the backend's own behaviour is measured on it. The settings window
// itself is measured further down, from the window the program makes.
struct Fixture {
  platform::win32::Registry registry;
  forms::win32::ErrorReport errors;
  Runtime runtime{::GetModuleHandleW(nullptr), registry, errors};
  std::unique_ptr<forms::Form> form;
  forms::TextBox* text = nullptr;
  forms::CommandButton* button = nullptr;
  forms::CheckBox* box = nullptr;
  forms::PictureBox* picture = nullptr;
  forms::Menu* menu = nullptr;
  int resizes = 0;
  int clicks = 0;
  int unloads = 0;
  int taskbar_created = 0;
  int activations = 0;
  forms::Unload answer = forms::Unload::Proceed;
  std::vector<forms::MouseEvent> mouse;
  std::vector<std::string> events;

  Fixture() {
    forms::FormArgs args;
    args.caption = u"Form";
    args.client_width = 2400;
    args.client_height = 2000;
    args.icon_resource = 1;
    args.on_resize = [this] { ++resizes; };
    args.on_unload = [this] {
      ++unloads;
      return answer;
    };
    args.on_taskbar_created = [this] { ++taskbar_created; };
    args.on_activate = [this] { ++activations; };
    form = runtime.create_form(args);
    box =
        &form->add_check_box({.name = u"box", .caption = u"Запомнить", .rect = {120, 1200, 2400, 600}, .tab_index = 4});
    picture = &form->add_picture_box({.name = u"picture",
                                      .rect = {0, 0, 300, 300},
                                      .tab_index = 2,
                                      .visible = false,
                                      .on_mouse_move = [this](const forms::MouseEvent& e) { mouse.push_back(e); }});
    button = &form->add_button(
        {.name = u"button", .caption = u"Go", .rect = {120, 720, 1500, 360}, .tab_index = 1, .on_click = [this] {
           ++clicks;
         }});
    text = &form->add_text_box({.name = u"text", .text = u"Текст", .rect = {120, 300, 1500, 300}, .tab_index = 0});
    form->add_label({.name = u"label",
                     .caption = u"Label",
                     .rect = {120, 0, 1500, 240},
                     .tab_index = 3,
                     .fore_color = {},
                     .font = {}});
    forms::MenuArgs popup{.name = u"popup", .items = {}};
    popup.items = {
        {.name = u"first", .caption = u"Настройки", .on_click = [this] { events.emplace_back("first chosen"); }},
        {.name = u"second", .caption = u"second", .on_click = [this] { events.emplace_back("second chosen"); }},
        {.name = u"third", .caption = u"third", .on_click = {}}};
    menu = &form->add_menu(popup);
  }

  HWND window() const { return as_hwnd(form->window_handle()); }
  HWND child(int index_in_creation) const {
    // Controls are numbered from 100 in the order they were added.
    return ::GetDlgItem(window(), 100 + index_in_creation);
  }
  int px(int twips) const { return forms::win32::twips_to_pixels(twips, runtime.dpi_x()); }
  int py(int twips) const { return forms::win32::twips_to_pixels(twips, runtime.dpi_y()); }
};

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

enum Child { kCheckBox = 0, kPicture = 1, kButton = 2, kTextBox = 3, kLabel = 4 };

// --- arithmetic ---------------------------------------------------------------

const testing::Register units("twips and font heights", [] {
  using namespace forms::win32;
  struct Pixels {
    int twips, dpi, pixels;
  };
  for (const Pixels& row : {Pixels{2880, 96, 192}, Pixels{2304, 96, 153}, Pixels{2880, 120, 240}, Pixels{285, 96, 19},
                            Pixels{612, 144, 61}, Pixels{0, 96, 0}}) {
    check_equal(twips_to_pixels(row.twips, row.dpi), row.pixels, "twips " + std::to_string(row.twips));
  }
  struct Font {
    double points;
    int dpi, height;
  };
  for (const Font& row : {Font{7.8, 96, -10}, Font{7.8, 120, -13}, Font{8.25, 96, -11}, Font{12, 144, -24}}) {
    check_equal(font_height_pixels(row.points, row.dpi), row.height, "font height at " + std::to_string(row.dpi));
  }
});

// --- the settings window as the program makes it --------------------------------

// The one rounding rule of every layout check below: a length in twips
// becomes pixels by integer division at the screen's dots per inch, for the
// left, top, width and height each.
int pixels(int twips, int dots_per_inch) { return twips * dots_per_inch / 1440; }

// The shell as the settings window sees it here: a Start button that takes
// every caption, no desktop, and a tray that keeps what it is asked.
class QuietShell final : public platform::ShellWindows {
 public:
  platform::WindowHandle find_window(std::string_view) override { return 1; }
  platform::WindowHandle find_child_window(platform::WindowHandle, std::string_view) override { return 2; }
  void set_window_text(platform::WindowHandle, const std::string&) override {}
  platform::WindowHandle find_next_window(platform::WindowHandle, platform::WindowHandle, std::string_view) override {
    return 0;
  }
  void show_window(platform::WindowHandle, platform::ShowCommand) override {}
  platform::WindowFacts facts(platform::WindowHandle) override { return {}; }
  core::PixelRect monitor_of(const core::PixelRect&) override { return {0, 0, 1024, 768}; }
  std::uint32_t thread_of(platform::WindowHandle) override { return 0; }
};

class CountingTray final : public platform::Tray {
 public:
  const core::TrayRecordLayout& layout() const override {
    return sizeof(void*) == 8 ? core::kTrayLayout64 : core::kTrayLayout32;
  }
  bool notify(core::TrayCommand command, const core::TrayRecordBytes&) override {
    if (command == core::TrayCommand::Add) ++adds;
    return true;
  }
  int adds = 0;
};

struct SettingsFixture {
  QuietShell shell;
  CountingTray tray;
  platform::win32::Registry registry;
  platform::win32::CommonControls common_controls;
  platform::win32::AnsiCodePage code_page;
  platform::win32::GdiTextDrawing drawing;
  platform::win32::MultimediaClock clock;
  platform::win32::ShellLinks links;
  platform::win32::ErrorReport errors;
  platform::win32::StartOverlays overlays{errors};
  platform::win32::ShellWatch watch{errors};
  Runtime runtime{::GetModuleHandleW(nullptr), registry, errors};
  forms::SettingsWindow settings{runtime, platform::Ports{shell, tray, registry, common_controls, code_page, drawing,
                                                          clock, links, overlays, watch}};

  HWND window() { return as_hwnd(settings.window().window_handle()); }
  // Controls are numbered from 100 in the order the window holds them.
  HWND child(int index) { return ::GetDlgItem(window(), 100 + index); }
  RECT client_rect_of(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
};

enum SettingsChild { kAutorun = 0, kHook = 1, kCommand1 = 2, kText1 = 3, kStartLabel = 4 };

const testing::Register settings_layout("the settings window: frame, controls, captions and tab order", [] {
  SettingsFixture f;
  const int dpi_x = f.runtime.dpi_x();
  const int dpi_y = f.runtime.dpi_y();
  RECT client{};
  ::GetClientRect(f.window(), &client);
  check_equal(client.right, static_cast<LONG>(pixels(2880, dpi_x)), "client width");
  check_equal(client.bottom, static_cast<LONG>(pixels(2304, dpi_y)), "client height");
  check_equal(show(from_wide(window_text_of(f.window()))), show(u"Talvorin"), "caption");
  check(!::IsWindowVisible(f.window()), "hidden after loading");
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(f.window(), GWL_STYLE));
  const DWORD wanted = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
  check((style & wanted) == wanted, "sizable, with a close box and a minimise button");
  check(!(style & WS_MAXIMIZEBOX), "no maximise button");
  check(::GetMenu(f.window()) == nullptr, "no menu bar");

  struct Expected {
    SettingsChild child;
    std::u16string_view class_name;
    std::u16string_view caption;  // empty: not checked
    forms::TwipsRect rect;
    DWORD style_set;
    DWORD style_clear;
  };
  const Expected controls[] = {
      {kAutorun,
       u"Button",
       u"Запомнить текст и поместить в автозагрузку",
       {120, 1440, 2652, 612},
       WS_VISIBLE | WS_TABSTOP | BS_3STATE | BS_MULTILINE,
       0},
      {kHook, u"TalvorinPicture", u"", {0, 480, 372, 372}, 0, WS_VISIBLE | WS_TABSTOP},
      {kCommand1, u"Button", u"Ok", {360, 840, 2175, 372}, WS_VISIBLE | WS_TABSTOP, BS_DEFPUSHBUTTON},
      {kText1, u"Edit", u"", {360, 480, 2175, 285}, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, ES_MULTILINE},
      {kStartLabel, u"Static", u"Текст для кнопки Пуск", {360, 120, 2172, 252}, WS_VISIBLE, WS_TABSTOP},
  };
  for (const Expected& e : controls) {
    const HWND control = f.child(e.child);
    const std::string name = show(e.class_name) + " " + std::to_string(e.child);
    check_equal(show(class_of(control)), show(e.class_name), "class of " + name);
    if (!e.caption.empty()) {
      check_equal(show(from_wide(window_text_of(control))), show(e.caption), "caption of " + name);
    }
    const RECT r = f.client_rect_of(control);
    check_equal(r.left, static_cast<LONG>(pixels(e.rect.left, dpi_x)), name + " left");
    check_equal(r.top, static_cast<LONG>(pixels(e.rect.top, dpi_y)), name + " top");
    check_equal(r.right - r.left, static_cast<LONG>(pixels(e.rect.width, dpi_x)), name + " width");
    check_equal(r.bottom - r.top, static_cast<LONG>(pixels(e.rect.height, dpi_y)), name + " height");
    const auto control_style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    check((control_style & e.style_set) == e.style_set, name + " has its styles");
    if (e.style_clear == BS_DEFPUSHBUTTON) {
      check((control_style & BS_TYPEMASK) == BS_PUSHBUTTON, "a plain push button, not the default one");
    } else {
      check((control_style & e.style_clear) == 0, name + " lacks the styles it must not have");
    }
  }
  check(f.runtime.forms().size() == 1, "one form");

  // Tab walks Text1, Command1, chAutorun and back; the hidden picture box
  // and the label are skipped.
  f.settings.window().show();
  const SettingsChild order[] = {kText1, kCommand1, kAutorun, kText1};
  HWND at = ::GetNextDlgTabItem(f.window(), nullptr, FALSE);
  for (const SettingsChild expected : order) {
    check(at == f.child(expected), "tab stop " + show(class_of(at)) + ", expected " + std::to_string(expected));
    at = ::GetNextDlgTabItem(f.window(), at, FALSE);
  }
});

const testing::Register settings_fonts_and_colours("the settings window: the label's font and colour", [] {
  SettingsFixture f;
  LOGFONTW font{};
  const auto label_font = reinterpret_cast<HFONT>(::SendMessageW(f.child(kStartLabel), WM_GETFONT, 0, 0));
  check(::GetObjectW(label_font, sizeof(font), &font) == sizeof(font), "the label has a font of its own");
  // 7.8 points at the screen's dots per inch, as a character height.
  check_equal(font.lfHeight, static_cast<LONG>(-::MulDiv(78, f.runtime.dpi_y(), 720)), "height");
  check_equal(font.lfWeight, 700L, "bold");
  check_equal(static_cast<int>(font.lfCharSet), 204, "Cyrillic");
  check_equal(show(from_wide(font.lfFaceName)), show(u"MS Sans Serif"), "face");
  check(!font.lfItalic && !font.lfUnderline, "neither italic nor underlined");
  const auto gui_font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  for (const SettingsChild other : {kAutorun, kCommand1, kText1}) {
    check(static_cast<WPARAM>(::SendMessageW(f.child(other), WM_GETFONT, 0, 0)) == gui_font,
          "default GUI font on " + std::to_string(other));
  }

  const platform::win32::window_dc dc(f.window());
  const auto brush = ::SendMessageW(f.window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                    reinterpret_cast<LPARAM>(f.child(kStartLabel)));
  check(brush == reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)), "button-face background");
  check_equal(static_cast<long long>(::GetTextColor(dc.get())), static_cast<long long>(RGB(0, 192, 0)), "green");
  check_equal(static_cast<long long>(::GetBkColor(dc.get())), static_cast<long long>(::GetSysColor(COLOR_BTNFACE)),
              "opaque on the button face");
  check_equal(::GetBkMode(dc.get()), OPAQUE, "opaque");
});

const testing::Register settings_minimised("the settings window minimised: back to the tray, out of the task list", [] {
  SettingsFixture f;
  const auto listed = [&f] { return (::GetWindowLongPtrW(f.window(), GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0; };
  check(!f.runtime.app().task_visible() && !listed(), "loading took it out of the task list");
  check_equal(f.tray.adds, 1, "loading added the tray icon");
  f.runtime.app().set_task_visible(true);
  f.settings.window().show();
  f.runtime.do_events();
  check(listed(), "listed again for the test");
  ::ShowWindow(f.window(), SW_MINIMIZE);
  f.runtime.do_events();
  check(!::IsWindowVisible(f.window()), "hidden");
  check(::IsIconic(f.window()) != FALSE, "minimised");
  check(!f.runtime.app().task_visible() && !listed(), "out of the task list");
  check_equal(f.tray.adds, 2, "the tray icon asked for again");
});

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

// --- waits and errors -----------------------------------------------------------

struct BoxSearch {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_box(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<BoxSearch*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search.process && class_of(window) == u"#32770" && ::IsWindowVisible(window)) {
    search.found.push_back(window);
  }
  return TRUE;
}

// The visible message boxes of a process.
std::vector<HWND> boxes_of(DWORD process) {
  BoxSearch search{process, {}};
  ::EnumWindows(collect_box, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND find_box(DWORD process) {
  const std::vector<HWND> boxes = boxes_of(process);
  return boxes.empty() ? nullptr : boxes.front();
}

int count_boxes(DWORD process) { return static_cast<int>(boxes_of(process).size()); }

std::u16string box_text(HWND box) {
  const HWND text = ::GetDlgItem(box, 0xFFFF);  // the prompt's static
  wchar_t buffer[256] = {};
  ::SendMessageW(text, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
  return from_wide(buffer);
}

const testing::Register message_box("a message box lets timers tick while it is open", [] {
  Fixture f;
  int ticks_while_open = 0;
  bool open = false;
  f.form->add_timer({.name = u"Timer1", .interval_ms = 10, .enabled = true, .on_timer = [&] {
                       if (!open) return;
                       if (++ticks_while_open < 3) return;
                       if (const HWND box = find_box(::GetCurrentProcessId())) {
                         wchar_t title[64] = {};
                         ::GetWindowTextW(box, title, 64);
                         check_equal(show(from_wide(title)), show(u"Talvorin"), "titled with the application");
                         check_equal(show(box_text(box)), show(u"Error: Cannot find window"), "prompt");
                         ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                       }
                     }});
  open = true;
  f.runtime.message_boxes().show(u"Error: Cannot find window", platform::MessageBoxStyle::Ok, u"");
  open = false;
  check(ticks_while_open >= 3, "ticks arrived while the box was open");
});

const testing::Register run_time_error("an exception in a handler ends the program with its report", [] {
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(module) + L"\" " + kThrowInHandler;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  if (!check(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child),
             "child started")) {
    return;
  }
  HWND box = nullptr;
  for (int i = 0; i < 200 && !box; ++i) {
    ::Sleep(25);
    box = find_box(child.dwProcessId);
  }
  if (check(box != nullptr, "the report is shown")) {
    wchar_t title[64] = {};
    ::GetWindowTextW(box, title, 64);
    check_equal(show(from_wide(title)), show(u"Talvorin"), "report title");
    check_equal(show(box_text(box)), show(u"a handler failed"), "the error's own text");
    ::Sleep(200);  // the failing timer keeps falling due meanwhile
    check_equal(count_boxes(child.dwProcessId), 1, "one report, not a pile of them");
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  if (::WaitForSingleObject(child.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(child.hProcess, 99);
  DWORD code = 0;
  ::GetExitCodeProcess(child.hProcess, &code);
  check_equal(static_cast<long long>(code), 1LL, "exit code");
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
});

// The child of the test above: a timer whose handler fails.
int throw_in_handler() {
  platform::win32::Registry registry;
  forms::win32::ErrorReport errors;
  Runtime runtime(::GetModuleHandleW(nullptr), registry, errors);
  auto form = runtime.create_form(plain_form(u"failing"));
  form->add_timer({.name = u"Timer1", .interval_ms = 20, .enabled = true, .on_timer = [] {
                     throw std::runtime_error(kRunTimeErrorText);
                   }});
  return runtime.run();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == kThrowInHandler) return throw_in_handler();
  return talvorin::testing::run_all();
}
