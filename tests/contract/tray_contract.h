#pragma once
// The cases every Tray adapter passes: the Win32 one against Wine's own
// tray in a desktop with a taskbar, the simulated one on the host. The
// scenarios of a lost and a second icon rely on the shell refusing what
// it refuses here.

#include <cstdint>
#include <string>

#include "core/tray_record.h"
#include "platform/code_page.h"
#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

// What a case needs besides the port: windows to own the icons and a
// picture for them.
class TrayUnderTest {
 public:
  virtual ~TrayUnderTest() = default;
  virtual platform::Tray& tray() = 0;
  // Two windows of the test's own, 0 and 1.
  virtual std::uint64_t owner(int which) = 0;
  virtual std::uint64_t icon() = 0;
  virtual const platform::AnsiCodePage& code_page() = 0;
};

// Add, a second add, change and delete, each icon known by its window and
// its id; the shell says whether it took the call.
inline void tray_adds_changes_and_deletes(TrayUnderTest& under_test) {
  using testing::check_equal;
  using Command = core::TrayCommand;
  struct Step {
    Command command;
    int owner;
    std::uint32_t id;
    bool accepted;
    const char* what;
  };
  const Step steps[] = {
      {Command::Add, 0, 1, true, "an icon added"},
      {Command::Add, 0, 1, false, "a second add of the same icon refused"},
      {Command::Modify, 0, 1, true, "an icon shown changed"},
      {Command::Modify, 0, 2, false, "an icon not shown cannot be changed"},
      {Command::Delete, 0, 2, false, "nor deleted"},
      {Command::Add, 0, 2, true, "another id of the same window: another icon"},
      {Command::Add, 1, 1, true, "the same id of another window: another icon"},
      {Command::Delete, 0, 1, true, "deleted"},
      {Command::Delete, 0, 1, false, "a second delete finds nothing"},
      {Command::Modify, 0, 1, false, "a deleted icon cannot be changed"},
      {Command::Delete, 0, 2, true, "the other icons stay"},
      {Command::Delete, 1, 1, true, "the other window's too"},
      {Command::Add, 0, 1, true, "added again once deleted"},
      {Command::Delete, 0, 1, true, "and deleted again"},
  };
  platform::Tray& tray = under_test.tray();
  for (const Step& step : steps) {
    core::TrayIcon icon;
    icon.fill_for_add(under_test.owner(step.owner), under_test.icon(), u"Talvorin tests");
    icon.uID = step.id;
    check_equal(tray.notify(step.command, platform::tray_record(icon, under_test.code_page(), tray.layout())),
                step.accepted, step.what);
  }
}

}  // namespace talvorin::contract
