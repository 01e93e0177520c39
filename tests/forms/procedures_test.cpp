// The procedures that touch the registry and the shell, on the simulated
// Windows.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/autorun.h"
#include "platform/autorun_registry.h"
#include "platform/popup_menu.h"
#include "platform/settings_store.h"
#include "platform/shell_adjustments.h"
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

// Where each value ends up, from the keys a profile may or may not have.
// The user's missing key is made; the machine's never is; a value that
// could not be written where it goes stays where it was.
TEST(Autorun, MovesTheValueAndLosesItNowhere) {
  using Value = std::optional<std::u16string>;
  constexpr std::u16string_view kOld = u"D:\\old\\talvorin.exe";
  struct Keys {
    bool run = false;
    bool parking = false;
    Value in_run{};
    Value parked{};
  };
  struct Case {
    const char* what;
    bool enable;
    Keys user, machine;
    bool user_writable, machine_writable;
    Keys user_after, machine_after;
  };
  const Value path{kPath};
  const Value old{kOld};
  const Case cases[] = {
      {"on: no parking key", true, {true, false}, {}, true, false, {true, false, path}, {}},
      {"on: parked value", true, {true, true, {}, old}, {}, true, false, {true, true, path}, {}},
      {"on: an old path in Run", true, {true, false, old}, {}, true, false, {true, false, path}, {}},
      {"on: no Run key", true, {false, true, {}, old}, {}, true, false, {true, true, path}, {}},
      {"on: no Run key, none may be made", true, {false, true, {}, old}, {}, false, false, {false, true, {}, old}, {}},
      {"off: no parking key",
       false,
       {true, false, path},
       {true, true},
       true,
       false,
       {true, true, {}, path},
       {true, true}},
      {"off: the machine's value, its parking key there",
       false,
       {true, true},
       {true, true, old},
       true,
       true,
       {true, true, {}, path},
       {true, true, {}, path}},
      {"off: the machine's value, no parking key",
       false,
       {true, true},
       {true, false, old},
       true,
       true,
       {true, true, {}, path},
       {true, false, old}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::Registry registry;
    const auto seed = [&](RegistryRoot root, const Keys& keys) {
      if (keys.run) registry.add_key(root, kRunKey);
      if (keys.parking) registry.add_key(root, kParkingKey);
      if (keys.in_run) registry.put(root, kRunKey, kName, *keys.in_run);
      if (keys.parked) registry.put(root, kParkingKey, kName, *keys.parked);
    };
    seed(HKCU, c.user);
    seed(HKLM, c.machine);
    if (!c.user_writable) registry.deny_writes(HKCU);
    if (!c.machine_writable) registry.deny_writes(HKLM);

    if (c.enable) {
      platform::EnableAutorun(registry, kPath, kName);
    } else {
      platform::DisableAutorun(registry, kPath, kName);
    }

    for (const auto& [root, keys] : {std::pair{HKCU, c.user_after}, std::pair{HKLM, c.machine_after}}) {
      SCOPED_TRACE(root == HKCU ? "HKCU" : "HKLM");
      EXPECT_EQ(registry.has_key(root, kRunKey), keys.run);
      EXPECT_EQ(registry.has_key(root, kParkingKey), keys.parking);
      EXPECT_EQ(registry.get(root, kRunKey, kName), keys.in_run);
      EXPECT_EQ(registry.get(root, kParkingKey, kName), keys.parked);
    }
    EXPECT_EQ(registry.open_keys(), 0U);
  }
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

// Each key is closed before the next one is opened, the value is written
// before it is deleted, and the machine's keys come before the user's.
TEST(Autorun, StepsOneKeyAtATimeInOrder) {
  const std::u16string run = u"software\\microsoft\\windows\\currentversion\\run";
  const std::u16string parking = run + u"-";
  const std::u16string value = u"\\Talvorin";
  const std::u16string data = u"=" + std::u16string(kPath);
  auto move = [&](std::u16string root, const std::u16string& from, const std::u16string& to) {
    root += u"\\";
    return std::vector<std::u16string>{
        u"open " + root + to,   u"set " + root + to + value + data, u"close " + root + to,
        u"open " + root + from, u"delete " + root + from + value,   u"close " + root + from,
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

// The Start button's caption written from the timer or from "Ok".
class StartButtonCaption : public ::testing::Test {
 protected:
  // The number of boxes shown so far.
  std::size_t write(platform::CaptionRequest request) {
    start_button.write(request, caption);
    return boxes.shown.size();
  }

  sim::ShellWindows shell;
  sim::StartOverlays overlays{shell};
  const sim::CodePage1251 code_page{};
  RecordingBoxes boxes;
  platform::StartButtonCaption start_button{shell, overlays, code_page, boxes};
  std::u16string caption = u"x";
};

using enum platform::CaptionRequest;

TEST_F(StartButtonCaption, WritesThroughTheCodePageIntoTheButtonFoundAfresh) {
  const auto taskbar = shell.add_taskbar();
  const auto button = shell.find_child_window(taskbar, "BUTTON");

  caption = u"Пуск \u2603";
  EXPECT_EQ(write(Timer), 0U);
  EXPECT_EQ(shell.text_of(button), "\xCF\xF3\xF1\xEA ?");

  // A taskbar made anew is found on the next call.
  shell.remove(taskbar);
  const auto new_button = shell.find_child_window(shell.add_taskbar(), "button");
  caption = u"x";
  write(Timer);
  EXPECT_EQ(shell.text_of(new_button), "x");
}

TEST_F(StartButtonCaption, ReportsAMissingButtonAndLeavesOtherProgramsButtonsAlone) {
  shell.add_top_level("Shell_TrayWnd");  // a taskbar without its button
  ASSERT_EQ(write(Timer), 1U);
  EXPECT_EQ(boxes.shown[0], u"Talvorin: Error: Cannot find window");

  sim::ShellWindows no_taskbar;
  sim::StartOverlays no_overlays{no_taskbar};
  const auto stray = no_taskbar.add_top_level("BUTTON");
  no_taskbar.set_window_text(stray, "theirs");
  platform::StartButtonCaption{no_taskbar, no_overlays, code_page, boxes}.write(User, caption);
  EXPECT_EQ(boxes.shown.size(), 2U) << "no taskbar: the button is missing";
  EXPECT_EQ(no_taskbar.text_of(stray), "theirs");
}

TEST_F(StartButtonCaption, OneBoxPerLossOfTheButtonAndOneForEveryOk) {
  EXPECT_EQ(write(Timer), 1U) << "the first tick without a button reports it";
  EXPECT_EQ(write(Timer), 1U) << "the user closed it: the ticks stay silent";
  EXPECT_EQ(write(Timer), 1U);
  EXPECT_EQ(write(User), 2U) << "\"Ok\" asks for the caption: reported again";
  EXPECT_EQ(write(User), 3U);
  EXPECT_EQ(write(Timer), 3U);

  const auto taskbar = shell.add_taskbar();
  EXPECT_EQ(write(Timer), 3U);
  shell.remove(taskbar);
  EXPECT_EQ(write(Timer), 4U) << "found and lost again: a new loss, a new box";
  EXPECT_EQ(write(Timer), 4U);
}

// The shapes of taskbar the search knows, each as the shell makes it, with
// the calls an idle tick makes through the port: the caption's own three
// (the taskbar, its Button child, WM_SETTEXT) and what its shape needs.
// The caption window's one look at the z-order is its own adapter's.
struct ShellShape {
  const char* name;
  std::function<void(sim::ShellWindows&)> make;
  std::size_t overlays;
  std::size_t calls_per_tick;
};

const core::PixelRect kShapeBar{0, 728, 1024, 768};
const core::PixelRect kShapeStart{0, 728, 48, 768};

platform::WindowHandle shape_taskbar(sim::ShellWindows& shell, std::string_view class_name, core::PixelRect at) {
  const auto bar = shell.add_top_level(std::string(class_name));
  shell.set_facts(bar, {.visible = true, .rect = at, .topmost = true});
  return bar;
}

void shape_child(sim::ShellWindows& shell, platform::WindowHandle bar, std::string_view class_name,
                 const platform::WindowFacts& facts) {
  shell.set_facts(shell.add_child(bar, std::string(class_name)), facts);
}

const ShellShape kShellShapes[] = {
    {"classic: a Button child that paints its text",
     [](sim::ShellWindows& s) {
       shape_child(s, shape_taskbar(s, "Shell_TrayWnd", kShapeBar), "Button", {.visible = true, .rect = kShapeStart});
     },
     0, 3 + 1},
    {"Wine: an owner-drawn Button child",
     [](sim::ShellWindows& s) {
       shape_child(s, shape_taskbar(s, "Shell_TrayWnd", kShapeBar), "Button",
                   {.visible = true, .rect = kShapeStart, .owner_drawn_button = true});
     },
     1, 3 + 2},
    {"8 to 11: a Start child, a second taskbar with its own",
     [](sim::ShellWindows& s) {
       shape_child(s, shape_taskbar(s, "Shell_TrayWnd", kShapeBar), "Start", {.visible = true, .rect = kShapeStart});
       // The shell's own top-level button on the same thread is not the orb.
       s.set_facts(s.add_top_level("Button"), {.visible = true, .rect = {0, 600, 48, 640}});
       const core::PixelRect second{1024, 728, 2048, 768};
       shape_child(s, shape_taskbar(s, "Shell_SecondaryTrayWnd", second), "Start",
                   {.visible = true, .rect = {1024, 728, 1072, 768}});
     },
     2, 3 + 3 + 5},
    {"Vista and 7: the orb, behind another program's top-level button",
     [](sim::ShellWindows& s) {
       shape_taskbar(s, "Shell_TrayWnd", kShapeBar);
       const auto orb = s.add_top_level("Button");
       s.set_facts(orb, {.visible = true, .rect = {0, 720, 54, 768}, .topmost = true});
       const auto theirs = s.add_top_level("Button");
       s.set_thread(theirs, 7);
       s.set_facts(theirs, {.visible = true, .rect = {0, 0, 10, 10}, .topmost = true});  // in front of the orb
     },
     1, 3 + 1 + 1 + 1 + 4 + 1},
};

TEST(StartButtonShapes, EachShapeGetsItsCaptionWindowsAndAnIdleTickCostsOnlyItsSearches) {
  for (const ShellShape& shape : kShellShapes) {
    SCOPED_TRACE(shape.name);
    sim::ShellWindows shell;
    shell.set_monitors({{0, 0, 1024, 768}, {1024, 0, 2048, 768}});
    shape.make(shell);
    sim::StartOverlays overlays{shell};
    const sim::CodePage1251 code_page;
    RecordingBoxes boxes;
    platform::StartButtonCaption start_button{shell, overlays, code_page, boxes};
    const auto tick = [&] {
      const std::size_t before = shell.calls();
      start_button.write(Timer, u"Пуск");
      return shell.calls() - before;
    };
    const std::size_t first = tick();
    EXPECT_EQ(overlays.shown().size(), shape.overlays);
    EXPECT_TRUE(boxes.shown.empty());
    // The first tick reads each button's monitor; the next ones, with
    // nothing moved, read none.
    EXPECT_EQ(first, shape.calls_per_tick + shape.overlays);
    EXPECT_EQ(tick(), shape.calls_per_tick);
    EXPECT_EQ(tick(), shape.calls_per_tick);
    // Once the display changes, each monitor is read once more.
    overlays.change_display();
    EXPECT_EQ(tick(), shape.calls_per_tick + shape.overlays);
    EXPECT_EQ(tick(), shape.calls_per_tick);
  }
}

TEST(StartButtonShapes, TheCaptionWindowFollowsAMovedButtonAndHidesWhenItSlidesOffTheScreen) {
  sim::ShellWindows shell;
  kShellShapes[2].make(shell);  // 8 to 11
  const auto bar = shell.find_window("Shell_TrayWnd");
  const auto start = shell.find_child_window(bar, "Start");
  sim::StartOverlays overlays{shell};
  const sim::CodePage1251 code_page;
  RecordingBoxes boxes;
  platform::StartButtonCaption start_button{shell, overlays, code_page, boxes};
  const auto tick = [&] {
    start_button.write(Timer, u"Пуск");
    return overlays.shown().empty() ? core::PixelRect{} : overlays.shown().front().rect;
  };
  // The taskbar auto-hides, leaving 2 px, and comes back half off the
  // screen; a touch taskbar shows its lower half, then its lowest 4 px.
  struct Step {
    core::PixelRect bar;
    core::PixelRect start;
    core::PixelRect shown;
    std::optional<core::PixelRect> region{};
  } steps[] = {
      {{0, 766, 1024, 806}, {0, 766, 48, 806}, {}},
      {{-24, 728, 1000, 768}, {-24, 728, 24, 768}, {0, 728, 24, 768}},
      {kShapeBar, kShapeStart, kShapeStart},
      {kShapeBar, kShapeStart, {0, 748, 48, 768}, core::PixelRect{0, 20, 1024, 40}},
      {kShapeBar, kShapeStart, {}, core::PixelRect{0, 36, 1024, 40}},
  };
  for (const Step& step : steps) {
    shell.set_facts(bar, {.visible = true, .rect = step.bar, .topmost = true, .region = step.region});
    shell.set_facts(start, {.visible = true, .rect = step.start});
    EXPECT_EQ(tick(), step.shown);
  }
  EXPECT_TRUE(boxes.shown.empty()) << "a button out of sight is still there";
}

// A handler run while the box is open: ticks and "Ok" alike open no second box.
class NestedBoxes final : public platform::MessageBoxes {
 public:
  void show(std::u16string_view, platform::MessageBoxStyle, std::u16string_view) override {
    ++shown;
    if (while_open) std::exchange(while_open, nullptr)();
  }
  int shown = 0;
  std::function<void()> while_open;
};

TEST(MissingButtonReport, NeverTwoBoxesAtOnceAndALossSeenMeanwhileIsReportedAfter) {
  sim::ShellWindows shell;
  const sim::CodePage1251 code_page;
  NestedBoxes boxes;
  sim::StartOverlays overlays{shell};
  platform::StartButtonCaption start_button{shell, overlays, code_page, boxes};
  const auto call = [&](platform::CaptionRequest request) { start_button.write(request, u"x"); };

  // While the first box is open the button comes back and goes again.
  boxes.while_open = [&] {
    EXPECT_TRUE(start_button.report_open());
    call(User);
    const auto taskbar = shell.add_taskbar();
    call(Timer);
    shell.remove(taskbar);
    call(Timer);
    EXPECT_EQ(boxes.shown, 1);
  };
  call(Timer);
  EXPECT_FALSE(start_button.report_open());
  EXPECT_EQ(boxes.shown, 1);
  call(Timer);
  EXPECT_EQ(boxes.shown, 2) << "the second loss had no box of its own yet";
}

TEST(DesktopIcons, ProgmanChainFirstThenTheWorkerWWindows) {
  struct Case {
    const char* what;
    std::function<platform::WindowHandle(sim::ShellWindows&)> make;  // returns the list view that should act
  };
  const Case cases[] = {
      {"Progman holds the view", [](sim::ShellWindows& s) { return s.add_desktop("Progman"); }},
      {"moved under the second WorkerW",
       [](sim::ShellWindows& s) {
         s.add_top_level("Progman");
         const auto list = s.add_desktop("WorkerW");
         s.add_top_level("WorkerW");  // on top, without the view
         return list;
       }},
      {"both: Progman wins",
       [](sim::ShellWindows& s) {
         s.add_desktop("WorkerW");
         return s.add_desktop("progman");
       }},
      {"no Progman at all", [](sim::ShellWindows& s) { return s.add_desktop("WorkerW"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::ShellWindows shell;
    const auto list = c.make(shell);
    platform::HideDesktopIcons(shell);
    EXPECT_FALSE(shell.visible(list));
    platform::HideDesktopIcons(shell);
    EXPECT_FALSE(shell.visible(list));
    platform::ShowDesktopIcons(shell);
    EXPECT_TRUE(shell.visible(list));
    const std::vector<std::pair<platform::WindowHandle, platform::ShowCommand>> expected = {
        {list, platform::ShowCommand::Hide}, {list, platform::ShowCommand::Hide}, {list, platform::ShowCommand::Show}};
    EXPECT_EQ(shell.show_calls(), expected);
  }
}

TEST(DesktopIcons, NoViewOfTheShellMeansNoWindowIsTouched) {
  sim::ShellWindows shell;
  // Top-level windows of the classes further down the chain belong to other
  // programs: they are not the desktop.
  const auto stray_view = shell.add_top_level("SHELLDLL_DefView");
  const auto stray_list = shell.add_child(stray_view, "SysListView32");
  const auto top_list = shell.add_top_level("SysListView32");
  const auto progman = shell.add_top_level("Progman");
  shell.add_child(progman, "SysListView32");  // not under a view
  shell.add_top_level("WorkerW");
  platform::HideDesktopIcons(shell);
  platform::ShowDesktopIcons(shell);
  EXPECT_TRUE(shell.show_calls().empty());
  EXPECT_TRUE(shell.visible(stray_list) && shell.visible(top_list));
}

class RecordingPopupCalls final : public platform::PopupMenuCalls {
 public:
  platform::ScreenPoint cursor_position() override { return pointer; }
  platform::WindowHandle foreground_window() override { return foreground; }
  void set_foreground_window(platform::WindowHandle window) override {
    calls.push_back("foreground " + std::to_string(window));
    foreground = window;
  }
  bool window_shown(platform::WindowHandle window) override { return shown.contains(window); }
  std::uint32_t track_popup_menu(platform::MenuHandle menu, std::uint32_t flags_given, platform::ScreenPoint at,
                                 platform::WindowHandle owner) override {
    calls.push_back("popup " + std::to_string(menu) + " owner " + std::to_string(owner));
    flags = flags_given;
    opened_at = at;
    if (while_open) while_open();
    return chosen;
  }
  void post_null(platform::WindowHandle window) override { calls.push_back("null " + std::to_string(window)); }

  platform::ScreenPoint pointer{1013, 758};
  platform::WindowHandle foreground = 0;
  std::set<platform::WindowHandle> shown;
  std::function<void()> while_open;
  std::uint32_t chosen = 0;
  std::vector<std::string> calls;
  std::uint32_t flags = 0xFFFF'FFFF;
  platform::ScreenPoint opened_at{-1, -1};
};

// The owner takes the foreground for the menu, and the menu's choice runs
// before the foreground goes back to where the user was.
TEST(PopupMenu, TheForegroundGoesBackUnlessSomethingElseTookIt) {
  constexpr platform::WindowHandle kOwner = 0x1234;  // 4660
  constexpr platform::WindowHandle kOther = 80;      // another program's window
  constexpr platform::WindowHandle kForm = 96;       // one of the program's windows
  constexpr platform::WindowHandle kClicked = 112;
  const std::vector<std::string> opened = {"foreground 4660", "popup 119 owner 4660", "null 4660"};
  const auto then = [&opened](std::vector<std::string> rest) {
    rest.insert(rest.begin(), opened.begin(), opened.end());
    return rest;
  };
  struct Case {
    const char* what;
    platform::WindowHandle before;
    bool before_shown;
    std::uint32_t chosen;
    bool choice_shows_form;
    bool click_activates_another;
    std::vector<std::string> calls;
    platform::WindowHandle after;
  };
  const Case cases[] = {
      {"Esc", kOther, true, 0, false, false, then({"closed 0", "foreground 80"}), kOther},
      {"an item that shows no window", kOther, true, 2, false, false, then({"closed 2", "foreground 80"}), kOther},
      {"back to one of the program's windows", kForm, true, 0, false, false, then({"closed 0", "foreground 96"}),
       kForm},
      {"an item that shows a window", kOther, true, 1, true, false, then({"closed 1", "foreground 96"}), kForm},
      {"a click that activated another window", kOther, true, 0, false, true, then({"closed 0"}), kClicked},
      {"the window before gone or hidden", kOther, false, 0, false, false, then({"closed 0"}), kOwner},
      {"no window in front before", 0, false, 0, false, false, then({"closed 0"}), kOwner},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingPopupCalls calls;
    calls.foreground = c.before;
    if (c.before_shown) calls.shown = {c.before};
    calls.chosen = c.chosen;
    if (c.click_activates_another) calls.while_open = [&calls] { calls.foreground = kClicked; };
    platform::track_popup_menu_at_pointer(calls, 0x77, kOwner, [&](std::uint32_t chosen) {
      calls.calls.push_back("closed " + std::to_string(chosen));
      if (c.choice_shows_form) calls.set_foreground_window(kForm);
    });
    EXPECT_EQ(calls.calls, c.calls);
    EXPECT_EQ(calls.foreground, c.after);
    EXPECT_EQ(calls.opened_at, calls.pointer);
    // Left-aligned at the point and for the left button only (the zero
    // values): no other alignment, no right button; the choice comes back.
    EXPECT_EQ(calls.flags, platform::kPopupReturnCommand);
  }
}

}  // namespace
}  // namespace talvorin
