// The settings window as the program makes it, on real windows under Wine:
// its layout, fonts and colours, and what minimising does.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/tray_record.h"
#include "forms/settings_window.h"
#include "tests/win32/form_fixture.h"

namespace {

using namespace talvorin;
using namespace talvorin::testing;

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
  forms::SettingsWindow settings{runtime,
                                 {shell, overlays, tray, registry, common_controls, code_page, watch},
                                 {drawing, clock, links, code_page}};

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
  check_equal(show(text_of(f.window())), show(u"Talvorin"), "caption");
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
      check_equal(show(text_of(control)), show(e.caption), "caption of " + name);
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

}  // namespace
