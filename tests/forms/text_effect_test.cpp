// The letter-spacing animation drawn on a recording device context, paced by
// the simulated clock, with events arriving while it waits.

#include "forms/text_effect.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/error.h"
#include "forms/headless/headless.h"
#include "platform/sim/code_page_1251.h"
#include "platform/sim/registry.h"
#include "platform/sim/text_drawing.h"

namespace talvorin {
namespace {

using core::PixelRect;
using Op = sim::TextDrawing::Op;

constexpr std::uintptr_t kDc = 0xDC;
constexpr std::uint32_t kRed = 0x0000FF;

// A window as the animation sees it: 1000 pixels wide at 15 twips each
// unless a test narrows it.
class Target final : public forms::TextEffectTarget {
 public:
  std::uintptr_t hdc() override { return kDc; }
  float ScaleWidth() override {
    if (lacks_scale_width) throw std::runtime_error("Object doesn't support this property or method");
    return scale_width;
  }
  void Refresh() override { ++refreshes; }
  bool Visible() override { return visible; }

  float scale_width = 15000;
  bool visible = true;
  bool lacks_scale_width = false;
  int refreshes = 0;
};

class TextEffectTest : public ::testing::Test {
 protected:
  void run(forms::TextEffectTarget* on, std::u16string_view text, std::int32_t y, std::int32_t start, std::int32_t end,
           bool loop = false) {
    forms::text_effect(services, rect, {on, text, 42, y, loop, start, end, kRed});
  }
  std::vector<sim::TextDrawing::Call> drawn() const {
    std::vector<sim::TextDrawing::Call> frames;
    for (const auto& call : drawing.calls_of(Op::DrawText)) {
      if (call.value == static_cast<std::int64_t>(platform::DrawTextFormat::Draw)) frames.push_back(call);
    }
    return frames;
  }

  sim::Registry registry;
  headless::Runtime runtime{registry};
  sim::TextDrawing drawing;
  sim::CodePage1251 code_page;
  forms::TextEffectServices services{runtime, drawing, runtime.clock(), code_page};
  PixelRect rect{};
  Target target;
};

TEST_F(TextEffectTest, FirstTwoFramesEraseThePreviousRectangleWithItsMargin) {
  runtime.post_at(30, [this] { target.visible = false; });  // in the second frame's wait
  run(&target, u"ab", 12, 128, -1);

  const std::int32_t first_right = 42 + 2 * (sim::TextDrawing::kCharWidth + 127);
  const PixelRect empty{42, 12, 42, 12};
  const PixelRect first{42, 12, first_right + 4, 28};
  const std::int64_t draw = 0;
  const std::int64_t measure = 0x400;
  const auto brush = static_cast<std::int64_t>(drawing.calls_of(Op::DeleteBrush).at(0).value);
  struct Expected {
    Op op;
    std::int64_t value;
    PixelRect rect;
  };
  const Expected expected[] = {
      {Op::TranslateColor, kRed, {}},
      {Op::ButtonFace, 0, {}},
      {Op::CreateBrush, sim::TextDrawing::kButtonFace, {}},
      {Op::TextColor, kRed, {}},
      {Op::FillRect, brush, empty},  // paints nothing
      {Op::CharacterExtra, 127, {}},
      {Op::DrawText, measure, {42, 12, first_right, 28}},
      {Op::DrawText, draw, first},
      {Op::FillRect, brush, first},
      {Op::CharacterExtra, 126, {}},
      {Op::DrawText, measure, {42, 12, first_right - 2, 28}},
      {Op::DrawText, draw, {42, 12, first_right + 2, 28}},
      {Op::DeleteBrush, brush, {}},
  };
  const auto& calls = drawing.calls();
  ASSERT_EQ(calls.size(), std::size(expected));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].op, expected[i].op) << "call " << i;
    EXPECT_EQ(calls[i].value, expected[i].value) << "call " << i;
    EXPECT_EQ(calls[i].rect, expected[i].rect) << "call " << i;
    if (calls[i].op >= Op::TextColor) {
      EXPECT_EQ(calls[i].dc, kDc) << "call " << i;
    }
  }
  EXPECT_EQ(drawn().front().text, "ab");
  EXPECT_EQ(target.refreshes, 2);
}

