#include "core/text_effect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/product.h"

namespace talvorin::core {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// The spacings drawn until the course ends, or the first `cap` of them.
std::vector<std::int32_t> course(std::int32_t start, std::int32_t end, bool loop = false, std::size_t cap = 100000) {
  SpacingCourse spacing(start, end, loop);
  std::vector<std::int32_t> drawn;
  while (spacing.running() && drawn.size() < cap) drawn.push_back(spacing.next_frame());
  return drawn;
}

TEST(SpacingCourse, AboutWindowLineClosesUpThenSettlesAtMinusOne) {
  std::vector<std::int32_t> expected;
  for (std::int32_t s = 127; s >= -4; --s) expected.push_back(s);
  for (std::int32_t s : {-3, -2, -2, -1, -1}) expected.push_back(s);
  EXPECT_EQ(course(128, -1), expected);
}

TEST(SpacingCourse, FrameCountsOfFiniteCourses) {
  struct Case {
    std::int32_t start, end;
    std::size_t frames;
  };
  const Case cases[] = {
      {128, -4, 133},  // the turn frame draws -4 once more and ends
      {128, 10, 225}, {5, 5, 47}, {-4, -4, 1}, {-9, -9, 1}, {200, -1, 137 + 72},  // the descent simply starts higher
  };
  for (const Case& c : cases) EXPECT_EQ(course(c.start, c.end).size(), c.frames) << c.start << " -> " << c.end;

  const std::vector<std::int32_t> to_ten = course(128, 10);
  EXPECT_EQ(std::vector<std::int32_t>(to_ten.end() - 15, to_ten.end()),
            (std::vector<std::int32_t>{9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 10, 10}));
  EXPECT_EQ(course(-9, -9), std::vector<std::int32_t>{-9});
}

TEST(SpacingCourse, FrameCountFollowsTheFormulaForEveryReachableEnd) {
  for (std::int32_t e = -3; e <= 128; ++e) {
    const std::int32_t expected = 132 + (e + 3) * (e + 4) / 2 + 2;
    ASSERT_EQ(course(128, e).size(), static_cast<std::size_t>(expected)) << "end " << e;
  }
}

TEST(SpacingCourse, EndsTheRiseNeverMeetsFallForever) {
  for (const std::int32_t end : {-5, 129, 1000}) {
    const std::vector<std::int32_t> drawn = course(128, end, false, 20000);
    ASSERT_EQ(drawn.size(), 20000U) << "end " << end;
    // Up to 129, turned back by the upper limit, then down for good.
    EXPECT_EQ(*std::max_element(drawn.begin() + 200, drawn.end()), 129) << "end " << end;
    EXPECT_EQ(drawn.back(), drawn[drawn.size() - 2] - 1) << "end " << end;
  }
  // A start below the turn rises one per frame from its first frame on.
  const std::vector<std::int32_t> low = course(-7, -20, false, 5);
  EXPECT_EQ(low, (std::vector<std::int32_t>{-6, -5, -4, -3, -2}));
}

TEST(SpacingCourse, LoopNeverTurns) {
  const std::vector<std::int32_t> drawn = course(3, 3, true, 12);
  for (std::size_t i = 0; i < drawn.size(); ++i) EXPECT_EQ(drawn[i], 2 - static_cast<std::int32_t>(i));
}

TEST(SpacingCourse, SpacingSaturatesInsteadOfWrapping) {
  SpacingCourse spacing(kMin + 2, 0, true);
  EXPECT_EQ(spacing.next_frame(), kMin + 1);
  EXPECT_EQ(spacing.next_frame(), kMin);
  EXPECT_EQ(spacing.next_frame(), kMin);
  // From the very top the upper limit turns it down in the first frame.
  EXPECT_EQ(course(std::numeric_limits<std::int32_t>::max(), 0, false, 1).front(),
            std::numeric_limits<std::int32_t>::max() - 1);
}

TEST(FramePacing, ElapsedAndRemainingAcrossTheClockWrap) {
  struct Case {
    std::uint32_t start, now, elapsed, remaining;
  };
  const Case cases[] = {
      {1000, 1000, 0, 20},
      {1000, 1019, 19, 1},
      {1000, 1020, 20, 0},
      {1000, 1500, 500, 0},
      {0xFFFFFFF6, 0x00000004, 14, 6},  // the clock wrapped mid-frame
      {0x7FFFFFF6, 0x80000004, 14, 6},  // and where a signed difference would turn negative
  };
  for (const Case& c : cases) {
    EXPECT_EQ(frame_elapsed(c.now, c.start), c.elapsed) << c.start;
    EXPECT_EQ(frame_remaining(c.now, c.start), c.remaining) << c.start;
  }
}

TEST(TextRectangle, WidthInPixelsAndTheClippedRightEdge) {
  EXPECT_EQ(width_in_pixels(3735, 15), 249);  // 249 pixels of client at 96 dpi
  EXPECT_EQ(width_in_pixels(3744, 12), 312);
  EXPECT_EQ(width_in_pixels(3744.5, 15), 249);  // 3744.5 rounds to 3744, not 3745
  EXPECT_EQ(width_in_pixels(100, 2.5), 50);     // 2.5 rounds to 2
  EXPECT_EQ(width_in_pixels(100, 0.4), 100);    // no division by zero

  EXPECT_EQ(drawn_right_edge(100, 249), 104);
  EXPECT_EQ(drawn_right_edge(246, 249), 249);
  EXPECT_EQ(drawn_right_edge(std::numeric_limits<std::int32_t>::max() - 1, std::numeric_limits<std::int32_t>::max()),
            std::numeric_limits<std::int32_t>::max());
}

TEST(AboutTitle, VersionNumbersAsPlainDecimals) {
  EXPECT_EQ(about_title(1, 3), u"Talvorin 1.3") << "not 1.03, whatever the version strings say";
  EXPECT_EQ(about_title(1, 30), u"Talvorin 1.30");
  EXPECT_EQ(about_title(12, 0), u"Talvorin 12.0");
}

}  // namespace
}  // namespace talvorin::core
