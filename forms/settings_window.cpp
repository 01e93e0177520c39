#include "forms/settings_window.h"

#include <utility>

#include "core/autorun.h"
#include "core/desktop_icons.h"
#include "core/product.h"
#include "core/settings.h"
#include "platform/autorun_registry.h"

namespace talvorin::forms {

namespace {

// Texts of the settings window and its tray menu.
constexpr char16_t kAutorunCaption[] = u"Запомнить текст и поместить в автозагрузку";
constexpr char16_t kDesignText[] = u"Жми!";
constexpr char16_t kLabelCaption[] = u"Текст для кнопки Пуск";
constexpr char16_t kMenuSettings[] = u"Настройки";
constexpr char16_t kMenuAbout[] = u"О программе";
constexpr char16_t kMenuExit[] = u"Выход";

constexpr unsigned kCaptionIntervalMs = 100;
constexpr Rgb kLabelGreen{0, 192, 0};
constexpr int kCyrillicCharset = 204;

// Clears the tray handler's busy flag however the action ends.
class TrayCallbackScope {
 public:
  explicit TrayCallbackScope(core::TrayCallbackState& state) : state_(state) {}
  TrayCallbackScope(const TrayCallbackScope&) = delete;
  TrayCallbackScope& operator=(const TrayCallbackScope&) = delete;
  ~TrayCallbackScope() { state_.leave(); }

