#pragma once
// The forms toolkit without windows, on the simulated platform. A test plays
// the user and the system: it raises clicks, ticks, tray callbacks and
// closes, queues events that arrive while a message box or a popup menu is
// open, and looks at what the handlers did.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/project_version.h"
#include "core/settings.h"
#include "forms/form_core.h"
#include "forms/toolkit.h"
#include "platform/popup_menu.h"

namespace talvorin::headless {

using forms::Handler;
using forms::WindowState;

class Runtime;
class Form;

class TextBox final : public forms::TextBox {
 public:
  explicit TextBox(std::u16string_view text) : text_(text) {}
  std::u16string text() const override { return text_; }
  void set_text(std::u16string_view text) override { text_ = text; }

 private:
  std::u16string text_;
};

class CheckBox final : public forms::CheckBox {
 public:
  explicit CheckBox(core::CheckState value) : value_(value) {}
  core::CheckState value() const override { return value_; }
  void set_value(core::CheckState value) override { value_ = value; }

 private:
  core::CheckState value_;
};

class Form final : public forms::Form, private forms::FormWindow {
 public:
  Form(Runtime& runtime, const forms::FormArgs& args);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  ~Form() override;

  forms::TextBox& add_text_box(const forms::TextBoxArgs& args) override;
  forms::CommandButton& add_button(const forms::ButtonArgs& args) override;
  forms::CheckBox& add_check_box(const forms::CheckBoxArgs& args) override;
  void add_label(const forms::LabelArgs& args) override { labels_.insert_or_assign(args.name, args); }
  forms::PictureBox& add_picture_box(const forms::PictureBoxArgs& args) override;
  forms::Timer& add_timer(const forms::TimerArgs& args) override;
  forms::Menu& add_menu(const forms::MenuArgs& args) override;

  void show() override;
  void hide() override;
  bool visible() const override { return core_.visible(); }
  WindowState window_state() const override { return state_; }
  void set_window_state(WindowState state) override;
  std::u16string caption() const override { return args_.caption; }
  platform::WindowHandle window_handle() const override { return handle_; }
  std::uintptr_t icon_handle() const override { return icon_; }
  void popup_menu(forms::Menu& menu) override;
  void set_caption(std::u16string_view caption) override { args_.caption = caption; }
  void unload() override;
  void set_auto_redraw(bool on) override { auto_redraw_ = on; }
  void set_font_size(double points) override { font_size_ = points; }
  std::uintptr_t hdc() override { return core_.unloaded() ? 0 : dc_; }
  // The client area in whole pixels, in twips.
  float scale_width() const override;
  void refresh() override { ++refreshes_; }

  // What the user and the system do. Nothing reaches a form that is
  // unloaded or a program that has ended.
  TextBox& text_box(std::u16string_view name);
  CheckBox& check_box(std::u16string_view name);
  forms::PictureBox& picture_box(std::u16string_view name);
  forms::Timer& timer(std::u16string_view name);
  forms::MenuItem& menu_item(std::u16string_view name);
  void click_label(std::u16string_view name);
  // The user brings the window to the front, as with a click on it.
  void activate();
  void click(std::u16string_view button_name);
  void click_check_box(std::u16string_view name);
  // A tray callback, with lParam as the shell posts it: the mouse message
  // in its low word.
  void tray_callback(std::uint32_t lparam);
  // Chooses an item of the open popup menu; ignored when no menu is open or
  // the item is disabled.
  void choose(std::u16string_view item_name);
  void user_set_state(WindowState state);
  void taskbar_created();
  // Log-off or shutdown: the system tells the window that the session ends.
  void end_session();
  // The close box: unloads unless the handler cancels, or hides a window
  // whose close box hides it. True when unloaded.
  bool close();

  bool alive() const;
  bool unloaded() const { return core_.unloaded(); }
  std::size_t popups() const { return popups_; }
  bool auto_redraw() const { return auto_redraw_; }
  double font_size() const { return font_size_; }
  std::size_t refreshes() const { return refreshes_; }
  bool menu_open() const { return open_menu_ != nullptr; }

