#pragma once
// The arithmetic of the About window's letter-spacing animation: the course
// of the spacing frame by frame, the frame pacing on a wrapping millisecond
// clock, and the right edge of what a frame draws.

#include <cstdint>

namespace talvorin::core {

// The spacing closes up one pixel per frame from the start, turns once it
// has gone below -3, then opens out ever more slowly (a spacing s from -3
// up is drawn in s + 4 frames) until a frame begins at the end spacing. That
// frame is the last. An end the rise never meets (below the turn, above
// 128) or loop mode gives a course without end.
//
// The spacing saturates at the limits of 32 bits instead of wrapping: a
// course without end falls one pixel per frame, and after 2^31 frames it
// stays at the lowest spacing rather than jumping to the highest.
class SpacingCourse {
 public:
  static constexpr std::int32_t kTurnBelow = -3;
  static constexpr std::int32_t kUpperLimit = 128;

  SpacingCourse(std::int32_t start_spacing, std::int32_t end_spacing, bool loop)
      : spacing_(start_spacing), end_(end_spacing), loop_(loop) {}

  // Whether another frame is to be drawn.
  bool running() const { return running_; }
  // Moves to the next frame and gives the spacing it draws. Once the end is
  // reached, running() turns false after the frame that drew it.
  std::int32_t next_frame();

  std::int32_t spacing() const { return spacing_; }

 private:
  std::int32_t spacing_;
  std::int32_t end_;
  bool loop_;
  std::int32_t step_ = -1;
  bool bounced_ = false;
  std::int32_t hold_ = 0;
  bool running_ = true;
};

// A frame lasts at least this long, counted from its start.
inline constexpr std::uint32_t kFrameMs = 20;

// Milliseconds since the frame began. The clock wraps every 49.7 days; the
// unsigned difference stays right across the wrap.
constexpr std::uint32_t frame_elapsed(std::uint32_t now, std::uint32_t frame_start) { return now - frame_start; }

// How long the wait may still sleep before the frame is due; 0 once it is.
constexpr std::uint32_t frame_remaining(std::uint32_t now, std::uint32_t frame_start) {
  const std::uint32_t elapsed = frame_elapsed(now, frame_start);
  return elapsed >= kFrameMs ? 0 : kFrameMs - elapsed;
}

// The width of the target in whole pixels: its width in twips over the
// screen's twips per pixel, each rounded to a whole number (ties to even),
// the quotient truncated. Twips per pixel that round to 0 (a screen of more
// than 2880 dots per inch) count as 1 rather than divide by zero.
std::int32_t width_in_pixels(double scale_width_twips, double twips_per_pixel);

// The measured text's right edge with the margin that the next frame's erase
// must cover, kept at most at the target's width. Saturates, never wraps.
std::int32_t drawn_right_edge(std::int32_t measured_right, std::int32_t target_width);

}  // namespace talvorin::core