 private:
  core::TrayCallbackState& state_;
};

}  // namespace

SettingsWindow::SettingsWindow(Runtime& runtime, const Ports& ports, const AboutWindow::Ports& about_ports)
    : runtime_(runtime),
      ports_(ports),
      about_ports_(about_ports),
      start_button_(ports.shell, ports.overlays, ports.code_page, runtime.message_boxes()),
      follower_(ports.watch, start_button_, [&runtime](std::function<void()> call) { runtime.post(std::move(call)); }) {
  Form_Initialize();
  create_controls();
  Form_Load();
}

void SettingsWindow::create_controls() {
  FormArgs form;
  form.name = u"SettingsWindow";
  form.caption = std::u16string(core::kProductName);
  form.client_width = 2880;
  form.client_height = 2304;
  form.sizable = true;
  form.min_button = true;
  form.max_button = false;
  form.icon_resource = kAppIconResource;
  form.on_resize = [this] { Form_Resize(); };
  form.on_unload = [this] { return Form_Unload(); };
  form.on_taskbar_created = [this] { Taskbar_Created(); };
  window_ = runtime_.create_form(form);

  // In the order the window holds them; tab order follows tab_index.
  chAutorun_ = &window_->add_check_box(
      {.name = u"chAutorun", .caption = kAutorunCaption, .rect = {120, 1440, 2652, 612}, .tab_index = 4});
  pichook_ = &window_->add_picture_box({.name = u"pichook",
                                        .rect = {0, 480, 372, 372},
                                        .tab_index = 2,
                                        .visible = false,
                                        .on_mouse_move = [this](const MouseEvent& e) { pichook_MouseMove(e); }});
  Timer1_ = &window_->add_timer(
      {.name = u"Timer1", .interval_ms = kCaptionIntervalMs, .enabled = false, .on_timer = [this] { Timer1_Timer(); }});
  Command1_ = &window_->add_button(
      {.name = u"Command1", .caption = u"Ok", .rect = {360, 840, 2175, 372}, .tab_index = 1, .on_click = [this] {
         Command1_Click();
       }});
  Text1_ =
      &window_->add_text_box({.name = u"Text1", .text = kDesignText, .rect = {360, 480, 2175, 285}, .tab_index = 0});
  window_->add_label({.name = u"lblStartText",
                      .caption = kLabelCaption,
                      .rect = {360, 120, 2172, 252},
                      .tab_index = 3,
                      .fore_color = kLabelGreen,
                      .font = FontSpec{.face = u"MS Sans Serif",
                                       .points = 7.8,
                                       .weight = 700,
                                       .italic = false,
                                       .underline = false,
                                       .charset = kCyrillicCharset}});

  MenuArgs popup{.name = u"mnuTrayIconPopup", .items = {}};
  popup.items = {
      {.name = u"mnuSettings", .caption = kMenuSettings, .on_click = [this] { mnuSettings_Click(); }},
      {.name = u"mnuHideDesktopIcons",
       .caption = std::u16string(core::kMenuHideDesktopIcons),
       .on_click = [this] { mnuHideDesktopIcons_Click(); }},
      {.name = u"mnuAbout", .caption = kMenuAbout, .on_click = [this] { mnuAbout_Click(); }},
      {.name = u"mnuExit", .caption = kMenuExit, .on_click = [this] { mnuExit_Click(); }},
  };
  mnuTrayIconPopup_ = &window_->add_menu(popup);
  mnuSettings_ = &mnuTrayIconPopup_->item(0);
  mnuHideDesktopIcons_ = &mnuTrayIconPopup_->item(1);
}

bool SettingsWindow::InitVisualStyles() { return ports_.common_controls.initialize(platform::kIccUserExClasses); }

void SettingsWindow::Form_Initialize() { InitVisualStyles(); }

void SettingsWindow::Form_Load() {
  platform::SettingsStore& settings = runtime_.settings();
  Text1_->set_text(settings.get(core::kProductName, core::kSettingsSection, core::kKeyStartButtonText));
  // Pressing the button writes the caption and starts the timer before the
  // next step; a missing Start button holds start-up in its message box,
  // where a close or the end of the session may unload the window.
  Command1_->press();
  if (unloaded_) return;
  const std::u16string startup =
      settings.get(core::kProductName, core::kSettingsSection, core::kKeyStartUp, core::kStartUpDefault);
  chAutorun_->set_value(core::startup_from_text(startup));
  settings_loaded_ = true;
  add_tray_icon(core::kProductName);
  if (unloaded_) return;
  window_->hide();
  runtime_.app().set_task_visible(false);
}

void SettingsWindow::Form_Resize() {
  const bool minimised = window_->window_state() == WindowState::Minimised;
  mnuSettings_->set_enabled(minimised);
  if (!minimised) return;
  // The shell refuses a second add while the icon is there; it matters only
  // when the taskbar has lost the icon meanwhile.
  add_tray_icon(window_->caption());
  window_->hide();
  runtime_.app().set_task_visible(false);
}

// A setting that cannot be written (a key the user may not change, a full
// registry) keeps what was stored before. The unload goes on, as it may be
// a log-off that no box should hold up; the application log keeps the news.
void SettingsWindow::save_setting(std::u16string_view key, std::u16string_view text) {
  if (runtime_.settings().save(core::kProductName, core::kSettingsSection, key, text)) return;
  std::u16string message = u"Не удалось сохранить настройку «";
  message += key;
  message += u"» в HKEY_CURRENT_USER\\";
  message += platform::settings_key_path(core::kProductName, core::kSettingsSection);
  message += u". Сохранённое ранее значение осталось прежним.";
  runtime_.app().log_error(message);
}

// The settings and the autostart value go first: at log-off Windows gives
// the program a few seconds, and the tray's call waits on an Explorer that
// is busy ending the session too. Until start-up has read both settings the
// window holds no choice of the user's, and nothing is stored over theirs.
Unload SettingsWindow::Form_Unload() {
  unloaded_ = true;
  if (settings_loaded_) {
    const core::CheckState state = chAutorun_->value();
    save_setting(core::kKeyStartUp, core::int16_to_text(static_cast<std::int16_t>(state)));
    save_setting(core::kKeyStartButtonText, core::caption_to_store(state, Text1_->text()));
    if (state == core::CheckState::Ticked) {
      platform::EnableAutorun(ports_.registry, executable_path(), core::kProductName);
    } else {
      platform::DisableAutorun(ports_.registry, executable_path(), core::kProductName);
    }
  }
  delete_tray_icon();
  // The program ends with this window: the About window, hidden or not,
  // goes with it rather than keep a program without a tray icon alive.
  if (frmAbout_) frmAbout_->window().unload();
  return Unload::Proceed;
}

void SettingsWindow::Command1_Click() {
  SetStartButtonText(platform::CaptionRequest::User, Text1_->text());
  Timer1_->set_enabled(true);
}

void SettingsWindow::Timer1_Timer() {
  SetStartButtonText(platform::CaptionRequest::Timer, Text1_->text());
  add_owed_tray_icon();
}

void SettingsWindow::SetStartButtonText(platform::CaptionRequest request, const std::u16string& sCaption) {
  follower_.write(request, sCaption);
}

void SettingsWindow::pichook_MouseMove(const MouseEvent& event) {
  const auto action = tray_callback_.enter(event.x, runtime_.twips_per_pixel_x());
  if (!action) return;
  const TrayCallbackScope scope(tray_callback_);
  switch (*action) {
    case core::TrayAction::ShowWindow:
      window_->show();
      break;
    case core::TrayAction::PopupMenu:
      window_->popup_menu(*mnuTrayIconPopup_);
      break;
    case core::TrayAction::None:
      break;
  }
}

void SettingsWindow::mnuSettings_Click() {
  window_->set_window_state(WindowState::Normal);
  window_->show();
}

// The caption changes first, whether or not the desktop is found: it is the
// only record of what the program has done to the icons.
void SettingsWindow::mnuHideDesktopIcons_Click() {
  const auto toggle = core::toggle_desktop_icons(mnuHideDesktopIcons_->caption());
  if (!toggle) return;
  mnuHideDesktopIcons_->set_caption(toggle->caption);
  switch (toggle->action) {
    case core::DesktopIconsAction::Hide:
      platform::HideDesktopIcons(ports_.shell);
      break;
    case core::DesktopIconsAction::Show:
      platform::ShowDesktopIcons(ports_.shell);
      break;
  }
}

void SettingsWindow::mnuAbout_Click() {
  if (!frmAbout_) frmAbout_ = std::make_unique<AboutWindow>(runtime_, about_ports_);
  const Version version = runtime_.app().version();
  frmAbout_->window().set_caption(core::about_title(version.major, version.minor));
  frmAbout_->window().show();
}

void SettingsWindow::mnuExit_Click() {
  delete_tray_icon();
  runtime_.end();
}

void SettingsWindow::Taskbar_Created() {
  tray_presence_.shell_restarted();
  add_tray_icon(core::kProductName);
}

bool SettingsWindow::notify_tray(core::TrayCommand command) {
  return ports_.tray.notify(command, platform::tray_record(tray_icon_, ports_.code_page, ports_.tray.layout()));
}

bool SettingsWindow::add_tray_icon(std::u16string_view tip) {
  tray_icon_.fill_for_add(pichook_->window_handle(), window_->icon_handle(), tip);
  const bool accepted = notify_tray(core::TrayCommand::Add);
  tray_presence_.add_answered(accepted, tip);
  return accepted;
}

// Costs the idle tick nothing once the shell has the icon.
void SettingsWindow::add_owed_tray_icon() {
  if (!tray_presence_.owed()) return;
  const std::u16string tip = *tray_presence_.owed();
  if (add_tray_icon(tip)) return;
  tray_presence_.modify_answered(notify_tray(core::TrayCommand::Modify));
}

void SettingsWindow::delete_tray_icon() {
  tray_icon_.fill_for_delete(pichook_->window_handle());
  notify_tray(core::TrayCommand::Delete);
  tray_presence_.deleted();
}

std::u16string SettingsWindow::executable_path() const {
  const Application& app = runtime_.app();
  return core::executable_path(app.path(), app.exe_name());
}

}  // namespace talvorin::forms
