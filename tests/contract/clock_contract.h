#pragma once
// The cases every Clock adapter passes: timeGetTime under Wine, the headless
// runtime's clock on the host. The effect's frames and the About window's
// scenarios count time by it.

#include <cstdint>
#include <string>

#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

class ClockUnderTest {
 public:
  virtual ~ClockUnderTest() = default;
  virtual platform::Clock& clock() = 0;
  // Lets at least this many milliseconds pass.
  virtual void wait(std::uint32_t ms) = 0;
};

// How far the clock may lag behind a wait: timeGetTime is as coarse as the
// system's timer, which Windows runs at 15.6 ms unless a program asks for
// finer; GetTickCount, which stands in without winmm, is no finer.
inline constexpr std::uint32_t kClockCoarseness = 16;
// How far it may run ahead: a busy machine wakes a sleeper late.
inline constexpr std::uint32_t kClockLateWake = 2000;

// The clock counts the milliseconds that pass, never backwards; the
// difference of two reads is taken modulo 2^32, as the callers take it.
inline void clock_counts_milliseconds(ClockUnderTest& under_test) {
  using testing::check;
  for (const std::uint32_t wait : {0U, 40U, 250U}) {
    const std::uint32_t before = under_test.clock().milliseconds();
    under_test.wait(wait);
    const std::uint32_t passed = under_test.clock().milliseconds() - before;
    check(passed + kClockCoarseness >= wait && passed <= wait + kClockLateWake,
          "a wait of " + std::to_string(wait) + " ms read as " + std::to_string(passed) + " ms");
  }
}

}  // namespace talvorin::contract
