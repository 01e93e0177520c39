// The settings window's handlers, driven as the user and the system would
// drive them, on the simulated Windows: closing and storing, the tray icon
// and its menu, the desktop icons.

#include <algorithm>

#include "tests/forms/settings_window_fixture.h"

namespace talvorin {
namespace {

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

// At log-off Windows gives the program a few seconds, and the tray's call
// waits on a busy Explorer: what the user chose is written first.
TEST_F(SettingsWindowTest, UnloadWritesInOrderThenRemovesTheIcon) {
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
      u"set HKCU\\software\\vb and vba program settings\\talvorin\\settings\\StartUp=1",
      u"set HKCU\\software\\vb and vba program settings\\talvorin\\settings\\StartButtonText=t",
      u"set HKCU\\software\\microsoft\\windows\\currentversion\\run\\Talvorin=C:\\\\talvorin.exe",
      u"delete HKCU\\software\\microsoft\\windows\\currentversion\\run-\\Talvorin",
      u"tray delete",
  };
  EXPECT_EQ(journal.entries, expected);
}

// A close or the end of the session while start-up waits in the box of a
// missing Start button: the window holds none of the user's choices yet, so
// what is stored stays, and start-up ends there with no icon and no window.
TEST_F(SettingsWindowTest, AnUnloadBeforeStartUpHasReadTheSettingsStoresNothing) {
  struct Case {
    const char* what;
    bool log_off;
    bool in_the_box;
  };
  for (const Case c : {Case{"closed in the start-up box", false, true}, Case{"log-off in the box", true, true},
                       Case{"closed after start-up", false, false}, Case{"log-off after start-up", true, false}}) {
    SCOPED_TRACE(c.what);
    registry = sim::Registry{};
    registry.put(RegistryRoot::CurrentUser, core::kRunKey, u"Talvorin", u"C:\\Old\\talvorin.exe");
    store(u"StartUp", u"1");
    store(u"StartButtonText", kPusk);
    sim::ShellWindows fresh;
    shell = std::move(fresh);
    if (!c.in_the_box) shell.add_taskbar();
    settings.reset();
    const std::size_t calls_before = tray.calls().size();
    const std::size_t boxes_before = runtime.boxes().size();
    const auto unload = [this, log_off = c.log_off] { log_off ? form().end_session() : (void)form().close(); };
    if (c.in_the_box) runtime.post(unload);
    start();
    if (!c.in_the_box) {
      form().text_box(u"Text1").set_text(u"Новый");
      unload();
    }

    EXPECT_TRUE(form().unloaded());
    EXPECT_FALSE(form().visible());
    EXPECT_EQ(runtime.boxes().size() - boxes_before, c.in_the_box ? 1U : 0U);
    const auto& calls = tray.calls();
    EXPECT_EQ(std::any_of(calls.begin() + static_cast<std::ptrdiff_t>(calls_before), calls.end(),
                          [](const sim::Tray::Call& call) { return call.command == core::TrayCommand::Add; }),
              !c.in_the_box);
    EXPECT_EQ(tray.icon_count(), 0U);
    EXPECT_EQ(stored(u"StartUp"), u"1");
    EXPECT_EQ(stored(u"StartButtonText"), c.in_the_box ? kPusk : u"Новый");
    EXPECT_EQ(run_value(), c.in_the_box ? u"C:\\Old\\talvorin.exe" : u"C:\\Tools\\talvorin.exe");
  }
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

// A shell that does not answer yet refuses the add: the hidden program would
// be out of the user's reach, so each tick asks again until the shell has
// the icon, and then never again.
TEST_F(SettingsWindowTest, ARefusedIconIsAskedForOnEachTickUntilTheShellHasIt) {
  struct Case {
    const char* what;
    int refusals;
    bool taken_after_all;
  };
  const Case cases[] = {
      {"taken at once", 0, false},
      {"refused once", 1, false},
      {"refused three times", 3, false},
      {"taken, but too late for the call", 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings.reset();
    tray.forget_all();
    tray.refuse_adds(c.refusals, c.taken_after_all);
    start();
    const std::uint64_t ticks_to_icon = c.taken_after_all ? 0 : static_cast<std::uint64_t>(c.refusals);
    if (ticks_to_icon > 0) {
      runtime.advance(100 * (ticks_to_icon - 1));
      EXPECT_EQ(our_icon(), nullptr) << "still refused";
      runtime.advance(100);
    }
    ASSERT_NE(our_icon(), nullptr);
    EXPECT_EQ(tray.icon_count(), 1U);
    EXPECT_EQ(our_icon()->tip, "Talvorin");
    EXPECT_EQ(our_icon()->icon, form().icon_handle());
    EXPECT_EQ(our_icon()->callback_message, 0x200U);

    runtime.advance(200);
    const std::size_t calls = tray.calls().size();
    runtime.advance(1000);
    EXPECT_EQ(tray.calls().size(), calls) << "no call once the shell has the icon";
    // The shell declines a second add of an icon it has: nothing is owed.
    form().tray_callback(kLeftUp);
    form().user_set_state(WindowState::Minimised);
    runtime.advance(1000);
    EXPECT_EQ(tray.calls().size(), calls + 1);
    EXPECT_EQ(tray.icon_count(), 1U);
  }
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
