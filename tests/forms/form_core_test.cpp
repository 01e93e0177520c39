// The rules a form keeps whatever its backend: here on the core itself and
// on the simulated forms that drive it.

#include "forms/form_core.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/error.h"
#include "core/settings.h"
#include "forms/headless/headless.h"
#include "platform/sim/registry.h"

namespace talvorin {
namespace {

using core::CheckState;

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
  forms::FormCore form(args, active);
  self = &form;
  EXPECT_TRUE(form.unload());
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(inner_unloaded) << "the close inside the handler is the same unload";
  EXPECT_TRUE(form.unloaded());
  EXPECT_FALSE(form.unload()) << "an unloaded form has nothing left to unload";
  EXPECT_EQ(handled, 1);
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
  forms::FormCore form(args, active);
  form.show(false, false);
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

TEST(FormCore, TheSimulationLetsATimerOfIntervalZeroBe) {
  sim::Registry registry;
  headless::Runtime runtime(registry);
  auto form = runtime.create_form({});
  int zero_ticks = 0;
  int ticks = 0;
  form->add_timer({.name = u"Zero", .interval_ms = 0, .enabled = true, .on_timer = [&] { ++zero_ticks; }});
  form->add_timer({.name = u"Tick", .interval_ms = 100, .enabled = true, .on_timer = [&] { ++ticks; }});
  runtime.advance(1000);  // returns at all
  EXPECT_EQ(zero_ticks, 0);
  EXPECT_EQ(ticks, 10);
}

// The shell packs the callback's mouse message where a mouse move has its
// x: the simulated callback reaches the form as the exe's does.
TEST(FormCore, ATrayCallbackReachesTheFormAsTheSignedLowWordOfItsParameter) {
  sim::Registry registry;
  headless::Runtime runtime(registry);
  auto made = runtime.create_form({});
  auto& form = static_cast<headless::Form&>(*made);
  std::vector<float> heard;
  form.add_picture_box({.name = u"pichook",
                        .rect = {},
                        .tab_index = 0,
                        .visible = false,
                        .on_mouse_move = [&](const forms::MouseEvent& event) { heard.push_back(event.x); }});
  struct Row {
    std::uint32_t parameter;
    float x_twips;  // at 15 twips a pixel
  };
  for (const Row& row :
       {Row{0x205, 0x205 * 15.0F}, Row{0x0001'0202, 0x202 * 15.0F}, Row{0xFFFF, -15.0F}, Row{0x8000, -32768 * 15.0F}}) {
    heard.clear();
    form.tray_callback(row.parameter);
    ASSERT_EQ(heard.size(), 1U);
    EXPECT_EQ(heard[0], row.x_twips) << std::hex << row.parameter;
  }
}

TEST(FormCore, TheFirstShowingCountsAsAResizeOnceWhateverTheSystemSent) {
  forms::ActiveForm active;
  int resizes = 0;
  forms::FormArgs args;
  args.on_resize = [&] { ++resizes; };
  forms::FormCore form(args, active);
  const unsigned before = form.resizes();
  EXPECT_FALSE(form.show(false, true)) << "a hidden window is shown in the state it has";
  form.first_show_resize(before);
  EXPECT_EQ(resizes, 1) << "none sent";
  EXPECT_TRUE(form.show(true, true)) << "a minimised one already shown comes back";
  form.first_show_resize(form.resizes());
  EXPECT_EQ(resizes, 1) << "only the first showing";

  forms::FormCore sized(args, active);
  const unsigned sized_before = sized.resizes();
  sized.resize();  // the system's, with the showing
  sized.first_show_resize(sized_before);
  EXPECT_EQ(resizes, 2);
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
