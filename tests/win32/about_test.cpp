// The real About window under Wine: its design read back from the window
// and its controls, the hand cursor over the links, and both animated lines
// drawn into its image with real GDI, paced by the real clock.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/product.h"
#include "forms/about_window.h"
#include "forms/win32/runtime.h"
#include "forms/win32/units.h"
#include "platform/win32/adapters.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/window.h"
#include "tests/win32/check.h"
#include "tests/win32/form_fixture.h"

namespace {

using namespace talvorin;
using forms::win32::twips_to_pixels;
using platform::win32::from_wide;
using platform::win32::to_wide;
using testing::check;
using testing::check_equal;
using testing::show;
using testing::text_of;

// The GDI drawing, with the time of each drawn frame noted.
class TimedDrawing final : public platform::TextDrawing {
 public:
  std::uint32_t translate_color(std::uint32_t ole_color) override { return gdi_.translate_color(ole_color); }
  std::uint32_t button_face_color() override { return gdi_.button_face_color(); }
  Brush create_solid_brush(std::uint32_t color) override {
    ++brushes;
    return gdi_.create_solid_brush(color);
  }
  void delete_brush(Brush brush) override {
    --brushes;
    gdi_.delete_brush(brush);
  }
  void set_text_color(DeviceContext dc, std::uint32_t color) override { gdi_.set_text_color(dc, color); }
  // A frame's first drawing call follows its start at once.
  void fill_rect(DeviceContext dc, const core::PixelRect& rect, Brush brush) override {
    frame_times.push_back(clock_.milliseconds());
    gdi_.fill_rect(dc, rect, brush);
  }
  void set_text_character_extra(DeviceContext dc, std::int32_t extra) override {
    gdi_.set_text_character_extra(dc, extra);
  }
  void draw_text(DeviceContext dc, const std::string& ansi_text, std::int32_t length, core::PixelRect& rect,
                 platform::DrawTextFormat format) override {
    gdi_.draw_text(dc, ansi_text, length, rect, format);
  }

  std::vector<std::uint32_t> frame_times;
  int brushes = 0;

 private:
  platform::win32::GdiTextDrawing gdi_;
  platform::win32::MultimediaClock clock_;
};

struct Fixture {
  platform::win32::Registry registry;
  platform::win32::AnsiCodePage code_page;
  TimedDrawing drawing;
  platform::win32::MultimediaClock clock;
  platform::win32::ShellLinks links;
  platform::win32::ErrorReport errors;
  forms::win32::Runtime runtime{::GetModuleHandleW(nullptr), registry, errors};
  forms::AboutWindow about{runtime, {drawing, clock, links, code_page}};

