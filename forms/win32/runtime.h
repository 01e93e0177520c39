#pragma once
// The forms runtime on Win32: window classes, the message loop, the
// application object, message boxes and the settings store.

#include <windows.h>

#include <memory>
#include <vector>

#include "forms/form_core.h"
#include "forms/toolkit.h"
#include "platform/settings_store.h"
#include "platform/win32/adapters.h"
#include "platform/win32/window.h"
#include "platform/win32/window_names.h"

namespace talvorin::forms::win32 {

using platform::win32::ErrorReport;
using platform::win32::Window;

class Form;
class Runtime;

using platform::win32::kAppWindowClass;
using platform::win32::kFormWindowClass;
using platform::win32::kLiveHandlesMessage;
using platform::win32::kPictureWindowClass;

class Application final : public forms::Application {
 public:
  explicit Application(Runtime& runtime) : runtime_(runtime) {}
  std::u16string path() const override;
  std::u16string exe_name() const override;
  Version version() const override;
  bool task_visible() const override { return task_visible_; }
  void set_task_visible(bool visible) override;
  void log_error(std::u16string_view text) override;

 private:
  Runtime& runtime_;
  bool task_visible_ = true;
};

// The hidden top-level window that owns every form. It is never owned
// itself, so broadcasts reach it even where they skip hidden owned windows.
// It also owns the popup menus: it has no controls, so while it is the
// foreground window no key the user types lands anywhere.

class AppWindow final : private Window {
 public:
  AppWindow(Runtime& runtime, HINSTANCE instance);
  using Window::hwnd;

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override;
  Runtime& runtime_;
  UINT live_handles_message_ = ::RegisterWindowMessageW(kLiveHandlesMessage);
};

class Runtime final : public forms::Runtime {
 public:
  // Its run-time errors go to `errors`, which outlives it: an error while
  // it is built reaches the same report.
  Runtime(HINSTANCE instance, platform::Registry& registry, ErrorReport& errors);
  ~Runtime() override;
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  std::unique_ptr<forms::Form> create_form(const FormArgs& args) override;
  platform::MessageBoxes& message_boxes() override { return message_boxes_; }
  platform::SettingsStore& settings() override { return settings_; }
  Application& app() override { return app_; }
  float twips_per_pixel_x() const override;
  void do_events() override;
  void wait_for_events(std::uint32_t timeout_ms) override;
  void post(Handler handler) override;
  [[noreturn]] void end() override;

  // Pumps messages until the last form is unloaded; the exit code.
  int run();

  HINSTANCE instance() const { return instance_; }
  ErrorReport& errors() { return errors_; }
  HWND app_window() const { return app_window_->hwnd(); }
  int dpi_x() const { return dpi_x_; }
  int dpi_y() const { return dpi_y_; }
  float twips_per_pixel_y() const;
  UINT taskbar_created_message() const { return taskbar_created_; }
  // The application window's message: runs what post() was given.
  void run_posted();

  // The forms whose windows exist.
  const std::vector<Form*>& forms() const { return forms_; }
  void form_loaded(Form& form);
  void form_unloaded(Form& form);
  // Which form is the program's active window, and when a form's
  // activate handler runs.
  ActiveForm& active_form() { return active_form_; }
  // Every live form, also one unloaded by the handler of another.
  template <typename F>
  void for_each_form(F&& action) {
    const std::vector<Form*> snapshot = forms_;
    for (Form* form : snapshot) {
      if (is_live(form)) action(*form);
    }
  }

 private:
  bool is_live(const Form* form) const;
  void dispatch(MSG& message);
  HWND dialog_root(HWND target) const;

  HINSTANCE instance_;
  ErrorReport& errors_;
  Application app_{*this};
  platform::win32::MessageBoxes message_boxes_;
  platform::SettingsStore settings_;
  int dpi_x_ = 96;
  int dpi_y_ = 96;
  UINT taskbar_created_ = 0;
  std::vector<Form*> forms_;
  std::vector<Handler> posted_;
  ActiveForm active_form_;
  std::unique_ptr<AppWindow> app_window_;
};

}  // namespace talvorin::forms::win32
