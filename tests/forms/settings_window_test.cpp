// The settings window's handlers, driven as the user and the system would
// drive them, on the simulated Windows.

#include "forms/settings_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/autorun.h"
#include "forms/headless/headless.h"
#include "platform/settings_store.h"
#include "platform/sim/code_page_1251.h"
#include "platform/sim/common_controls.h"
#include "platform/sim/registry.h"
#include "platform/sim/shell_watch.h"
#include "platform/sim/shell_windows.h"
#include "platform/sim/tray.h"
#include "tests/forms/simulated_windows.h"

namespace talvorin {
namespace {

using core::RegistryRoot;
using forms::WindowState;

constexpr std::u16string_view kZhmi = u"Жми";
constexpr std::u16string_view kPusk = u"Пуск!";
constexpr std::u16string_view kSettingsItem = u"mnuSettings";
constexpr std::int32_t kLeftUp = 0x202;
constexpr std::int32_t kRightUp = 0x205;
constexpr std::int32_t kMouseMove = 0x200;

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

TEST_F(SettingsWindowTest, FirstStartWithNothingStored) {
  start();
  EXPECT_EQ(common_controls.calls, std::vector<std::uint32_t>{0x200});
  EXPECT_EQ(text1(), u"");
  EXPECT_EQ(shell.texts_sent(), 1U);
  EXPECT_EQ(start_caption(), u"");
  EXPECT_EQ(autorun_box(), 0);
  EXPECT_TRUE(form().timer(u"Timer1").enabled());
  EXPECT_EQ(form().timer(u"Timer1").interval(), 100U);
  EXPECT_FALSE(form().visible());
  EXPECT_EQ(form().window_state(), WindowState::Normal);
  EXPECT_FALSE(runtime.app().task_visible());
  ASSERT_NE(our_icon(), nullptr);
  EXPECT_EQ(our_icon()->tip, "Talvorin");
  EXPECT_EQ(our_icon()->icon, form().icon_handle());
  EXPECT_EQ(our_icon()->callback_message, 0x200U);
  EXPECT_TRUE(form().menu_item(kSettingsItem).enabled());
  EXPECT_TRUE(runtime.boxes().empty());
  EXPECT_TRUE(registry.changes().empty()) << "start-up writes nothing";
}

TEST_F(SettingsWindowTest, SixtyFourBitProcessHandsTheShellItsOwnRecordWithWholeHandles) {
  tray.set_layout(core::kTrayLayout64);
  runtime.start_handles_at(0x1'2345'0000);
  start();
  ASSERT_NE(our_icon(), nullptr) << "the 104-byte record was taken";
  EXPECT_GT(pichook(), 0xFFFF'FFFFU);
  EXPECT_EQ(our_icon()->icon, form().icon_handle());
  EXPECT_EQ(our_icon()->tip, "Talvorin");
  EXPECT_EQ(tray.calls().front().record.size(), 104U);

  ASSERT_TRUE(form().close());
  EXPECT_EQ(tray.icon_count(), 0U) << "the delete found the same owner";
}

TEST_F(SettingsWindowTest, CaptionFollowsTheTextBoxOnEveryTick) {
  store(u"StartButtonText", kPusk);
  start();
  EXPECT_EQ(start_caption(), kPusk);

  form().text_box(u"Text1").set_text(u"Мой");
  runtime.advance(99);
  EXPECT_EQ(start_caption(), kPusk);
  runtime.advance(1);
  EXPECT_EQ(start_caption(), u"Мой");

  // The shell puts its own caption back; the next tick writes ours again.
  shell.set_window_text(start_button, "Start");
  runtime.advance(100);
  EXPECT_EQ(start_caption(), u"Мой");

  // Characters outside the code page reach the button as substitutes; the
  // text box keeps what was typed.
  form().text_box(u"Text1").set_text(u"a\u4E2Db");
  form().click(u"Command1");
  EXPECT_EQ(start_caption(), u"a?b");
  EXPECT_EQ(text1(), u"a\u4E2Db");

  const std::size_t sent = shell.texts_sent();
  runtime.advance(1000);
  EXPECT_EQ(shell.texts_sent(), sent + 10);

  // Timer1 dies with the window, as the exe's timers die with theirs.
  ASSERT_TRUE(form().close());
  const std::size_t at_close = shell.texts_sent();
  runtime.advance(1000);
  EXPECT_EQ(shell.texts_sent(), at_close) << "no caption written once the window has gone";
}

TEST_F(SettingsWindowTest, MissingStartButtonHoldsStartUpInItsBox) {
  shell.remove(taskbar);
  struct Seen {
    bool timer_enabled;
    std::size_t icons;
    int open_boxes;
  };
  std::optional<Seen> inside_box;
  runtime.post([&] { inside_box = Seen{form().timer(u"Timer1").enabled(), tray.icon_count(), runtime.open_boxes()}; });

  start();

  ASSERT_TRUE(inside_box.has_value());
  EXPECT_EQ(inside_box->open_boxes, 1);
  EXPECT_FALSE(inside_box->timer_enabled) << "the box opens before the timer starts";
  EXPECT_EQ(inside_box->icons, 0U) << "and before the tray icon exists";
  ASSERT_EQ(runtime.boxes().size(), 1U);
  EXPECT_EQ(runtime.boxes()[0].prompt, u"Error: Cannot find window");
  EXPECT_EQ(runtime.boxes()[0].title, u"Talvorin");
  EXPECT_EQ(runtime.boxes()[0].style, platform::MessageBoxStyle::Ok);
  // Start-up went on once the box was closed.
  EXPECT_TRUE(form().timer(u"Timer1").enabled());
  EXPECT_NE(our_icon(), nullptr);
  EXPECT_FALSE(form().visible());
}

TEST_F(SettingsWindowTest, MissingButtonIsReportedOncePerLossAndOnEveryOk) {
  shell.remove(taskbar);
  start();
  ASSERT_EQ(runtime.boxes().size(), 1U) << "start-up presses \"Ok\"";

  // The user closed that box; the ticks go on writing without a new one.
  std::size_t sent = shell.texts_sent();
  runtime.advance(1000);
  EXPECT_EQ(shell.texts_sent(), sent + 10);
  EXPECT_EQ(runtime.boxes().size(), 1U);

  // "Ok" asks for the caption now: the box again, and the ticks that fall
  // due while it is open still write but open no second one.
  for (int i = 0; i < 5; ++i) runtime.post([&] { runtime.advance(100); });
  sent = shell.texts_sent();
  form().click(u"Command1");
  EXPECT_EQ(shell.texts_sent(), sent + 6);
  EXPECT_EQ(runtime.boxes().size(), 2U);
  EXPECT_EQ(runtime.most_open_boxes(), 1);

  // The Start button is back: the ticks write to it. Lost again, it is
  // reported again, once.
  const auto new_taskbar = shell.add_taskbar();
  const auto button = shell.find_child_window(new_taskbar, "button");
  form().text_box(u"Text1").set_text(u"back");
  runtime.advance(100);
  EXPECT_EQ(shell.text_of(button), "back");
  EXPECT_EQ(runtime.boxes().size(), 2U);
  shell.remove(new_taskbar);
  runtime.advance(1000);
  EXPECT_EQ(runtime.boxes().size(), 3U);
}

TEST_F(SettingsWindowTest, WithoutATaskbarNoOtherWindowGetsTheCaption) {
  shell.remove(taskbar);
  const auto stray = shell.add_top_level("BUTTON");
  store(u"StartButtonText", u"x");
  start();
  EXPECT_EQ(shell.text_of(stray), "");
  EXPECT_EQ(runtime.boxes().size(), 1U) << "the Start button is missing";
}

// Wine's taskbar: the Start button is an owner-drawn Button child.
constexpr core::PixelRect kBar{0, 748, 1024, 768};
constexpr core::PixelRect kButton{0, 748, 50, 768};

TEST_F(SettingsWindowTest, OverlayShowsTheWholeCaptionWhereTheStartButtonPaintsNone) {
  shell.set_facts(taskbar, {.visible = true, .rect = kBar});
  shell.set_facts(start_button, {.visible = true, .rect = kButton, .owner_drawn_button = true});
  store(u"StartButtonText", u"Пуск \u2603");
  start();
  EXPECT_EQ(start_caption(), u"Пуск ?") << "the button still gets the text";
  const std::vector<core::OverlayPlacement> over_button = {{kButton, taskbar, false}};
  EXPECT_EQ(overlays.shown(), over_button);
  EXPECT_EQ(overlays.caption(), u"Пуск \u2603") << "the overlay shows what was typed";

  // Typed, moved, emptied: each reaches the overlay on the next tick, and a
  // tick that changes nothing draws nothing.
  const std::size_t redraws = overlays.redraws();
  runtime.advance(1000);
  EXPECT_EQ(overlays.redraws(), redraws);
  form().text_box(u"Text1").set_text(u"Мой");
  runtime.advance(100);
  EXPECT_EQ(overlays.caption(), u"Мой");
  const core::PixelRect moved{10, 750, 60, 768};
  shell.set_facts(start_button, {.visible = true, .rect = moved, .owner_drawn_button = true});
  runtime.advance(100);
  EXPECT_EQ(overlays.shown(), (std::vector<core::OverlayPlacement>{{moved, taskbar, false}}));
  form().text_box(u"Text1").set_text(u"");
  runtime.advance(100);
  EXPECT_TRUE(overlays.shown().empty()) << "the shell's own label shows";

  // A button that paints its text needs no overlay.
  form().text_box(u"Text1").set_text(u"Мой");
  shell.set_facts(start_button, {.visible = true, .rect = moved});
  runtime.advance(100);
  EXPECT_TRUE(overlays.shown().empty());
  EXPECT_EQ(start_caption(), u"Мой");
  EXPECT_TRUE(runtime.boxes().empty());
}

TEST_F(SettingsWindowTest, OrbAndStartWindowsGetOverlaysAndNoBoxUntilTheyAreGone) {
  shell.remove(taskbar);
  // Vista and 7: the orb is a top-level Button of the taskbar's thread, in
  // front of another program's top-level button.
  const auto bar = shell.add_top_level("Shell_TrayWnd");
  shell.set_facts(bar, {.visible = true, .rect = kBar, .topmost = true});
  const auto theirs = shell.add_top_level("Button");
  shell.set_thread(theirs, 7);
  shell.set_facts(theirs, {.visible = true, .rect = kBar});
  const auto orb = shell.add_top_level("Button");
  shell.set_facts(orb, {.visible = true, .rect = kButton, .topmost = true});
  store(u"StartButtonText", kPusk);
  start();
  EXPECT_TRUE(runtime.boxes().empty());
  EXPECT_EQ(overlays.shown(), (std::vector<core::OverlayPlacement>{{kButton, orb, true}}));
  EXPECT_EQ(shell.text_of(orb), "") << "the caption goes to the Button child only";
  EXPECT_EQ(shell.text_of(theirs), "");

  // 8 to 11: a "Start" child of the taskbar and of the one on another monitor.
  shell.remove(orb);
  shell.set_monitors({{0, 0, 1024, 768}, {1024, 0, 2048, 768}});
  const auto start_window = shell.add_child(bar, "Start");
  shell.set_facts(start_window, {.visible = true, .rect = kButton});
  const auto second_bar = shell.add_top_level("Shell_SecondaryTrayWnd");
  shell.set_facts(second_bar, {.visible = true, .rect = {1024, 748, 2048, 768}});
  const auto second_start = shell.add_child(second_bar, "Start");
  shell.set_facts(second_start, {.visible = true, .rect = {1024, 748, 1074, 768}});
  runtime.advance(100);
  const std::vector<core::OverlayPlacement> both = {{kButton, bar, true}, {{1024, 748, 1074, 768}, second_bar, false}};
  EXPECT_EQ(overlays.shown(), both);
  EXPECT_EQ(overlays.caption(), kPusk);
  EXPECT_TRUE(runtime.boxes().empty());

  // The taskbar goes: the overlays hide, and the loss is reported once.
  shell.remove(bar);
  runtime.advance(1000);
  EXPECT_TRUE(overlays.shown().empty());
  EXPECT_EQ(runtime.boxes().size(), 1U);
}

// Between the ticks the shell's events move the overlay: one search for a
// burst, once the queue is empty, with neither a text nor a box. The
// events of a new Explorer count once a tick has found its taskbar.
TEST_F(SettingsWindowTest, BetweenTheTicksEachBurstOfTheShellsEventsMovesTheOverlayOnce) {
  using enum core::WindowEventKind;
  constexpr std::uint32_t kExplorer = sim::ShellWatch::kShellProcess;
  shell.set_facts(taskbar, {.visible = true, .rect = kBar, .topmost = true});
  shell.set_facts(start_button, {.visible = true, .rect = kButton, .owner_drawn_button = true});
  store(u"StartButtonText", kPusk);
  start();
  EXPECT_EQ(watch.watched(), kExplorer);
  const std::size_t texts = shell.texts_sent();
  const std::size_t before = shell.calls();
  const auto overlay = overlays.windows().at(0);

  const core::PixelRect moved{30, 748, 80, 768};
  shell.set_facts(start_button, {.visible = true, .rect = moved, .owner_drawn_button = true});
  for (int i = 0; i < 3; ++i) watch.fire({LocationChange, kExplorer});
  EXPECT_EQ(overlays.shown().at(0).rect, kButton) << "nothing before the queue is empty";
  runtime.drain();
  EXPECT_EQ(overlays.shown(), (std::vector<core::OverlayPlacement>{{moved, taskbar, true}}));
  EXPECT_EQ(shell.calls() - before, 5U) << "one search: the taskbar, its button, a look at each, the new monitor";

  // A click raises the taskbar over the overlay and makes it the foreground.
  shell.raise(taskbar);
  watch.fire({Foreground, kExplorer});
  runtime.drain();
  EXPECT_EQ(shell.window_beneath(overlay), taskbar) << "back on the taskbar";

  // The taskbar goes: the overlay hides at once, the box waits for the tick.
  shell.remove(taskbar);
  watch.fire({Destroy, kExplorer});
  runtime.drain();
  EXPECT_TRUE(overlays.shown().empty());
  EXPECT_TRUE(runtime.boxes().empty());
  EXPECT_EQ(shell.texts_sent(), texts);
  runtime.advance(100);
  EXPECT_EQ(runtime.boxes().size(), 1U);

  // Explorer started anew: its taskbar is watched from the tick that finds it.
  const auto new_bar = shell.add_taskbar();
  const auto new_button = shell.find_child_window(new_bar, "button");
  watch.set_process(new_bar, 40);
  shell.set_facts(new_bar, {.visible = true, .rect = kBar, .topmost = true});
  shell.set_facts(new_button, {.visible = true, .rect = kButton, .owner_drawn_button = true});
  runtime.advance(100);
  EXPECT_EQ(watch.watched(), 40U);
  shell.set_facts(new_button, {.visible = true, .rect = moved, .owner_drawn_button = true});
  watch.fire({LocationChange, 40});
  runtime.drain();
  EXPECT_EQ(overlays.shown(), (std::vector<core::OverlayPlacement>{{moved, new_bar, true}}));
}

TEST_F(SettingsWindowTest, UnloadStoresTheSettingsAndMovesAutostart) {
  struct Case {
    const char* what;
    std::optional<std::u16string> stored_startup;
    std::u16string typed;
    bool click_box;
    std::u16string startup_written;
    std::u16string caption_written;
    bool in_run_key;
  };
  const Case cases[] = {
      {"ticked", std::nullopt, std::u16string(kPusk), true, u"1", std::u16string(kPusk), true},
      {"ticked, empty text", std::nullopt, u"", true, u"1", u"", true},
      {"cleared", u"1", std::u16string(kPusk), true, u"0", std::u16string(kZhmi), false},
      {"grayed", u"2", std::u16string(kPusk), false, u"2", std::u16string(kZhmi), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::Registry fresh;
    registry = std::move(fresh);
    registry.add_key(RegistryRoot::CurrentUser, core::kRunKey);
    registry.put(RegistryRoot::CurrentUser, core::kRunKey, u"Talvorin", u"C:\\Old\\talvorin.exe");
    if (c.stored_startup) store(u"StartUp", *c.stored_startup);
    settings.reset();
    runtime.app().path_ = u"C:\\Tools";
    start();
    if (c.click_box) form().click_check_box(u"chAutorun");
    form().text_box(u"Text1").set_text(c.typed);

    EXPECT_TRUE(form().close());

    EXPECT_EQ(tray.icon_count(), 0U);
    EXPECT_EQ(stored(u"StartUp"), c.startup_written);
    EXPECT_EQ(stored(u"StartButtonText"), c.caption_written);
    EXPECT_EQ(run_value(), c.in_run_key ? std::optional<std::u16string>(u"C:\\Tools\\talvorin.exe") : std::nullopt);
    EXPECT_TRUE(runtime.app().logged_errors_.empty());
  }
}

TEST_F(SettingsWindowTest, UnloadRemovesTheIconFirstThenWritesInOrder) {
  sim::Journal journal;
  store(u"StartUp", u"1");
  registry.add_key(RegistryRoot::CurrentUser, core::kParkingKey);
  registry.put(RegistryRoot::CurrentUser, core::kParkingKey, u"Talvorin", u"C:\\Old\\talvorin.exe");
  runtime.app().path_ = u"C:\\";  // a drive root
  start();
  form().text_box(u"Text1").set_text(u"t");
  tray.attach(journal);
  registry.attach(journal);

  ASSERT_TRUE(form().close());

  const std::vector<std::u16string> expected = {
      u"tray delete",
      u"set HKCU\\software\\vb and vba program settings\\talvorin\\settings\\StartUp=1",
      u"set HKCU\\software\\vb and vba program settings\\talvorin\\settings\\StartButtonText=t",
      u"delete HKCU\\software\\microsoft\\windows\\currentversion\\run-\\Talvorin",
      u"set HKCU\\software\\microsoft\\windows\\currentversion\\run\\Talvorin=C:\\\\talvorin.exe",
  };
  EXPECT_EQ(journal.entries, expected);
}

TEST_F(SettingsWindowTest, UnloadGoesOnWhenTheSettingsCannotBeWrittenAndLogsIt) {
  store(u"StartUp", u"2");
  store(u"StartButtonText", kPusk);
  start();
  form().click_check_box(u"chAutorun");
  form().text_box(u"Text1").set_text(u"new");
  registry.deny_writes(RegistryRoot::CurrentUser);

  EXPECT_TRUE(form().close());

  EXPECT_EQ(tray.icon_count(), 0U);
  EXPECT_EQ(stored(u"StartUp"), u"2");
  EXPECT_EQ(stored(u"StartButtonText"), kPusk);
  EXPECT_TRUE(runtime.boxes().empty()) << "no box may hold up a log-off";
  const auto& logged = runtime.app().logged_errors_;
  ASSERT_EQ(logged.size(), 2U);
  EXPECT_NE(logged[0].find(u"«StartUp»"), std::u16string::npos);
  EXPECT_NE(logged[1].find(u"«StartButtonText»"), std::u16string::npos);
  EXPECT_NE(logged[1].find(u"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Talvorin\\Settings"),
            std::u16string::npos);
}

TEST_F(SettingsWindowTest, NextStartBringsBackWhatWasStored) {
  start();
  form().click_check_box(u"chAutorun");
  form().text_box(u"Text1").set_text(kPusk);  // never pressed "Ok"
  ASSERT_TRUE(form().close());

  settings.reset();
  start();
  EXPECT_EQ(text1(), kPusk);
  EXPECT_EQ(start_caption(), kPusk);
  EXPECT_EQ(autorun_box(), 1);
}

TEST_F(SettingsWindowTest, BadStoredStartUpStartsWithTheBoxClear) {
  const std::u16string texts[] = {u"abc", u"", u"   ", u"3", u"7", u"-1", u"70000", u"99999", u"1.5"};
  for (const std::u16string& text : texts) {
    SCOPED_TRACE(std::string(text.begin(), text.end()));
    registry = sim::Registry{};
    store(u"StartUp", text);
    store(u"StartButtonText", kPusk);
    settings.reset();
    tray.forget_all();
    start();
    EXPECT_EQ(autorun_box(), 0);
    EXPECT_EQ(start_caption(), kPusk);
    EXPECT_NE(our_icon(), nullptr);
    EXPECT_FALSE(form().visible());
    EXPECT_EQ(stored(u"StartUp"), text) << "nothing is written before unload";
  }
}

TEST_F(SettingsWindowTest, ExitWritesNothingAndMovesNoAutostartValue) {
  store(u"StartUp", u"1");
  store(u"StartButtonText", kPusk);
  registry.put(RegistryRoot::CurrentUser, core::kRunKey, u"Talvorin", u"C:\\Tools\\talvorin.exe");
  start();
  form().click_check_box(u"chAutorun");
  form().text_box(u"Text1").set_text(u"changed");

  form().tray_callback(kRightUp);
  ASSERT_FALSE(runtime.ended());
  runtime.post([&] { form().choose(u"mnuExit"); });
  form().tray_callback(kRightUp);

  EXPECT_TRUE(runtime.ended());
  EXPECT_EQ(tray.icon_count(), 0U);
  EXPECT_TRUE(registry.changes().empty());
  EXPECT_EQ(stored(u"StartUp"), u"1");
  EXPECT_EQ(stored(u"StartButtonText"), kPusk);
  EXPECT_EQ(run_value(), u"C:\\Tools\\talvorin.exe");

  // An ended program hears nothing more.
  const std::size_t sent = shell.texts_sent();
  runtime.advance(500);
  form().close();
  EXPECT_EQ(shell.texts_sent(), sent);
  EXPECT_FALSE(stored(u"StartUp") != u"1");
}

// The window unloaded while the tray menu is open (a log-off, a close from
// outside): the item chosen next reaches nothing, and no About window keeps
// a program without a tray icon alive.
TEST_F(SettingsWindowTest, AnItemChosenOnceTheWindowHasGoneRunsNothing) {
  start();
  runtime.post([this] { ASSERT_TRUE(form().close()); });
  runtime.post([this] { form().choose(u"mnuAbout"); });
  form().tray_callback(kRightUp);
  EXPECT_TRUE(form().unloaded());
  EXPECT_THROW(runtime.form(u"AboutWindow"), std::out_of_range);
}

// The shell posts the callback's message in the low word, where a mouse
// move has its x: what stands above it is no part of the message.
TEST_F(SettingsWindowTest, TheCallbackIsTheLowWordOfItsParameter) {
  start();
  form().tray_callback(0x0005'0000 | kLeftUp);
  EXPECT_TRUE(form().visible());
}

TEST_F(SettingsWindowTest, TrayClicksShowTheWindowAndOpenTheMenu) {
  start();
  form().tray_callback(kMouseMove);
  form().tray_callback(0x201);
  form().tray_callback(0x204);
  EXPECT_FALSE(form().visible());
  EXPECT_EQ(form().popups(), 0U);

  form().tray_callback(kLeftUp);
  EXPECT_TRUE(form().visible());
  EXPECT_FALSE(form().menu_item(kSettingsItem).enabled()) << "shown in the normal state";

  // Minimising sends the window back to the tray.
  form().user_set_state(WindowState::Minimised);
  EXPECT_FALSE(form().visible());
  EXPECT_TRUE(form().menu_item(kSettingsItem).enabled());
  EXPECT_FALSE(runtime.app().task_visible());
  EXPECT_EQ(tray.icon_count(), 1U) << "the second add was refused and changed nothing";

  // A left click shows it and leaves it minimised.
  form().tray_callback(kLeftUp);
  EXPECT_TRUE(form().visible());
  EXPECT_EQ(form().window_state(), WindowState::Minimised);

  // "Настройки" restores it.
  form().hide();
  runtime.post([&] { form().choose(kSettingsItem); });
  form().tray_callback(kRightUp);
  EXPECT_EQ(form().popups(), 1U);
  EXPECT_TRUE(form().visible());
  EXPECT_EQ(form().window_state(), WindowState::Normal);
  EXPECT_FALSE(form().menu_item(kSettingsItem).enabled());
}

// The tray menu is owned by the hidden application window: the hidden
// settings window never takes the keyboard, and a menu closed without
// showing a window gives the foreground back to the window the user was in.
TEST_F(SettingsWindowTest, TheTrayMenuGivesTheKeyboardBack) {
  start();
  struct Case {
    const char* what;
    bool settings_in_front;
    std::u16string_view item;  // empty: closed without a choice
  };
  for (const Case& c : {Case{"closed", false, u""}, Case{"desktop icons", false, u"mnuHideDesktopIcons"},
                        Case{"closed over the settings window", true, u""}}) {
    if (c.settings_in_front) form().tray_callback(kLeftUp);
    if (!c.item.empty()) runtime.post([&] { form().choose(c.item); });
    form().tray_callback(kRightUp);
    EXPECT_EQ(runtime.foreground(), c.settings_in_front ? form().window_handle() : runtime.other_program_window())
        << c.what;
    EXPECT_EQ(runtime.focus_form(), c.settings_in_front ? &form() : nullptr) << c.what;
    EXPECT_EQ(form().visible(), c.settings_in_front) << c.what;
  }
  form().hide();

  // A left click brings the window forward, covered or not, with the focus.
  for (int click = 0; click < 2; ++click) {
    runtime.switch_to_another_program();
    form().tray_callback(kLeftUp);
    EXPECT_EQ(runtime.foreground(), form().window_handle()) << "click " << click;
    EXPECT_EQ(runtime.focus_form(), &form()) << "click " << click;
    EXPECT_EQ(form().window_state(), WindowState::Normal);
  }
}

TEST_F(SettingsWindowTest, CallbacksWhileTheMenuIsOpenDoNothing) {
  start();
  bool busy_inside = false;
  runtime.post([&] {
    form().tray_callback(kLeftUp);
    form().tray_callback(kRightUp);
    busy_inside = form().menu_open();
  });
  form().tray_callback(kRightUp);
  EXPECT_TRUE(busy_inside);
  EXPECT_EQ(form().popups(), 1U) << "no second menu";
  EXPECT_FALSE(form().visible()) << "the left click inside the menu did not show the window";

  // The guard is gone once the menu has closed.
  form().tray_callback(kLeftUp);
  EXPECT_TRUE(form().visible());
}

TEST_F(SettingsWindowTest, MinimisingBringsBackAnIconTheTaskbarLost) {
  start();
  form().tray_callback(kLeftUp);
  tray.forget_all();
  form().user_set_state(WindowState::Minimised);
  ASSERT_NE(our_icon(), nullptr);
  EXPECT_EQ(our_icon()->tip, "Talvorin");
}

TEST_F(SettingsWindowTest, ANewTaskbarGetsTheIconAgain) {
  start();
  tray.forget_all();
  form().taskbar_created();
  ASSERT_NE(our_icon(), nullptr);
  EXPECT_EQ(our_icon()->tip, "Talvorin");
  form().taskbar_created();
  EXPECT_EQ(tray.icon_count(), 1U);
}

TEST_F(SettingsWindowTest, DesktopIconsItemFlipsItsCaptionAndTheIconView) {
  constexpr std::u16string_view kHide = u"Скрыть значки на Рабочем столе";
  constexpr std::u16string_view kShow = u"Показать значки на Рабочем столе";
  struct Case {
    const char* what;
    const char* desktop;  // the top-level window holding the view, or none
    bool hidden_at_start;
  };
  const Case cases[] = {
      {"Progman", "Progman", false},
      {"WorkerW", "WorkerW", false},
      {"left hidden by an earlier run", "Progman", true},
      {"no desktop windows", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::ShellWindows fresh;
    shell = std::move(fresh);
    taskbar = shell.add_taskbar();
    start_button = shell.find_child_window(taskbar, "button");
    const platform::WindowHandle list = c.desktop ? shell.add_desktop(c.desktop) : 0;
    if (c.hidden_at_start) shell.show_window(list, platform::ShowCommand::Hide);
    const std::size_t calls_before = shell.show_calls().size();
    settings.reset();
    start();
    forms::MenuItem& item = form().menu_item(u"mnuHideDesktopIcons");
    const auto click = [&] {
      runtime.post([&] { form().choose(u"mnuHideDesktopIcons"); });
      form().tray_callback(kRightUp);
    };
    EXPECT_EQ(item.caption(), kHide);

    click();
    EXPECT_EQ(item.caption(), kShow);
    EXPECT_FALSE(shell.visible(list));
    click();
    EXPECT_EQ(item.caption(), kHide);
    EXPECT_EQ(shell.visible(list), list != 0);
    EXPECT_EQ(shell.show_calls().size(), calls_before + (list ? 2 : 0));
  }
}

TEST_F(SettingsWindowTest, DesktopIconsItemWithAnyOtherCaptionDoesNothing) {
  const auto list = shell.add_desktop("Progman");
  start();
  forms::MenuItem& item = form().menu_item(u"mnuHideDesktopIcons");
  for (const std::u16string_view caption :
       {u"скрыть значки на Рабочем столе", u"Скрыть значки на Рабочем столе ", u""}) {
    item.set_caption(caption);
    runtime.post([&] { form().choose(u"mnuHideDesktopIcons"); });
    form().tray_callback(kRightUp);
    EXPECT_EQ(item.caption(), caption);
  }
  EXPECT_TRUE(shell.show_calls().empty());
  EXPECT_TRUE(shell.visible(list));
}

TEST_F(SettingsWindowTest, MinimisingTakesTheProgramOutOfTheTaskList) {
  start();
  form().tray_callback(kLeftUp);
  runtime.app().set_task_visible(true);
  form().user_set_state(WindowState::Minimised);
  EXPECT_FALSE(runtime.app().task_visible());
  EXPECT_FALSE(form().visible());
}

}  // namespace
}  // namespace talvorin
