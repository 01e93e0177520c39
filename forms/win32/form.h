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
#include "forms/win32/canvas.h"
#include "forms/win32/controls.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"

namespace talvorin::forms::win32 {

using platform::win32::ErrorReport;
using platform::win32::Window;

class Runtime;

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

  // One handler for each message the form answers. None: the default
  // procedure answers too, or instead.
  using Answer = std::optional<LRESULT>;
  Answer on_size();
  Answer on_window_pos_changing(WINDOWPOS& pos) const;
  Answer on_window_pos_changed(const WINDOWPOS& pos);
  Answer on_close();
  Answer on_query_end_session() const;
  Answer on_end_session(bool ending);
  Answer on_command(int id, int code);
  Answer on_timer(WPARAM id) const;
  Answer on_ctl_color_static(HDC dc, HWND control) const;
  Answer on_activate(bool active);
  Answer on_activate_event() const;
  Answer on_set_cursor(HWND window, int hit) const;
  Answer on_paint();
  Answer on_print_client(HDC dc) const;
  Answer on_erase_background() const;
  Answer on_set_focus();

  // The control that is this child window of the form, or none.
  const Control* control_of(HWND window) const;
  void paint_content(HDC dc, const RECT& area) const;
  RECT client_rect() const;
  // Where the core sent the focus.
  void move_focus(FocusMove move);
  bool restore_focus() const;
  Canvas& canvas();

  void load_icons(int resource);
  int next_control_id() const;
  Control* control_by_id(int id) const;
  HWND create_control(const ControlCreateArgs& args);
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