 private:
  Runtime& runtime_;
  forms::FormArgs args_;
  platform::WindowHandle handle_;
  std::uintptr_t icon_;
  forms::FormCore core_;
  // Events posted for the form find it gone once it is destroyed.
  std::shared_ptr<Form*> self_ = std::make_shared<Form*>(this);
  WindowState state_ = WindowState::Normal;
  std::uintptr_t dc_;
  bool auto_redraw_ = false;
  double font_size_ = 0;
  std::size_t refreshes_ = 0;

  // The system activates another window, which is none of the program's.
  void leave_foreground();

  void show_window(bool restore) override;
  void hide_window() override { leave_foreground(); }
  void destroy_window() override { leave_foreground(); }
  void post_activate_event() override;

  std::map<std::u16string, std::unique_ptr<TextBox>> text_boxes_;
  std::map<std::u16string, std::unique_ptr<forms::CommandButton>> buttons_;
  std::map<std::u16string, std::unique_ptr<CheckBox>> check_boxes_;
  std::map<std::u16string, forms::LabelArgs> labels_;
  std::map<std::u16string, std::unique_ptr<forms::PictureBox>> pictures_;
  std::map<std::u16string, forms::Timer*> timers_;  // the core holds them
  std::vector<std::unique_ptr<forms::Menu>> menus_;

  friend class Runtime;
  friend class MenuCalls;

  forms::Menu* open_menu_ = nullptr;
  forms::MenuItem* chosen_ = nullptr;
  std::size_t popups_ = 0;
};

class Application final : public forms::Application {
 public:
  std::u16string path() const override { return path_; }
  std::u16string exe_name() const override { return exe_name_; }
  forms::Version version() const override { return version_; }
  bool task_visible() const override { return task_visible_; }
  void set_task_visible(bool visible) override { task_visible_ = visible; }
  void log_error(std::u16string_view text) override { logged_errors_.emplace_back(text); }

  std::vector<std::u16string> logged_errors_;
  std::u16string path_ = u"C:\\Tools";
  std::u16string exe_name_ = u"talvorin";
  forms::Version version_{core::kProjectVersionMajor, core::kProjectVersionMinor};
  bool task_visible_ = true;
};

struct MessageBoxRecord {
  std::u16string prompt;
  platform::MessageBoxStyle style;
  std::u16string title;
};

class Runtime final : public forms::Runtime, private platform::MessageBoxes, private platform::Clock {
 public:
  explicit Runtime(platform::Registry& registry) : settings_(registry) {}

  std::unique_ptr<forms::Form> create_form(const forms::FormArgs& args) override;
  platform::MessageBoxes& message_boxes() override { return *this; }
  platform::SettingsStore& settings() override { return settings_; }
  Application& app() override { return app_; }
  float twips_per_pixel_x() const override { return twips_per_pixel_x_; }
  void do_events() override {
    ++pumps_;
    drain();
  }
  // Returns at once when an event waits; otherwise moves the clock on to the
  // next scheduled event or to the end of the timeout, timers firing.
  void wait_for_events(std::uint32_t timeout_ms) override;
  void end() override { ended_ = true; }

  // Events that arrive while a handler waits (message box, popup menu,
  // event pump), or at the next drain.
  void post(Handler event) override { queue_.push_back(std::move(event)); }
  // An event that arrives when the clock reaches the given time.
  void post_at(std::uint64_t ms, Handler event) { scheduled_.emplace(ms, std::move(event)); }
  // Runs queued events until none is left or stop() says so.
  void drain(const std::function<bool()>& stop = {});
  // Moves the clock on, firing each enabled timer as often as it falls due.
  void advance(std::uint64_t ms);

