// The settings window's handlers, driven as the user and the system would
// drive them, on the simulated Windows: the caption on the Start button and
// over it.

#include "tests/forms/settings_window_fixture.h"

namespace talvorin {
namespace {

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

// Explorer started anew, as process 40: Wine's taskbar and Start button.
std::pair<platform::WindowHandle, platform::WindowHandle> explorer_anew(sim::ShellWindows& shell,
                                                                        sim::ShellWatch& watch) {
  const auto bar = shell.add_taskbar();
  const auto button = shell.find_child_window(bar, "button");
  watch.set_process(bar, 40);
  shell.set_facts(bar, {.visible = true, .rect = kBar, .topmost = true});
  shell.set_facts(button, {.visible = true, .rect = kButton, .owner_drawn_button = true});
  return {bar, button};
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
  const auto [new_bar, new_button] = explorer_anew(shell, watch);
  runtime.advance(100);
  EXPECT_EQ(watch.watched(), 40U);
  shell.set_facts(new_button, {.visible = true, .rect = moved, .owner_drawn_button = true});
  watch.fire({LocationChange, 40});
  runtime.drain();
  EXPECT_EQ(overlays.shown(), (std::vector<core::OverlayPlacement>{{moved, new_bar, true}}));
}

// The program learns that the events come when its own caption window's
// move is heard: from then on an idle tick searches and writes, and reads
// nothing else of the shell but for the guard each second, until a new
// Explorer's hooks must show it again. Refused hooks are asked for again
// on each tick, and meanwhile each tick lays the caption anew.
TEST_F(SettingsWindowTest, OnceItHearsItsOwnCaptionWindowMoveAnIdleTickOnlySearchesAndWrites) {
  using enum core::WindowEventKind;
  shell.set_facts(taskbar, {.visible = true, .rect = kBar, .topmost = true});
  shell.set_facts(start_button, {.visible = true, .rect = kButton, .owner_drawn_button = true});
  store(u"StartButtonText", kPusk);
  start();
  const auto tick = [&] {
    const std::size_t before = shell.calls();
    runtime.advance(100);
    return shell.calls() - before;
  };
  constexpr std::size_t kPlacing = 5;  // the two searches, WM_SETTEXT, a look at the button and its taskbar
  EXPECT_EQ(tick(), kPlacing) << "a system that raises no events, as Wine 8";

  overlays.raise_events([this](core::WindowEventKind kind) { watch.fire({kind, sim::ShellWatch::kOwnProcess}); });
  const core::PixelRect moved{30, 748, 80, 768};
  shell.set_facts(start_button, {.visible = true, .rect = moved, .owner_drawn_button = true});
  EXPECT_EQ(tick(), kPlacing + 1) << "and the new monitor";
  EXPECT_EQ(tick(), 3U) << "the caption window's move was heard";

  // The tick still puts the caption back onto a raised taskbar, and the
  // guard follows a move that no event told.
  const auto overlay = overlays.windows().at(0);
  shell.raise(taskbar);
  EXPECT_EQ(tick(), 3U);
  EXPECT_EQ(shell.window_beneath(overlay), taskbar);
  shell.set_facts(start_button, {.visible = true, .rect = kButton, .owner_drawn_button = true});
  runtime.advance(1000);
  EXPECT_EQ(overlays.shown().at(0).rect, kButton);

  // Explorer anew, whose hooks are refused twice.
  shell.remove(taskbar);
  explorer_anew(shell, watch);
  watch.refuse(2);
  const int watch_calls = watch.watch_calls();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(tick(), kPlacing) << "tick " << i;
  EXPECT_EQ(watch.watch_calls(), watch_calls + 3) << "until the hooks stand";
  EXPECT_EQ(watch.watched(), 40U);
  EXPECT_EQ(tick(), kPlacing) << "the new hooks have not shown yet that events come";
  watch.fire({Show, 40});
  runtime.drain();
  EXPECT_EQ(tick(), 3U);
}

}  // namespace
}  // namespace talvorin