  HWND window() { return reinterpret_cast<HWND>(about.window().window_handle()); }
  int px(int twips) const { return twips_to_pixels(twips, runtime.dpi_x()); }
  int py(int twips) const { return twips_to_pixels(twips, runtime.dpi_y()); }
  std::vector<HWND> children() {
    std::vector<HWND> found;
    for (HWND child = ::GetWindow(window(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      found.push_back(child);
    }
    return found;
  }
};

const testing::Register design("the About window's design, read back from the window", [] {
  Fixture f;
  RECT client{};
  ::GetClientRect(f.window(), &client);
  check_equal(static_cast<int>(client.right), f.px(3744), "client width");
  check_equal(static_cast<int>(client.bottom), f.py(2436), "client height");
  const auto style = static_cast<DWORD>(::GetWindowLongW(f.window(), GWL_STYLE));
  check((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0 && (style & WS_SYSMENU) != 0,
        "fixed single border with the close box only");
  check_equal(show(text_of(f.window())), show(u"О программе"), "title before the About command");
  const auto big = reinterpret_cast<HICON>(::SendMessageW(f.window(), WM_GETICON, ICON_BIG, 0));
  const auto small = reinterpret_cast<HICON>(::SendMessageW(f.window(), WM_GETICON, ICON_SMALL, 0));
  check(big && small, "an icon of its own, big and small");

  struct Control {
    std::u16string_view class_name;
    std::u16string_view text;
    int left, top, width, height;
    bool tab_stop;
  };
  // In tab order: the z-order of the children.
  const Control expected[] = {
      {u"Static", u"arkady@example.org", 480, 1440, 2184, 240, false},
      {u"Button", u"OK", 1200, 1800, 1452, 492, true},
      {u"Static", u"http://talvorin.example.org", 480, 960, 2844, 240, false},
  };
  const std::vector<HWND> children = f.children();
  if (!check_equal(children.size(), std::size(expected), "three controls")) return;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const Control& want = expected[i];
    wchar_t class_name[32] = {};
    ::GetClassNameW(children[i], class_name, 32);
    check_equal(show(from_wide(class_name)), show(want.class_name), "class");
    check_equal(show(text_of(children[i])), show(want.text), "text");
    RECT area{};
    ::GetWindowRect(children[i], &area);
    ::MapWindowPoints(nullptr, f.window(), reinterpret_cast<POINT*>(&area), 2);
    check_equal(static_cast<int>(area.left), f.px(want.left), "left");
    check_equal(static_cast<int>(area.top), f.py(want.top), "top");
    check_equal(static_cast<int>(area.right - area.left), f.px(want.width), "width");
    check_equal(static_cast<int>(area.bottom - area.top), f.py(want.height), "height");
    const auto child_style = static_cast<DWORD>(::GetWindowLongW(children[i], GWL_STYLE));
    check_equal((child_style & WS_TABSTOP) != 0, want.tab_stop, "tab stop");
  }
  const HWND button = children[1];
  check((::GetWindowLongW(button, GWL_STYLE) & BS_DEFPUSHBUTTON) == 0, "OK is not the default button");
  check(reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)) == ::GetStockObject(DEFAULT_GUI_FONT),
        "the button in the default font");

  // The links' look: blue on the button face, their own bold underlined font.
  const platform::win32::window_dc screen;
  const platform::win32::unique_hdc dc(::CreateCompatibleDC(screen.get()));
  for (const HWND label : {children[0], children[2]}) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)), sizeof(font), &font);
    check_equal(show(from_wide(font.lfFaceName)), show(u"MS Sans Serif"), "link face");
    check_equal(static_cast<int>(font.lfHeight), -::MulDiv(96, f.runtime.dpi_y(), 720), "9.6 points");
    check_equal(static_cast<int>(font.lfWeight), 700, "bold");
    check(font.lfUnderline && !font.lfItalic && !font.lfStrikeOut, "underlined, upright, not struck out");
    check_equal(static_cast<int>(font.lfCharSet), 204, "Cyrillic character set");
    // The address is shown whole, on one line, in the label's own font.
    const HGDIOBJ old_font = ::SelectObject(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring text = to_wide(text_of(label));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc.get(), old_font);
    RECT inside{};
    ::GetClientRect(label, &inside);
    check(extent.cx <= inside.right && extent.cy <= inside.bottom, "the link's text fits its label");
    ::SendMessageW(f.window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(label));
    check_equal(static_cast<unsigned>(::GetTextColor(dc.get())), static_cast<unsigned>(RGB(0, 0, 255)), "blue");
    check_equal(static_cast<unsigned>(::GetBkColor(dc.get())), static_cast<unsigned>(::GetSysColor(COLOR_BTNFACE)),
                "on the button face");
  }
});

const testing::Register cursor("the hand over the links only, its click point at the top-left pixel", [] {
  Fixture f;
  const std::vector<HWND> children = f.children();
  if (!check_equal(children.size(), std::size_t{3}, "three controls")) return;
  const auto set_cursor_over = [&f](HWND child) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    const LRESULT handled =
        ::SendMessageW(f.window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return handled ? ::GetCursor() : nullptr;
  };
  const HCURSOR over_email = set_cursor_over(children[0]);
  const HCURSOR over_home = set_cursor_over(children[2]);
  check(over_email && over_home && over_email != ::LoadCursorW(nullptr, IDC_ARROW),
        "a cursor of its own over each link");
  check(over_email != over_home, "each label holds its own copy");
  check(set_cursor_over(children[1]) == nullptr, "the button keeps the arrow");
  ICONINFO info{};
  if (check(over_email && ::GetIconInfo(over_email, &info), "cursor readable")) {
    check(!info.fIcon, "a cursor, not an icon");
    check_equal(static_cast<int>(info.xHotspot) * 100 + static_cast<int>(info.yHotspot), 0, "hot spot at (0, 0)");
    BITMAP mask{};
    ::GetObjectW(info.hbmMask, sizeof(mask), &mask);
    check_equal(static_cast<int>(mask.bmWidth), 32, "32 pixels wide");
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
  }
});

