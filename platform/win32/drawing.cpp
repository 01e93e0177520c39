// The animation's drawing, its clock and the About window's links, bound to
// Windows. The clock and the colour translation live in libraries the
// program otherwise never needs: they are loaded the first time they are
// used, from the system folder, so start-up does without them.

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/win32/adapters.h"
#include "platform/win32/handles.h"

namespace talvorin::platform::win32 {

namespace {

static_assert(static_cast<UINT>(DrawTextFormat::CalcRect) == DT_CALCRECT);
static_assert(static_cast<UINT>(DrawTextFormat::Draw) == (DT_LEFT | DT_TOP));

using TimeGetTimeFn = DWORD(WINAPI*)();
using OleTranslateColorFn = HRESULT(WINAPI*)(DWORD, HPALETTE, COLORREF*);

// An entry point of a system library, or null where the library or the
// entry is missing. The library stays loaded for the rest of the run.
template <typename Fn>
Fn system_function(const wchar_t* library_name, const char* function_name) {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + library_name;
  const HMODULE library = ::LoadLibraryW(path.c_str());
  if (!library) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(library, function_name)));
}

HDC as_hdc(TextDrawing::DeviceContext dc) { return reinterpret_cast<HDC>(dc); }
HBRUSH as_hbrush(TextDrawing::Brush brush) { return reinterpret_cast<HBRUSH>(brush); }

RECT to_rect(const core::PixelRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

std::uint32_t GdiTextDrawing::translate_color(std::uint32_t ole_color) {
  static const auto translate = system_function<OleTranslateColorFn>(L"oleaut32.dll", "OleTranslateColor");
  COLORREF color = 0;
  if (translate) translate(ole_color, nullptr, &color);
  return color;
}

std::uint32_t GdiTextDrawing::button_face_color() { return ::GetSysColor(COLOR_BTNFACE); }

// The animation owns its brush through the port; counted here like those of
// the handle owners.
TextDrawing::Brush GdiTextDrawing::create_solid_brush(std::uint32_t color) {
  const HBRUSH brush = ::CreateSolidBrush(color);
  if (brush) LiveHandles::count(HandleKind::Gdi, 1);
  return reinterpret_cast<Brush>(brush);
}

void GdiTextDrawing::delete_brush(Brush brush) {
  if (brush != 0) LiveHandles::count(HandleKind::Gdi, -1);
  ::DeleteObject(as_hbrush(brush));
}

void GdiTextDrawing::set_text_color(DeviceContext dc, std::uint32_t color) { ::SetTextColor(as_hdc(dc), color); }

void GdiTextDrawing::fill_rect(DeviceContext dc, const core::PixelRect& rect, Brush brush) {
  const RECT area = to_rect(rect);
  ::FillRect(as_hdc(dc), &area, as_hbrush(brush));
}

void GdiTextDrawing::set_text_character_extra(DeviceContext dc, std::int32_t extra) {
  ::SetTextCharacterExtra(as_hdc(dc), extra);
}

void GdiTextDrawing::draw_text(DeviceContext dc, const std::string& ansi_text, std::int32_t length,
                               core::PixelRect& rect, DrawTextFormat format) {
  const std::int32_t count = drawable_length(ansi_text, length);
  if (count == 0) return;
  RECT area = to_rect(rect);
  ::DrawTextA(as_hdc(dc), ansi_text.data(), count, &area, static_cast<UINT>(format));
  rect = {area.left, area.top, area.right, area.bottom};
}

std::uint32_t MultimediaClock::milliseconds() {
  // Without winmm the tick count is the same millisecond clock, only coarser.
  static const auto time_get_time = system_function<TimeGetTimeFn>(L"winmm.dll", "timeGetTime");
  return time_get_time ? time_get_time() : ::GetTickCount();
}

void ShellLinks::open(WindowHandle owner, const std::optional<std::string>& ansi_operation,
                      const std::string& ansi_target, const std::optional<std::string>& ansi_parameters,
                      const std::string& ansi_folder, ShowCommand show) {
  static_assert(static_cast<int>(ShowCommand::ShowNormal) == SW_SHOWNORMAL);
  ::ShellExecuteA(reinterpret_cast<HWND>(owner), ansi_operation ? ansi_operation->c_str() : nullptr,
                  ansi_target.c_str(), ansi_parameters ? ansi_parameters->c_str() : nullptr, ansi_folder.c_str(),
                  static_cast<int>(show));
}

}  // namespace talvorin::platform::win32
