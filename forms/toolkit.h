#pragma once
// A small forms toolkit: windows with controls laid out in twips, a timer, a
// popup menu and the runtime services the forms rely on. Forms are written
// once against it; a Win32 backend makes real windows, a headless backend
// runs on the simulated platform for the host tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/settings.h"
#include "core/tray_callback.h"
#include "platform/ports.h"
#include "platform/settings_store.h"

namespace talvorin::forms {

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

struct FontSpec {
  std::u16string face;
  double points = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  int charset = 0;
};

enum class WindowState : std::int16_t { Normal = 0, Minimised = 1, Maximised = 2 };

using Handler = std::function<void()>;

// What an unload handler answers: Cancel keeps the window.
enum class Unload : bool { Proceed, Cancel };

// A mouse move as forms see it: where, across, in twips. The tray's
// callbacks come as these, with the mouse message as the pixel.
struct MouseEvent {
  float x = 0;
};
using MouseHandler = std::function<void(const MouseEvent&)>;

// Controls are created from small argument records, which own their texts.
// Tab order follows tab_index whatever the order of creation.
struct TextBoxArgs {
  std::u16string name;
  std::u16string text;
  TwipsRect rect;
  int tab_index = 0;
};

struct ButtonArgs {
  std::u16string name;
  std::u16string caption;
  TwipsRect rect;
  int tab_index = 0;
  Handler on_click;
};

struct CheckBoxArgs {
  std::u16string name;
  std::u16string caption;  // wraps onto more lines where it does not fit
  TwipsRect rect;
  int tab_index = 0;
  core::CheckState value = core::CheckState::Clear;
};

struct LabelArgs {
  std::u16string name;
  std::u16string caption;
  TwipsRect rect;
  int tab_index = 0;
  std::optional<Rgb> fore_color{};
  std::optional<FontSpec> font{};
  Handler on_click{};
  int cursor_resource = 0;  // a cursor of its own over the label; 0: the arrow
};

struct PictureBoxArgs {
  std::u16string name;
  TwipsRect rect;
  int tab_index = 0;
  bool visible = true;
  MouseHandler on_mouse_move;
};

struct TimerArgs {
  std::u16string name;
  unsigned interval_ms = 0;
  bool enabled = false;
  Handler on_timer;
};

struct MenuItemArgs {
  std::u16string name;
  std::u16string caption;
  Handler on_click;
};

// A popup menu of the form.
struct MenuArgs {
  std::u16string name;
  std::vector<MenuItemArgs> items;
};

// The text lives in the control, where the user types it.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::u16string text() const = 0;
  virtual void set_text(std::u16string_view text) = 0;
};

class CommandButton {
 public:
  explicit CommandButton(Handler on_click) : on_click_(std::move(on_click)) {}
  // Setting the button's value to True from code: its click handler runs at
  // once, before press() returns.
  void press() const {
    if (on_click_) on_click_();
  }

 private:
  Handler on_click_;
};

// The value lives in the control, where another program may set it too.
class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual core::CheckState value() const = 0;
  virtual void set_value(core::CheckState value) = 0;
  // The user's click: between clear and ticked only.
  void click() { set_value(core::after_click(value())); }
};

// Its window exists from creation although the box is never shown; the
// tray's callbacks reach it as mouse moves.
class PictureBox {
 public:
  PictureBox(platform::WindowHandle window, MouseHandler on_mouse_move)
      : window_(window), on_mouse_move_(std::move(on_mouse_move)) {}
  platform::WindowHandle window_handle() const { return window_; }
  void mouse_move(const MouseEvent& event) const {
    if (on_mouse_move_) on_mouse_move_(event);
  }
  // WM_MOUSEMOVE's lParam as the window receives it, the tray's callbacks
  // included.
  void mouse_message(std::uint32_t lparam, float twips_per_pixel_x) const {
    mouse_move({.x = core::mouse_x_twips(lparam, twips_per_pixel_x)});
  }

 private:
  platform::WindowHandle window_;
  MouseHandler on_mouse_move_;
};

class FormCore;

class Timer {
 public:
  // The backend's clock hears each time the timer starts or stops counting
  // down, from the creation on.
  Timer(const TimerArgs& args, std::function<void(const Timer&)> count_down);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool enabled() const { return enabled_; }
  // Enabling a running timer leaves its period where it is.
  void set_enabled(bool enabled);
  // Whether the system counts it down. An interval of 0 never fires,
  // enabled or not, and a timer whose form is unloaded never again.
  bool running() const { return enabled_ && interval_ms_ > 0 && !ended_; }
  unsigned interval() const { return interval_ms_; }
  // The system's tick: the handler runs only while the timer runs.
  void tick() const;

 private:
  friend class FormCore;
  // The form's window is gone, and its timers with it.
  void end();

  unsigned interval_ms_;
  Handler on_timer_;
  std::function<void(const Timer&)> count_down_;
  bool enabled_ = false;
  bool ended_ = false;
};

class MenuItem {
 public:
  explicit MenuItem(const MenuItemArgs& args) : args_(args) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::u16string& name() const { return args_.name; }
  const std::u16string& caption() const { return args_.caption; }
  void set_caption(std::u16string_view caption);
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled);
  void click() const {
    if (args_.on_click) args_.on_click();
  }
  // The backend's menu follows each change of caption or state.
  std::function<void(const MenuItem&)> changed;

 private:
  MenuItemArgs args_;
  bool enabled_ = true;
};

