// The About animation's spacing course from any start, end and mode: the
// spacing moves by at most one pixel a frame, turns upward at most once, and
// a course that ends stops exactly at its end spacing. The pixel arithmetic
// beside it takes any width and scale without undefined behaviour.

#include <cstdlib>

#include "core/text_effect.h"
#include "tests/fuzz/fuzz_input.h"

using namespace talvorin;

namespace {

// Enough for every finite course from a start near 128 (8,780 frames for an
// end of 128); longer courses are followed this far.
constexpr int kMaxFrames = 20000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  // Most of the interesting courses start and end near the turn and the
  // upper limit; the low byte picks a value there, the rest any value.
  auto pick = [&input] {
    const auto raw = input.take<std::int32_t>();
    return (raw & 0x100) ? raw : static_cast<std::int8_t>(raw & 0xFF) + 64;
  };
  const std::int32_t start = pick();
  const std::int32_t end = pick();
  const bool loop = (input.take<std::uint8_t>() & 1) != 0;

  core::SpacingCourse course(start, end, loop);
  std::int64_t previous = start;
  int turns_up = 0;
  int direction = 0;
  std::int32_t drawn = start;
  for (int frame = 0; frame < kMaxFrames && course.running(); ++frame) {
    drawn = course.next_frame();
    const std::int64_t step = static_cast<std::int64_t>(drawn) - previous;
    FUZZ_CHECK(std::llabs(step) <= 1);
    if (step != 0) {
      const int now = step > 0 ? 1 : -1;
      if (now == 1 && direction == -1) ++turns_up;
      direction = now;
    }
    previous = drawn;
  }
  FUZZ_CHECK(turns_up <= 1);
  if (loop) FUZZ_CHECK(course.running());
  if (!course.running()) FUZZ_CHECK(drawn == end);

  const auto width = core::width_in_pixels(input.take<double>(), input.take<double>());
  const auto right = core::drawn_right_edge(input.take<std::int32_t>(), width);
  FUZZ_CHECK(right <= width);
  return 0;
}
