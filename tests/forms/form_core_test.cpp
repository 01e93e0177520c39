// The rules a form keeps whatever its backend, on the core both backends
// drive.

#include "forms/form_core.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/settings.h"

namespace talvorin {
namespace {

using core::CheckState;
using Calls = std::vector<std::string>;

// The backend's side of a form, as the list of what the core asked of it.
struct RecordingWindow final : forms::FormWindow {
  Calls calls;
  std::function<void()> while_shown;  // what the system sends with the showing
  void show_window(bool restore) override {
    calls.emplace_back(restore ? "restore" : "show");
    if (while_shown) while_shown();
  }
  void hide_window() override { calls.emplace_back("hide"); }
  void destroy_window() override { calls.emplace_back("destroy"); }
  void post_activate_event() override { calls.emplace_back("post"); }
};

// What the window does for each thing that happens to the form, when the
// activate event is raised, and what still reaches an unloaded form: the
// decisions both backends take from here.
TEST(FormCore, DecidesWhatTheWindowDoesAndWhenTheActivateEventIsRaised) {
  forms::ActiveForm active;
  RecordingWindow window;
  RecordingWindow other_window;
  forms::FormArgs args;
  args.on_activate = [&] { window.calls.emplace_back("activate"); };
  args.on_resize = [&] { window.calls.emplace_back("resize"); };
  forms::FormCore form(args, active, window);
  forms::FormCore other({}, active, other_window);
  forms::FormArgs hiding_args;
  hiding_args.close_box_hides = true;
  forms::FormCore hiding(hiding_args, active, window);
  forms::Timer& timer = form.add_timer(
      {.name = u"Timer1", .interval_ms = 100, .enabled = true, .on_timer = [&] { window.calls.emplace_back("tick"); }},
      [&](const forms::Timer&) { window.calls.emplace_back("count down"); });
  const forms::Menu menu({.name = u"menu", .items = {{.name = u"item", .caption = u"item", .on_click = [&] {
                                                        window.calls.emplace_back("item");
                                                      }}}});
  struct Step {
    const char* what;
    std::function<void()> act;
    Calls calls;
    bool visible;
  };
  const Step steps[] = {
      {"the hidden form in the foreground", [&] { form.activated(false); }, {}, false},
      {"shown", [&] { form.show(false); }, {"show", "post", "resize"}, true},
      {"the posted event", [&] { form.activate_event(); }, {"activate"}, true},
      {"in the foreground again, already the active window", [&] { form.activated(false); }, {}, true},
      {"shown again while active", [&] { form.show(false); }, {"show", "post"}, true},
      {"minimised, then shown", [&] { form.show(true); }, {"restore", "post"}, true},
      {"hidden by another program", [&] { form.window_visible(false); }, {}, false},
      {"shown by another program", [&] { form.window_visible(true); }, {}, true},
      {"back in the foreground: still the active window", [&] { form.activated(false); }, {}, true},
      {"another form shown", [&] { other.show(false); }, {}, true},
      {"back from the other form", [&] { form.activated(false); }, {"post"}, true},
      {"a menu item chosen", [&] { form.menu_chosen(menu, 1); }, {"item"}, true},
      {"a tick", [&] { timer.tick(); }, {"tick"}, true},
      {"minimised by the user", [&] { form.resize(); }, {"resize"}, true},
      {"hidden", [&] { form.hide(); }, {"hide"}, false},
      {"the posted event after the hiding", [&] { form.activate_event(); }, {}, false},
      {"hidden, in the foreground", [&] { form.activated(false); }, {}, false},
      {"shown, then its close box",
       [&] {
         form.show(false);
         window.calls.clear();
         form.close_box();
       },
       {"count down", "destroy"},
       false},
      {"unloaded: shown", [&] { form.show(false); }, {}, false},
      {"unloaded: shown by another program", [&] { form.window_visible(true); }, {}, false},
      {"unloaded: in the foreground", [&] { form.activated(false); }, {}, false},
      {"unloaded: the posted event", [&] { form.activate_event(); }, {}, false},
      {"unloaded: a menu item chosen while the menu was open", [&] { form.menu_chosen(menu, 1); }, {}, false},
      {"unloaded: its close box", [&] { form.close_box(); }, {}, false},
      {"unloaded: its state changed from code", [&] { form.resize(); }, {}, false},
      {"unloaded: a tick already on its way", [&] { timer.tick(); }, {}, false},
      {"unloaded: its timer enabled again",
       [&] {
         timer.set_enabled(false);
         timer.set_enabled(true);
       },
       {},
       false},
      {"a close box that hides",
       [&] {
         hiding.show(false);
         window.calls.clear();
         hiding.close_box();
       },
       {"hide"},
       false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    window.calls.clear();
    step.act();
    EXPECT_EQ(window.calls, step.calls);
    EXPECT_EQ(form.visible(), step.visible);
  }
  EXPECT_TRUE(form.unloaded());
  EXPECT_FALSE(hiding.unloaded());
}

// Where the focus goes when the window gets it: keys typed go to the focus
// window, shown or not, so never into the controls of a hidden form.
TEST(FormCore, SendsTheFocusIntoTheControlsOfAShownFormOnly) {
  using enum forms::FocusMove;
  struct Case {
    const char* what;
    bool shown, minimised, foreground, focus_in_controls;
    forms::FocusMove activated, after_show, received;
  };
  const Case cases[] = {
      {"hidden", false, false, true, false, ToWindow, Stay, Stay},
      {"hidden, minimised", false, true, true, false, Stay, Stay, Stay},
      {"shown", true, false, true, false, IntoControls, IntoControls, IntoControls},
      {"shown, the focus in a control already", true, false, true, true, IntoControls, Stay, IntoControls},
      {"shown, and another program kept the foreground", true, false, false, false, IntoControls, Stay, IntoControls},
      {"shown, minimised", true, true, true, false, Stay, Stay, IntoControls},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    forms::ActiveForm active;
    RecordingWindow window;
    forms::FormCore form({}, active, window);
    if (c.shown) form.show(false);
    EXPECT_EQ(form.focus_after_show(c.foreground, c.minimised, c.focus_in_controls), c.after_show);
    EXPECT_EQ(form.focus_received(), c.received);
    EXPECT_EQ(form.activated(c.minimised), c.activated);
  }
}

TEST(FormCore, AnUnloadThatArrivesWhileTheHandlerWaitsRunsNoSecondHandler) {
  forms::ActiveForm active;
  int handled = 0;
  bool inner_unloaded = true;
  forms::FormCore* self = nullptr;
  forms::FormArgs args;
  args.on_unload = [&] {
    if (++handled == 1) inner_unloaded = self->unload();
    return forms::Unload::Proceed;
  };
  RecordingWindow window;
  forms::FormCore form(args, active, window);
  self = &form;
  EXPECT_TRUE(form.unload());
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(inner_unloaded) << "the close inside the handler is the same unload";
  EXPECT_TRUE(form.unloaded());
  EXPECT_FALSE(form.unload()) << "an unloaded form has nothing left to unload";
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(window.calls, Calls{"destroy"}) << "the window goes once";
}

TEST(FormCore, ACancelledUnloadKeepsTheFormAndTheSessionEndUnloadsItOnce) {
  forms::ActiveForm active;
  int handled = 0;
  forms::Unload answer = forms::Unload::Cancel;
  forms::FormArgs args;
  args.on_unload = [&] {
    ++handled;
    return answer;
  };
  RecordingWindow window;
  forms::FormCore form(args, active, window);
  form.show(false);
  EXPECT_FALSE(form.unload());
  EXPECT_TRUE(form.visible());
  EXPECT_FALSE(form.end_session()) << "cancelled";
  EXPECT_FALSE(form.end_session()) << "the session ends once";
  EXPECT_EQ(handled, 2);
  answer = forms::Unload::Proceed;
  EXPECT_TRUE(form.unload());
  EXPECT_FALSE(form.visible());
  EXPECT_EQ(active.active(), nullptr) << "an unloaded form is no one's active window";
}

TEST(FormCore, ATimerOfIntervalZeroNeverFires) {
  int ticks = 0;
  forms::TimerArgs args;
  args.on_timer = [&] { ++ticks; };
  int count_downs = 0;
  forms::Timer timer(args, [&](const forms::Timer&) { ++count_downs; });
  timer.set_enabled(true);
  EXPECT_EQ(count_downs, 0) << "the system's clock is never asked to count it down";
  EXPECT_TRUE(timer.enabled());
  EXPECT_FALSE(timer.running());
  timer.tick();
  EXPECT_EQ(ticks, 0);
}

TEST(FormCore, TheFirstShowingCountsAsAResizeOnceWhateverTheSystemSent) {
  forms::ActiveForm active;
  int resizes = 0;
  forms::FormArgs args;
  args.on_resize = [&] { ++resizes; };
  RecordingWindow window;
  forms::FormCore form(args, active, window);
  form.show(true);
  EXPECT_EQ(window.calls, (Calls{"show", "post"})) << "a hidden window is shown in the state it has";
  EXPECT_EQ(resizes, 1) << "none sent";
  form.show(true);
  EXPECT_EQ(window.calls.at(2), "restore") << "a minimised one already shown comes back";
  EXPECT_EQ(resizes, 1) << "only the first showing";

  RecordingWindow sized_window;
  forms::FormCore sized(args, active, sized_window);
  sized_window.while_shown = [&] { sized.resize(); };
  sized.show(false);
  EXPECT_EQ(resizes, 2) << "the system's resize with the showing is the one";
}

TEST(CheckState, AClickTicksAnythingButATickedBoxAndCodeGivesOnlyTheThreeValues) {
  struct Click {
    CheckState before, after;
  };
  for (const Click& row : {Click{CheckState::Clear, CheckState::Ticked}, Click{CheckState::Ticked, CheckState::Clear},
                           Click{CheckState::Grayed, CheckState::Ticked}}) {
    EXPECT_EQ(core::after_click(row.before), row.after) << static_cast<int>(row.before);
  }
  for (const std::int16_t value : std::initializer_list<std::int16_t>{0, 1, 2})
    EXPECT_EQ(static_cast<std::int16_t>(core::check_state_from(value)), value);
  for (const std::int16_t value : std::initializer_list<std::int16_t>{-1, 3, 32767})
    EXPECT_THROW(core::check_state_from(value), core::RangeError);
}

}  // namespace
}  // namespace talvorin
