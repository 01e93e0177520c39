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
#include "forms/win32/window.h"
#include "platform/win32/handles.h"

namespace talvorin::forms::win32 {

class Runtime;
class Form;

// The standard controls are children that die with the form's window, so
// they are found by their id under it each time instead of being held.
class Control {
 public:
  Control(Form& form, int id) : form_(form), id_(id) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  int id() const { return id_; }

 protected:
  ~Control() = default;
  HWND control() const;
  LRESULT send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;

 private:
  Form& form_;
  int id_;
};

class TextBox final : public forms::TextBox, public Control {
 public:
  using Control::Control;
  std::u16string text() const override;
  void set_text(std::u16string_view text) override;
};

class CommandButton final : public forms::CommandButton, public Control {
 public:
  CommandButton(Form& form, int id, Handler on_click) : Control(form, id), on_click_(std::move(on_click)) {}
  void press() override { clicked(); }
  void clicked();

 private:
  Handler on_click_;
};

class CheckBox final : public forms::CheckBox, public Control {
 public:
  using Control::Control;
  std::int16_t value() const override;
  void set_value(std::int16_t value) override;
  void clicked();
};

class Label final : public Control {
 public:
  Label(Form& form, int id, COLORREF fore_color, platform::win32::unique_hfont font, Handler on_click,
        platform::win32::unique_hcursor cursor)
      : Control(form, id),
        fore_color_(fore_color),
        font_(std::move(font)),
        on_click_(std::move(on_click)),
        cursor_(std::move(cursor)) {}
  // WM_CTLCOLORSTATIC: its colour on the button face, opaque.
  HBRUSH paint_colors(HDC dc) const;
  void clicked();
  HCURSOR cursor() const { return cursor_.get(); }

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
class PictureBox final : public forms::PictureBox, private Window {
 public:
  PictureBox(Form& form, int id, const PictureBoxArgs& args);
  platform::WindowHandle window_handle() const override;
  int id() const { return id_; }

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;
  void on_mouse_move(WPARAM keys, LPARAM position);

  Form& form_;
  int id_;
  std::function<void(const MouseEvent&)> on_mouse_move_;
};

class Timer final : public forms::Timer {
 public:
  Timer(Form& form, UINT_PTR id, const TimerArgs& args);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  bool enabled() const override { return core_.enabled(); }
  void set_enabled(bool enabled) override;
  UINT_PTR id() const { return id_; }
  void tick() { core_.tick(); }

 private:
  Form& form_;
  UINT_PTR id_;
  TimerCore core_;
};

class Menu;

class MenuItem final : public forms::MenuItem {
 public:
  MenuItem(const Menu& menu, UINT id, Handler on_click) : menu_(menu), id_(id), on_click_(std::move(on_click)) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;
  std::u16string caption() const override;
  void set_caption(std::u16string_view caption) override;
  bool enabled() const override;
  void set_enabled(bool enabled) override;
  UINT id() const { return id_; }
  void click();

 private:
  const Menu& menu_;
  UINT id_;
  Handler on_click_;
};

class Menu final : public forms::Menu {
 public:
  // Item ids are first_id, first_id + 1, ...
  Menu(const MenuArgs& args, UINT first_id);
  MenuItem& item(std::size_t index) override { return *items_.at(index); }
  std::size_t item_count() const override { return items_.size(); }
  HMENU popup() const { return popup_.get(); }
  MenuItem* find(UINT id);

 private:
  platform::win32::unique_hmenu popup_;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

class Form final : public forms::Form, private Window {
 public:
  Form(Runtime& runtime, const FormArgs& args);
  ~Form() override;

  TextBox& add_text_box(const TextBoxArgs& args) override;
  CommandButton& add_button(const ButtonArgs& args) override;
  CheckBox& add_check_box(const CheckBoxArgs& args) override;
  void add_label(const LabelArgs& args) override;
  PictureBox& add_picture_box(const PictureBoxArgs& args) override;
  Timer& add_timer(const TimerArgs& args) override;
  Menu& add_menu(const MenuArgs& args) override;

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
  FormCore& core() { return core_; }
  // A control's rectangle in twips as pixels of the client area.
  RECT pixels(const TwipsRect& rect) const;

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;
  void on_destroyed() override;
  void destroy();

  void on_size();
  void on_window_pos_changing(WINDOWPOS& pos) const;
  void on_close();
  void on_command(int id, int code);
  void on_timer(UINT_PTR id);
  std::optional<LRESULT> on_ctl_color_static(HDC dc, HWND control) const;
  void on_activate(bool active);
  void on_activate_event();
  bool on_set_cursor(HWND window, UINT hit_test) const;
  void on_paint();
  void paint_content(HDC dc, const RECT& area) const;
  RECT client_rect() const;
  bool restore_focus() const;
  Canvas& canvas();

  void load_icons(int resource);
  int next_control_id() { return next_control_id_++; }
  HWND create_control(const wchar_t* class_name, std::u16string_view text, DWORD style, DWORD ex_style,
                      const TwipsRect& rect, int id, HFONT font);
  // Stacks the children in tab order: Tab walks the z-order.
  void place_in_tab_order(int id, int tab_index);
  void attach_menu_bar(const Menu& menu, std::u16string_view caption);
  void detach_menu_bar();

  Runtime& runtime_;
  FormCore core_;

  platform::win32::unique_hicon big_icon_;
  platform::win32::unique_hicon small_icon_;
  platform::win32::unique_hmenu menu_bar_;
  std::unique_ptr<Canvas> canvas_;
  bool auto_redraw_ = false;

  std::vector<std::unique_ptr<TextBox>> text_boxes_;
  std::vector<std::unique_ptr<CommandButton>> buttons_;
  std::vector<std::unique_ptr<CheckBox>> check_boxes_;
  std::vector<std::unique_ptr<Label>> labels_;
  std::vector<std::unique_ptr<PictureBox>> pictures_;
  std::vector<std::unique_ptr<Timer>> timers_;
  std::vector<std::unique_ptr<Menu>> menus_;

  struct TabStop {
    int tab_index;
    int id;
  };
  std::vector<TabStop> tab_order_;

  int next_control_id_;
  UINT_PTR next_timer_id_ = 1;
  UINT next_menu_id_;
  int focus_id_ = 0;  // the child that had the focus when the window was last deactivated

  bool created_ = false;      // WM_SIZE during CreateWindowEx reaches no handler
  bool keep_hidden_ = false;  // changing the window state of a hidden window
};

}  // namespace talvorin::forms::win32
