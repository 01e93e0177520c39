#pragma once
// The controls of a real form, and its popup menus.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "forms/toolkit.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"

namespace talvorin::forms::win32 {

using platform::win32::Window;

class Form;
class Runtime;

// Enter and Esc make IsDialogMessage send IDOK and IDCANCEL; no control of
// ours may answer to those.
inline constexpr int kFirstControlId = 100;

// A standard control as a child of the form.
struct ControlCreateArgs {
  const wchar_t* class_name = nullptr;
  std::u16string_view text;
  DWORD style = 0;  // beyond a visible child's
  DWORD ex_style = 0;
  TwipsRect rect;
  int id = 0;
  HFONT font = nullptr;  // none: the form's
};

// The text of a window of ours or of a control, whole; empty for none.
std::wstring window_text(HWND window);

// A control of the form. Its window is a child that dies with the form's
// window, so it is found by its id each time instead of being held. Each
// control answers its own clicks, colours and cursor.
class Control {
 public:
  Control(const Form& form, int id, int tab_index) : form_(form), id_(id), tab_index_(tab_index) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  int id() const { return id_; }
  int tab_index() const { return tab_index_; }
  HWND control() const;
  // BN_CLICKED, or STN_CLICKED from a label that notifies.
  virtual void clicked() {}
  // WM_CTLCOLORSTATIC: the brush, or none for the system's colours.
  virtual HBRUSH paint_colors(HDC /*dc*/) const { return nullptr; }
  // Over the control; none: its class's cursor.
  virtual HCURSOR cursor() const { return nullptr; }

 protected:
  LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;

 private:
  const Form& form_;
  int id_;
  int tab_index_;
  mutable HWND found_ = nullptr;     // the control's window, found in
  mutable HWND found_in_ = nullptr;  // this window of the form's
};

class TextBox final : public forms::TextBox, public Control {
 public:
  using Control::Control;
  std::u16string text() const override;
  void set_text(std::u16string_view text) override;
};

class Button final : public Control {
 public:
  Button(const Form& form, int id, const ButtonArgs& args)
      : Control(form, id, args.tab_index), button_(args.on_click) {}
  CommandButton& button() { return button_; }
  void clicked() override { button_.press(); }

 private:
  CommandButton button_;
};

class CheckBox final : public forms::CheckBox, public Control {
 public:
  using Control::Control;
  core::CheckState value() const override;
  void set_value(core::CheckState value) override;
  void clicked() override { click(); }
};

class Label final : public Control {
 public:
  Label(const Form& form, int id, const LabelArgs& args, platform::win32::unique_hfont font,
        platform::win32::unique_hcursor cursor);
  // Its colour on the button face, opaque.
  HBRUSH paint_colors(HDC dc) const override;
  HCURSOR cursor() const override { return cursor_.get(); }
  void clicked() override;

 private:
  COLORREF fore_color_;
  platform::win32::unique_hfont font_;  // lives as long as the control uses it
  Handler on_click_;
  platform::win32::unique_hcursor cursor_;  // a copy of its own
};

// A window of our own class: the tray icon's owner is one of these.
class PictureBox final : public Control, private Window {
 public:
  PictureBox(Form& form, int id, const PictureBoxArgs& args);
  forms::PictureBox& box() { return *box_; }

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;

  const Runtime& runtime_;
  std::optional<forms::PictureBox> box_;  // from the window's creation on
};

// A menu of the form as a Win32 popup, with the items' commands as ids.
class Menu {
 public:
  explicit Menu(const MenuArgs& args);
  forms::Menu& menu() { return menu_; }
  HMENU popup() const { return popup_.get(); }

 private:
  forms::Menu menu_;
  platform::win32::unique_hmenu popup_;
};

}  // namespace talvorin::forms::win32