  Form& form(std::u16string_view name);
  bool ended() const { return ended_; }
  std::uint64_t now() const { return now_; }
  // The system's millisecond clock: the runtime's time from an origin the
  // test may set close to the wrap.
  platform::Clock& clock() { return *this; }
  void set_clock_origin(std::uint32_t origin) { clock_origin_ = origin; }
  std::size_t pumps() const { return pumps_; }
  std::size_t waits() const { return waits_; }
  // Which form is the program's active window, as the forms see it.
  forms::ActiveForm& active_form() { return active_form_; }
  // The foreground window: a form, the hidden application window that owns
  // the popup menus, or another program's window, which is in front when the
  // program starts.
  platform::WindowHandle foreground() const { return foreground_; }
  platform::WindowHandle other_program_window() const { return other_program_window_; }
  // The form whose control holds the keyboard focus, or none.
  const Form* focus_form() const { return focus_form_; }
  platform::WindowHandle app_window() const { return app_window_; }
  // The window takes the foreground, and the keyboard with it; a form's
  // control gets the focus only while the form is shown.
  void take_foreground(platform::WindowHandle window, const Form* form);
  // The user goes to another program's window.
  void switch_to_another_program() { take_foreground(other_program_window_, nullptr); }
  // The form whose window it is, or nullptr.
  Form* form_of(platform::WindowHandle window) const;
  platform::WindowHandle new_handle() { return next_handle_++; }
  // Handles from here on, as a 64-bit process may see them above 4 GiB.
  void start_handles_at(platform::WindowHandle first) { next_handle_ = first; }
  // The timer counts down from now, or no longer.
  void count_down(const forms::Timer& timer);
  void forget(Form& form);

  const std::vector<MessageBoxRecord>& boxes() const { return boxes_; }
  int open_boxes() const { return open_boxes_; }
  // The user presses OK in the box on top: it goes once the event that
  // closed it is done, and the events queued after that run outside it. A
  // box nobody closes goes once the queue is empty.
  void close_box() { closing_ = open_boxes_ > 0; }
  int most_open_boxes() const { return most_open_boxes_; }
  // The user moves the pointer there.
  void put_pointer(platform::ScreenPoint at) { pointer_ = at; }
  platform::ScreenPoint pointer() const { return pointer_; }

 private:
  void show(std::u16string_view prompt, platform::MessageBoxStyle style, std::u16string_view title) override;
  std::uint32_t milliseconds() override { return static_cast<std::uint32_t>(clock_origin_ + now_); }
  void release_due_events();

  platform::SettingsStore settings_;
  Application app_;
  std::map<std::u16string, Form*> forms_;
  // When each running timer falls due next, in the order they started.
  std::vector<std::pair<const forms::Timer*, std::uint64_t>> due_;
  std::deque<Handler> queue_;
  std::multimap<std::uint64_t, Handler> scheduled_;
  std::uint32_t clock_origin_ = 0;
  std::size_t pumps_ = 0;
  std::size_t waits_ = 0;
  forms::ActiveForm active_form_;
  const Form* focus_form_ = nullptr;
  std::vector<MessageBoxRecord> boxes_;
  int open_boxes_ = 0;
  int most_open_boxes_ = 0;
  bool closing_ = false;
  float twips_per_pixel_x_ = 15.0F;
  platform::ScreenPoint pointer_{};
  std::uint64_t now_ = 0;
  platform::WindowHandle next_handle_ = 0x1000;
  platform::WindowHandle app_window_ = new_handle();
  platform::WindowHandle other_program_window_ = new_handle();
  platform::WindowHandle foreground_ = other_program_window_;
  bool ended_ = false;
};

// The simulated system around a form's popup menu: the menu is open while
// the queued events run, until one of them chooses an item.
class MenuCalls final : public platform::PopupMenuCalls {
 public:
  MenuCalls(Form& form, forms::Menu& menu) : form_(form), menu_(menu) {}
  platform::ScreenPoint cursor_position() override { return form_.runtime_.pointer(); }
  platform::WindowHandle foreground_window() override { return form_.runtime_.foreground(); }
  void set_foreground_window(platform::WindowHandle window) override;
  bool window_shown(platform::WindowHandle window) override;
  std::uint32_t track_popup_menu(platform::MenuHandle menu, std::uint32_t flags, platform::ScreenPoint at,
                                 platform::WindowHandle owner) override;
  void post_null(platform::WindowHandle) override {}

 private:
  Form& form_;
  forms::Menu& menu_;
};

}  // namespace talvorin::headless
