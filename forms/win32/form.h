#pragma once
// A form as a real Unicode top-level window with standard controls.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/form_core.h"
#include "forms/toolkit.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"

namespace talvorin::forms::win32 {

using platform::win32::ErrorReport;
using platform::win32::Window;

class Runtime;
class Form;

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

// The image a form with auto-redraw keeps: a memory device context of the
// client area's size, on the button face, that the drawing goes to and the
// window repaints itself from.
class Canvas {
 public:
  explicit Canvas(HWND window);

  HDC dc() const { return dc_.get(); }
  void set_font(platform::win32::unique_hfont font);
  void paint(HDC target, const RECT& area) const;

 private:
  // Declared so that the selections go before what they select.
  platform::win32::unique_hdc dc_;
  platform::win32::unique_hbitmap bitmap_;
  platform::win32::unique_hfont font_;
  std::optional<platform::win32::selected_object> bitmap_selection_;
  std::optional<platform::win32::selected_object> font_selection_;
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

class Form final : public forms::Form, private Window, private FormWindow {
 public:
  Form(Runtime& runtime, const FormArgs& args);
  ~Form() override;

  forms::TextBox& add_text_box(const TextBoxArgs& args) override;
  CommandButton& add_button(const ButtonArgs& args) override;
  forms::CheckBox& add_check_box(const CheckBoxArgs& args) override;
  void add_label(const LabelArgs& args) override;
  forms::PictureBox& add_picture_box(const PictureBoxArgs& args) override;
  Timer& add_timer(const TimerArgs& args) override;
  forms::Menu& add_menu(const MenuArgs& args) override;

  void show() override;
  void hide() override;
  bool visible() const override;
  WindowState window_state() const override;
  void set_window_state(WindowState state) override;
  std::u16string caption() const override;
  platform::WindowHandle window_handle() const override;
  std::uintptr_t icon_handle() const override;
  void popup_menu(forms::Menu& menu) override;
  void set_caption(std::u16string_view caption) override;
  void unload() override;
  void set_auto_redraw(bool on) override;
  void set_font_size(double points) override;
  std::uintptr_t hdc() override;
  float scale_width() const override;
  void refresh() override;

  // What the runtime tells every form.
  void set_task_visible(bool visible);
  void taskbar_created();
  void end_session();

  using Window::hwnd;
  Runtime& runtime() const { return runtime_; }
  // A control's rectangle in twips as pixels of the client area.
  RECT pixels(const TwipsRect& rect) const;

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;
  void on_destroyed() override;

  void show_window(bool restore) override;
  void hide_window() override;
  void destroy_window() override;
  void post_activate_event() override;

  void on_size();
  void on_window_pos_changing(WINDOWPOS& pos) const;
  void on_window_pos_changed(const WINDOWPOS& pos);
  void on_close();
  void on_command(int id, int code);
  void on_activate(bool active);
  // The control that is this child window of the form, or none.
  const Control* control_of(HWND window) const;
  void on_paint();
  void paint_content(HDC dc, const RECT& area) const;
  RECT client_rect() const;
  bool restore_focus() const;
  Canvas& canvas();

  void load_icons(int resource);
  int next_control_id() const;
  Control* control_by_id(int id) const;
  HWND create_control(const wchar_t* class_name, std::u16string_view text, DWORD style, DWORD ex_style,
                      const TwipsRect& rect, int id, HFONT font);
  // Takes the control into the table and stacks the children in tab order:
  // Tab walks the z-order.
  template <typename T>
  T& adopt(std::unique_ptr<T> control);

  Runtime& runtime_;
  FormCore core_;

  platform::win32::unique_hicon big_icon_;
  platform::win32::unique_hicon small_icon_;
  std::unique_ptr<Canvas> canvas_;
  bool auto_redraw_ = false;

  // In the order of creation: ids count up from the first.
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<Menu>> menus_;
  int focus_id_ = 0;  // the child that had the focus when the window was last deactivated

  bool building_ = false;     // no resize reaches a handler while the form is built
  bool keep_hidden_ = false;  // changing the window state of a hidden window
};

}  // namespace talvorin::forms::win32