class Menu {
 public:
  explicit Menu(const MenuArgs& args);
  MenuItem& item(std::size_t index) { return *items_.at(index); }
  const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
  // nullptr when the menu has no item of that name.
  MenuItem* find(std::u16string_view name) const;

  // What the open menu reports as chosen: the items' commands are 1, 2, ...
  // in order, and 0 is none.
  static std::uint32_t command_at(std::size_t index) { return static_cast<std::uint32_t>(index + 1); }
  // 0 when the item is none of this menu's.
  std::uint32_t command_of(const MenuItem& item) const;
  // nullptr when the command is none of this menu's.
  const MenuItem* item_of(std::uint32_t command) const;

 private:
  std::vector<std::unique_ptr<MenuItem>> items_;
};

struct FormArgs {
  std::u16string name;
  std::u16string caption;
  int client_width = 0;  // twips
  int client_height = 0;
  bool sizable = true;
  bool min_button = true;
  bool max_button = true;
  int icon_resource = 0;  // 0: no icon of its own
  // Each change of size or window state once the window exists, the first
  // showing included; never while create_form runs.
  Handler on_resize;
  // The window is being unloaded, unless the handler cancels.
  std::function<Unload()> on_unload;
  // The taskbar was created anew (the shell restarted) and has forgotten
  // every tray icon.
  Handler on_taskbar_created;
  // The window became the active one among the program's own windows: each
  // time it is shown, and each return to it from another of them. Raised
  // after the activation has settled, never inside it.
  Handler on_activate{};
  // The close box hides the window, as a close button of its own would;
  // unload() still unloads it.
  bool close_box_hides = false;
};

class Form {
 public:
  virtual ~Form() = default;

  virtual TextBox& add_text_box(const TextBoxArgs& args) = 0;
  virtual CommandButton& add_button(const ButtonArgs& args) = 0;
  virtual CheckBox& add_check_box(const CheckBoxArgs& args) = 0;
  virtual void add_label(const LabelArgs& args) = 0;
  virtual PictureBox& add_picture_box(const PictureBoxArgs& args) = 0;
  virtual Timer& add_timer(const TimerArgs& args) = 0;
  virtual Menu& add_menu(const MenuArgs& args) = 0;

  // Modeless, with no owner.
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool visible() const = 0;
  virtual WindowState window_state() const = 0;
  virtual void set_window_state(WindowState state) = 0;
  virtual std::u16string caption() const = 0;
  virtual platform::WindowHandle window_handle() const = 0;
  virtual std::uintptr_t icon_handle() const = 0;
  virtual void set_caption(std::u16string_view caption) = 0;
  // Unloads the window from code: the unload handler runs, then the window
  // goes. A form that is unloaded is not visible, and its drawing surface is 0.
  virtual void unload() = 0;

  // Drawing on the window. With auto-redraw the window keeps an image that
  // what is drawn on hdc() goes to and that it repaints itself from.
  virtual void set_auto_redraw(bool on) = 0;
  // The face stays the window's own; only the size changes.
  virtual void set_font_size(double points) = 0;
  virtual std::uintptr_t hdc() = 0;
  // The inner width in twips, the one unit forms measure in.
  virtual float scale_width() const = 0;
  // Shows what has been drawn, now.
  virtual void refresh() = 0;

  // Pops the menu up at the mouse position. Returns when the menu has closed;
  // a chosen item's handler has run to its end by then. Events keep arriving
  // while the menu is open.
  virtual void popup_menu(Menu& menu) = 0;
};

struct Version {
  int major = 0;
  int minor = 0;
};

// The running program as a whole.
class Application {
 public:
  virtual ~Application() = default;
  virtual std::u16string path() const = 0;      // folder of the executable
  virtual std::u16string exe_name() const = 0;  // its file name without extension
  virtual Version version() const = 0;
  virtual bool task_visible() const = 0;
  // False keeps the program's windows out of the task list.
  virtual void set_task_visible(bool visible) = 0;
  // An error entry in the system's application log, under the program's
  // name: for what went wrong where no one is there to see a box.
  virtual void log_error(std::u16string_view text) = 0;
};

class Runtime {
 public:
  virtual ~Runtime() = default;
  // The window is created hidden, in the normal state.
  virtual std::unique_ptr<Form> create_form(const FormArgs& args) = 0;
  virtual platform::MessageBoxes& message_boxes() = 0;
  virtual platform::SettingsStore& settings() = 0;
  virtual Application& app() = 0;
  virtual float twips_per_pixel_x() const = 0;
  // Handles the events waiting now, then returns.
  virtual void do_events() = 0;
  // Sleeps until an event is waiting or the time is up, and handles none.
  virtual void wait_for_events(std::uint32_t timeout_ms) = 0;
  // Runs the handler as an event of its own, once the events waiting now
  // have been handled, and before the next timer tick.
  virtual void post(Handler handler) = 0;
  // Ends the program at once: every window closes without its unload
  // handler.
  virtual void end() = 0;
};

}  // namespace talvorin::forms