TEST_F(TextEffectTest, AWholeLineRunsItsCourseAtTwentyMillisecondsAFrameAcrossTheClockWrap) {
  runtime.set_clock_origin(0xFFFFFFFFU - 1000);  // the clock wraps in the middle of the line
  run(&target, u"Talvorin 1.3", 12, 128, -1);

  const auto frames = drawing.calls_of(Op::CharacterExtra);
  ASSERT_EQ(frames.size(), 137U);
  EXPECT_EQ(frames.front().value, 127);
  EXPECT_EQ(frames.back().value, -1);
  EXPECT_EQ(runtime.now(), 137U * 20) << "each frame waited out, none cut short by the wrap";
  EXPECT_GE(runtime.pumps(), 137U);
  EXPECT_EQ(target.refreshes, 137);
  EXPECT_EQ(drawing.calls_of(Op::CreateBrush).size(), 1U);
  EXPECT_EQ(drawing.live_brushes(), 0U);
}

TEST_F(TextEffectTest, TextWiderThanTheTargetStopsAtItsWidthInPixels) {
  target.scale_width = 3735;  // 249 pixels
  run(&target, u"Talvorin 1.3", 12, 128, -1);
  const auto frames = drawn();
  EXPECT_EQ(frames.front().rect.right, 249);
  for (const auto& frame : frames) ASSERT_LE(frame.rect.right, 249);
  EXPECT_EQ(frames.back().rect.right, 42 + 12 * (sim::TextDrawing::kCharWidth - 1) + 4);
}

TEST_F(TextEffectTest, HidingTheTargetDuringAWaitEndsTheCallWithTheBrushReleased) {
  runtime.post_at(100, [this] { target.visible = false; });
  run(&target, u"Talvorin 1.3", 12, 128, -1, true);  // a loop ends only so
  EXPECT_EQ(drawn().size(), 5U) << "frames from 0, 20, 40, 60 and 80 ms";
  EXPECT_EQ(drawing.calls().back().op, Op::DeleteBrush) << "nothing drawn after the hide";
  EXPECT_EQ(drawing.live_brushes(), 0U);
  EXPECT_EQ(runtime.now(), 100U);
}

TEST_F(TextEffectTest, MissingTargetOrMemberRaisesToTheCallerWithoutLeakingTheBrush) {
  EXPECT_THROW(run(nullptr, u"x", 12, 128, -1), core::Error);
  EXPECT_TRUE(drawing.calls_of(Op::CreateBrush).empty());

  target.lacks_scale_width = true;
  EXPECT_THROW(run(&target, u"x", 12, 128, -1), std::runtime_error);
  EXPECT_EQ(drawing.calls_of(Op::CreateBrush).size(), 1U);
  EXPECT_EQ(drawing.live_brushes(), 0U);
}

TEST_F(TextEffectTest, NestedCallRunsToItsEndInsideTheWaitAndLeavesItsRectangleToTheOuter) {
  Target inner;
  runtime.post_at(50, [&] { run(&inner, u"inner", 42, 3, 1); });
  run(&target, u"outer", 12, 128, -1);

  const auto fills = drawing.calls_of(Op::FillRect);
  const auto frames = drawn();
  // The inner call's frames come together, between the outer's third and fourth.
  std::size_t first_inner = 0;
  while (frames[first_inner].text != "inner") ++first_inner;
  std::size_t last_inner = first_inner;
  while (frames[last_inner + 1].text == "inner") ++last_inner;
  EXPECT_EQ(first_inner, 3U);
  EXPECT_GT(last_inner - first_inner + 1, 10U);
  EXPECT_EQ(frames[last_inner + 1].text, "outer");
  // The outer call goes on from the window's one rectangle as the inner left it.
  EXPECT_EQ(fills[last_inner + 1].rect, frames[last_inner].rect);
  EXPECT_EQ(frames[last_inner + 1].rect.top, 42);
  EXPECT_EQ(frames.size() - (last_inner - first_inner + 1), 137U) << "the outer's own course is unchanged";
  EXPECT_EQ(drawing.live_brushes(), 0U);
}

}  // namespace
}  // namespace talvorin
