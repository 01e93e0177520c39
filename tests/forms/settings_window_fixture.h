#pragma once
// The settings window on the simulated Windows, started as the program
// starts it: what its tests share.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/autorun.h"
#include "forms/headless/headless.h"
#include "forms/settings_window.h"
#include "platform/settings_store.h"
#include "platform/sim/code_page_1251.h"
#include "platform/sim/common_controls.h"
#include "platform/sim/registry.h"
#include "platform/sim/shell_watch.h"
#include "platform/sim/shell_windows.h"
#include "platform/sim/tray.h"
#include "tests/forms/simulated_windows.h"

namespace talvorin {

using core::RegistryRoot;
using forms::WindowState;

inline constexpr std::u16string_view kZhmi = u"Жми";
inline constexpr std::u16string_view kPusk = u"Пуск!";
inline constexpr std::u16string_view kSettingsItem = u"mnuSettings";
inline constexpr std::int32_t kLeftUp = 0x202;
inline constexpr std::int32_t kRightUp = 0x205;
inline constexpr std::int32_t kMouseMove = 0x200;

class SettingsWindowTest : public ::testing::Test, protected SimulatedWindows {
 protected:
  SettingsWindowTest() {
    registry.add_key(RegistryRoot::CurrentUser, core::kRunKey);
    taskbar = shell.add_taskbar();
    start_button = shell.find_child_window(taskbar, "button");
  }

  void store(std::u16string_view key, std::u16string_view text) {
    registry.put(RegistryRoot::CurrentUser, settings_path(), key, text);
  }
  std::optional<std::u16string> stored(std::u16string_view key) const {
    return registry.get(RegistryRoot::CurrentUser, settings_path(), key);
  }
  static std::u16string settings_path() { return platform::settings_key_path(u"Talvorin", u"Settings"); }

  void start() { settings = std::make_unique<forms::SettingsWindow>(runtime, settings_ports, about_ports); }
  headless::Form& form() { return runtime.form(u"SettingsWindow"); }
  std::u16string text1() { return form().text_box(u"Text1").text(); }
  std::int16_t autorun_box() { return static_cast<std::int16_t>(form().check_box(u"chAutorun").value()); }
  std::u16string start_caption() const { return code_page.decode(shell.text_of(start_button)); }
  std::uint64_t pichook() { return form().picture_box(u"pichook").window_handle(); }
  const sim::Tray::Icon* our_icon() { return tray.icon(pichook(), 1); }
  std::optional<std::u16string> run_value() const {
    return registry.get(RegistryRoot::CurrentUser, core::kRunKey, u"Talvorin");
  }

  std::unique_ptr<forms::SettingsWindow> settings;
  platform::WindowHandle taskbar = 0;
  platform::WindowHandle start_button = 0;
};

}  // namespace talvorin
