// The procedures that touch the registry and the shell, on the simulated
// Windows.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/autorun.h"
#include "platform/shell_adjustments.h"
#include "platform/autorun_registry.h"
#include "platform/settings_store.h"
#include "platform/sim/code_page_1251.h"
#include "platform/sim/journal.h"
#include "platform/sim/registry.h"
#include "platform/sim/shell_windows.h"

namespace talvorin {
namespace {

using core::kParkingKey;
using core::kRunKey;
using core::RegistryRoot;
constexpr auto HKCU = RegistryRoot::CurrentUser;
constexpr auto HKLM = RegistryRoot::LocalMachine;
constexpr std::u16string_view kName = u"Talvorin";
constexpr std::u16string_view kPath = u"C:\\Tools\\talvorin.exe";

TEST(EnableAutorun, MovesTheValueFromTheUsersParkingKeyIntoRun) {
  struct Case {
    const char* what;
    bool parking_key;
    bool parked_value;
  };
  for (const Case c : {Case{"no parking key", false, false}, Case{"empty parking key", true, false},
                       Case{"parked value", true, true}}) {
    SCOPED_TRACE(c.what);
    sim::Registry registry;
    registry.add_key(HKCU, kRunKey);
    if (c.parking_key) registry.add_key(HKCU, kParkingKey);
    if (c.parked_value) registry.put(HKCU, kParkingKey, kName, u"D:\\old\\talvorin.exe");

    platform::EnableAutorun(registry, kPath, kName);

    EXPECT_EQ(registry.get(HKCU, kRunKey, kName), std::u16string(kPath));
    EXPECT_EQ(registry.get(HKCU, kParkingKey, kName), std::nullopt);
    EXPECT_EQ(registry.has_key(HKCU, kParkingKey), c.parking_key) << "no key is ever created";
    EXPECT_FALSE(registry.has_key(HKLM, kRunKey));
    EXPECT_EQ(registry.open_keys(), 0U);
  }
}

TEST(EnableAutorun, CreatesNoRunKeyAndOverwritesAnOldPath) {
  sim::Registry registry;
  platform::EnableAutorun(registry, kPath, kName);
  EXPECT_FALSE(registry.has_key(HKCU, kRunKey));
  EXPECT_TRUE(registry.changes().empty());

  registry.add_key(HKCU, kRunKey);
  platform::EnableAutorun(registry, u"C:\\Old\\talvorin.exe", kName);
  platform::EnableAutorun(registry, u"E:\\New\\talvorin.exe", kName);
  EXPECT_EQ(registry.get(HKCU, kRunKey, kName), u"E:\\New\\talvorin.exe");
}

TEST(EnableAutorun, StoresTheWholePathQuotedWhereItHasBlanks) {
  struct Case {
    std::u16string path;
    std::u16string stored;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Talvorin\\talvorin.exe", u"\"C:\\Program Files\\Talvorin\\talvorin.exe\""},
      {u"C:\\\\talvorin.exe", u"C:\\\\talvorin.exe"},
      {u"C:\\Программы\\\u4E2D\\talvorin.exe", u"C:\\Программы\\\u4E2D\\talvorin.exe"},
  };
  for (const Case& c : cases) {
    sim::Registry registry;
    registry.add_key(HKCU, kRunKey);
    platform::EnableAutorun(registry, c.path, kName);
    EXPECT_EQ(registry.get(HKCU, kRunKey, kName), c.stored);
  }
}

TEST(DisableAutorun, TakesTheUsersValueOutEvenWithoutMachineAccess) {
  struct Case {
    const char* what;
    bool user_parking_key;
  };
  for (const Case c : {Case{"user parking key", true}, Case{"no user parking key", false}}) {
    SCOPED_TRACE(c.what);
    sim::Registry registry;
    registry.add_key(HKCU, kRunKey);
    if (c.user_parking_key) registry.add_key(HKCU, kParkingKey);
    registry.add_key(HKLM, kRunKey);
    registry.add_key(HKLM, kParkingKey);
    registry.deny_writes(HKLM);
    platform::EnableAutorun(registry, kPath, kName);

    platform::DisableAutorun(registry, kPath, kName);

    EXPECT_EQ(registry.get(HKCU, kRunKey, kName), std::nullopt);
    EXPECT_EQ(registry.get(HKCU, kParkingKey, kName),
              c.user_parking_key ? std::optional<std::u16string>(kPath) : std::nullopt);
    EXPECT_EQ(registry.get(HKLM, kParkingKey, kName), std::nullopt);
    EXPECT_EQ(registry.open_keys(), 0U);
  }
}

TEST(DisableAutorun, MovesTheMachineValueWhereTheMachineKeysAreWritable) {
  sim::Registry registry;
  registry.put(HKLM, kRunKey, kName, u"C:\\Old\\talvorin.exe");
  registry.add_key(HKLM, kParkingKey);

  platform::DisableAutorun(registry, kPath, kName);

  EXPECT_EQ(registry.get(HKLM, kRunKey, kName), std::nullopt);
  EXPECT_EQ(registry.get(HKLM, kParkingKey, kName), std::u16string(kPath));
  EXPECT_FALSE(registry.has_key(HKCU, kParkingKey));
}

// Each key is closed before the next one is opened, the value is deleted
// before it is written, and the machine's keys come before the user's.
TEST(Autorun, StepsOneKeyAtATimeInOrder) {
  const std::u16string run = u"software\\microsoft\\windows\\currentversion\\run";
  const std::u16string parking = run + u"-";
  const std::u16string value = u"\\Talvorin";
  const std::u16string data = u"=" + std::u16string(kPath);
  auto move = [&](std::u16string root, const std::u16string& from, const std::u16string& to) {
    root += u"\\";
    return std::vector<std::u16string>{
        u"open " + root + from,  u"delete " + root + from + value,     u"close " + root + from,
        u"open " + root + to,    u"set " + root + to + value + data, u"close " + root + to,
    };
  };
  sim::Registry registry;
  for (const auto root : {HKCU, HKLM}) {
    registry.add_key(root, kRunKey);
    registry.put(root, kParkingKey, kName, kPath);
  }
  registry.put(HKLM, kRunKey, kName, kPath);
  sim::Journal journal;
  registry.attach(journal, /*with_opens=*/true);

  platform::EnableAutorun(registry, kPath, kName);
  EXPECT_EQ(journal.entries, move(u"HKCU", parking, run));

  journal.entries.clear();
  platform::DisableAutorun(registry, kPath, kName);
  std::vector<std::u16string> expected = move(u"HKLM", run, parking);
  const std::vector<std::u16string> user = move(u"HKCU", run, parking);
  expected.insert(expected.end(), user.begin(), user.end());
  EXPECT_EQ(journal.entries, expected);
}

TEST(SimulatedRegistry, RefusesAKeyOpenedWhileAnotherIsOpen) {
  sim::Registry registry;
  registry.add_key(HKCU, kRunKey);
  const platform::RegistryKey first(registry, registry.open_for_write(HKCU, kRunKey));
  EXPECT_THROW(registry.open_for_read(HKCU, kRunKey), std::logic_error);
  EXPECT_THROW(registry.open_for_write(HKCU, kParkingKey), std::logic_error) << "even one that cannot be opened";
}

TEST(SettingsStore, GivesBackExactlyWhatWasStored) {
  sim::Registry registry;
  platform::SettingsStore store(registry);
  const std::u16string texts[] = {
      u"", u"Жми!", u" padded ", std::u16string(100000, u'\u044F'), u"\u4E2D\U0001F600",
  };
  for (const std::u16string& text : texts) {
    store.save(u"Talvorin", u"Settings", u"StartButtonText", text);
    EXPECT_EQ(store.get(u"Talvorin", u"Settings", u"StartButtonText", u"default"), text);
  }
  EXPECT_EQ(registry.get(HKCU, u"Software\\VB and VBA Program Settings\\Talvorin\\Settings", u"StartButtonText"),
            texts[4]);
}

TEST(SettingsStore, AbsentOrNonTextValuesReadAsTheDefault) {
  sim::Registry registry;
  platform::SettingsStore store(registry);
  EXPECT_EQ(store.get(u"Talvorin", u"Settings", u"StartUp", u"0"), u"0");
  EXPECT_EQ(store.get(u"Talvorin", u"Settings", u"StartButtonText"), u"");
  registry.put(HKCU, platform::settings_key_path(u"Talvorin", u"Settings"), u"StartUp", u"\x01", sim::ValueType::Dword);
  EXPECT_EQ(store.get(u"Talvorin", u"Settings", u"StartUp", u"0"), u"0");
  EXPECT_EQ(registry.open_keys(), 0U);
}

class RecordingBoxes final : public platform::MessageBoxes {
 public:
  void show(std::u16string_view prompt, platform::MessageBoxStyle, std::u16string_view title) override {
    shown.emplace_back(std::u16string(title) + u": " + std::u16string(prompt));
  }
  std::vector<std::u16string> shown;
};

TEST(SetStartButtonText, WritesThroughTheCodePageAndGivesBackWhatItCarried) {
  sim::ShellWindows shell;
  const sim::CodePage1251 code_page;
  RecordingBoxes boxes;
  platform::SingleMessageBox error_box(boxes);
  const auto taskbar = shell.add_taskbar();
  const auto button = shell.find_child_window(taskbar, "BUTTON");

  std::u16string caption = u"Пуск \u2603";
  platform::SetStartButtonText(shell, code_page, error_box, caption);
  EXPECT_EQ(shell.text_of(button), "\xCF\xF3\xF1\xEA ?");
  EXPECT_EQ(caption, u"Пуск ?");
  EXPECT_TRUE(boxes.shown.empty());

  // A taskbar made anew is found on the next call.
  shell.remove(taskbar);
  const auto new_button = shell.find_child_window(shell.add_taskbar(), "button");
  caption = u"x";
  platform::SetStartButtonText(shell, code_page, error_box, caption);
  EXPECT_EQ(shell.text_of(new_button), "x");
}

TEST(SetStartButtonText, ReportsAMissingButtonUnlessATopLevelButtonTakesTheText) {
  sim::ShellWindows shell;
  const sim::CodePage1251 code_page;
  RecordingBoxes boxes;
  platform::SingleMessageBox error_box(boxes);
  std::u16string caption = u"x";

  shell.add_top_level("Shell_TrayWnd");  // a taskbar without its button
  platform::SetStartButtonText(shell, code_page, error_box, caption);
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0], u"Talvorin: Error: Cannot find window");

  sim::ShellWindows no_taskbar;
  const auto stray = no_taskbar.add_top_level("BUTTON");
  platform::SetStartButtonText(no_taskbar, code_page, error_box, caption);
  EXPECT_EQ(no_taskbar.text_of(stray), "x");
  EXPECT_EQ(boxes.shown.size(), 1U);
}

}  // namespace
}  // namespace talvorin
