#pragma once
// The settings window: the program's start-up window, which lives until the
// program ends. It owns the tray icon, the caption timer and the tray menu.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/tray_callback.h"
#include "core/tray_record.h"
#include "forms/about_window.h"
#include "forms/toolkit.h"
#include "platform/ports.h"
#include "platform/shell_adjustments.h"

namespace talvorin::forms {

inline constexpr int kAppIconResource = 1;

class SettingsWindow {
 public:
  // What the window asks of Windows: the caption on the shell's Start
  // buttons and the desktop's icons, its tray icon, the autostart value,
  // the common controls, the code page for the shell's narrow calls, and
  // the shell's window events between the caption's ticks.
  struct Ports {
    platform::ShellWindows& shell;
    platform::StartOverlays& overlays;
    platform::Tray& tray;
    platform::Registry& registry;
    platform::CommonControls& common_controls;
    const platform::AnsiCodePage& code_page;
    platform::ShellWatch& watch;
  };

  // Starts the window in one step: first the object (Form_Initialize),
  // then the window with its controls (Form_Load). The About window it
  // opens gets the ports of its own.
  SettingsWindow(Runtime& runtime, const Ports& ports, const AboutWindow::Ports& about_ports);
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  Form& window() { return *window_; }

 private:
  bool InitVisualStyles();
  void Form_Initialize();
  void Form_Load();
  void Form_Resize();
  Unload Form_Unload();
  void Command1_Click();
  void Timer1_Timer();
  void pichook_MouseMove(const MouseEvent& event);
  void mnuSettings_Click();
  void mnuHideDesktopIcons_Click();
  void mnuAbout_Click();
  void mnuExit_Click();
  void Taskbar_Created();

  void create_controls();
  // The shell's answer: true when it took the call.
  bool notify_tray(core::TrayCommand command);
  bool add_tray_icon(std::u16string_view tip);
  // The tick asks again for an add the shell refused.
  void add_owed_tray_icon();
  void delete_tray_icon();
  void save_setting(std::u16string_view key, std::u16string_view text);
  // "Ok" and the timer: the text box's text onto the Start button.
  void SetStartButtonText(platform::CaptionRequest request, const std::u16string& sCaption);
  std::u16string executable_path() const;

  Runtime& runtime_;
  Ports ports_;
  AboutWindow::Ports about_ports_;
  platform::StartButtonCaption start_button_;
  platform::CaptionFollower follower_;
  core::TrayIcon tray_icon_;
  core::TrayPresence tray_presence_;
  // Start-up has read both settings into the window: from here on an unload
  // stores what the window holds.
  bool settings_loaded_ = false;
  bool unloaded_ = false;
  core::TrayCallbackState tray_callback_;

  std::unique_ptr<Form> window_;
  TextBox* Text1_ = nullptr;
  CommandButton* Command1_ = nullptr;
  CheckBox* chAutorun_ = nullptr;
  PictureBox* pichook_ = nullptr;
  Timer* Timer1_ = nullptr;
  Menu* mnuTrayIconPopup_ = nullptr;
  MenuItem* mnuSettings_ = nullptr;
  MenuItem* mnuHideDesktopIcons_ = nullptr;
  std::unique_ptr<AboutWindow> frmAbout_;
};

}  // namespace talvorin::forms
