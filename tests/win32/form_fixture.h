#pragma once
// What the Win32 forms tests share: reading windows back, running the
// loop for a while, and a form with one control of each kind.

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/win32/runtime.h"
#include "forms/win32/units.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide.h"
#include "tests/win32/check.h"

namespace talvorin::testing {

using forms::WindowState;
using forms::win32::Runtime;
using platform::win32::from_wide;

inline HWND as_hwnd(platform::WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

inline std::u16string class_of(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return from_wide(name);
}

inline std::u16string text_of(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return from_wide(text);
}

inline forms::FormArgs plain_form(std::u16string_view caption) {
  forms::FormArgs args;
  args.caption = caption;
  args.client_width = 1440;
  args.client_height = 1440;
  return args;
}

// Runs the runtime's events for a while, as the program's loop would.
inline void pump_for(Runtime& runtime, DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < milliseconds) {
    runtime.do_events();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// A form with one control of each kind, whose handlers count what reaches
// them: the backend's own behaviour is measured on it. The settings window
// is measured on the window the program makes (settings_window_test.cpp).
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

enum Child { kCheckBox = 0, kPicture = 1, kButton = 2, kTextBox = 3, kLabel = 4 };

}  // namespace talvorin::testing