// Pixels of the window's image in a band, counted when mostly of one colour.
int count_pixels(HDC image, RECT band, COLORREF wanted) {
  int count = 0;
  for (int y = band.top; y < band.bottom; ++y) {
    for (int x = band.left; x < band.right; ++x) {
      const COLORREF pixel = ::GetPixel(image, x, y);
      const auto close_to = [](int a, int b) { return std::abs(a - b) < 96; };
      if (close_to(GetRValue(pixel), GetRValue(wanted)) && close_to(GetGValue(pixel), GetGValue(wanted)) &&
          close_to(GetBValue(pixel), GetBValue(wanted))) {
        ++count;
      }
    }
  }
  return count;
}

const testing::Register animation("both lines drawn into the window's image, a frame each 20 ms or a little more", [] {
  Fixture f;
  // The title as the window draws it, from the version block it finds.
  const forms::Version version = f.runtime.app().version();
  const std::u16string title = core::about_title(version.major, version.minor);
  f.about.window().set_caption(title);
  f.about.window().show();
  ::SetForegroundWindow(f.window());
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 7000 && f.drawing.frame_times.size() < 274) {
    f.runtime.do_events();
    f.runtime.wait_for_events(20);
  }
  check_equal(f.drawing.frame_times.size(), std::size_t{274}, "137 frames in each line");
  check_equal(f.drawing.brushes, 0, "every brush deleted");

  std::vector<std::uint32_t> intervals;
  for (std::size_t i = 1; i < f.drawing.frame_times.size(); ++i) {
    if (i != 137) intervals.push_back(f.drawing.frame_times[i] - f.drawing.frame_times[i - 1]);
  }
  std::sort(intervals.begin(), intervals.end());
  if (!intervals.empty()) {
    const std::uint32_t median = intervals[intervals.size() / 2];
    const std::uint32_t p95 = intervals[intervals.size() * 95 / 100];
    std::printf("  frame interval: median %u ms, 95th percentile %u ms\n", median, p95);
    // The clock may tick between a frame's start and its first drawing.
    check(intervals.front() >= 19, "no frame shorter than 20 ms");
    check(median <= 25, "paced near 20 ms");
  }

  const auto image = reinterpret_cast<HDC>(f.about.window().hdc());
  const int width = f.px(3744);
  check(count_pixels(image, RECT{42, 12, width, 30}, RGB(255, 0, 0)) > 20, "red title in the first line");
  check(count_pixels(image, RECT{42, 42, width, 60}, RGB(0, 255, 0)) > 20, "green credit in the second line");
  check_equal(count_pixels(image, RECT{0, 0, 40, 60}, RGB(255, 0, 0)), 0, "nothing left of the lines");

  // The settled lines read back from the image: the font they are drawn in,
  // where they start, and nothing of the wider early frames left to their
  // right.
  LOGFONTW font{};
  ::GetObjectW(::GetCurrentObject(image, OBJ_FONT), sizeof(font), &font);
  LOGFONTW window_font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(window_font), &window_font);
  check_equal(show(from_wide(font.lfFaceName)), show(from_wide(window_font.lfFaceName)), "the window's own face");
  check_equal(static_cast<int>(font.lfHeight), -::MulDiv(12, f.runtime.dpi_y(), 72), "at 12 points");
  struct Line {
    std::u16string text;
    int top;
    COLORREF colour;
  };
  ::SetTextCharacterExtra(image, -1);
  for (const Line& line :
       {Line{title, 12, RGB(255, 0, 0)}, Line{std::u16string(core::kAuthorName), 42, RGB(0, 255, 0)}}) {
    const int bottom = line.top + 24;
    int first = width;
    for (int x = 0; x < width && first == width; ++x) {
      if (count_pixels(image, RECT{x, line.top, x + 1, bottom}, line.colour) > 0) first = x;
    }
    std::printf("  %s starts at x = %d\n", show(line.text).c_str(), first);
    check(first >= 42 && first <= 43, show(line.text) + " starts at x = 42");
    const std::wstring text = to_wide(line.text);
    SIZE settled{};
    ::GetTextExtentPoint32W(image, text.c_str(), static_cast<int>(text.size()), &settled);
    check(42 + settled.cx + 2 < width, show(line.text) + " settles inside the window");
    check_equal(count_pixels(image, RECT{42 + settled.cx + 2, line.top - 2, width, bottom}, line.colour), 0,
                "nothing right of the settled " + show(line.text));
  }
});

}  // namespace

int wmain() { return talvorin::testing::run_all(); }
