#include "core/text_effect.h"

#include <cmath>
#include <limits>

namespace talvorin::core {

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kRightMargin = 4;

std::int32_t saturating_add(std::int32_t value, std::int32_t delta) {
  const std::int64_t sum = static_cast<std::int64_t>(value) + delta;
  if (sum < kMin) return kMin;
  if (sum > kMax) return kMax;
  return static_cast<std::int32_t>(sum);
}

std::int32_t round_to_int32(double value) {
  const double rounded = std::nearbyint(value);  // the default mode rounds ties to even
  if (!(rounded >= kMin)) return kMin;           // NaN too
  if (rounded > kMax) return kMax;
  return static_cast<std::int32_t>(rounded);
}

}  // namespace

std::int32_t SpacingCourse::next_frame() {
  // The three tests look at the spacing the frame starts with.
  if (spacing_ < kTurnBelow && !loop_ && !bounced_) {
    bounced_ = true;
    step_ = 1;
    hold_ = spacing_ + 4;
  }
  if (spacing_ > kUpperLimit) step_ = -1;
  if (loop_ || step_ != 1) {
    spacing_ = saturating_add(spacing_, step_);
  } else if (spacing_ == end_) {
    running_ = false;
  } else {
    --hold_;
    if (hold_ <= 0) {
      ++spacing_;  // at most 129 here: the upper limit turns it back first
      hold_ = spacing_ + 4;
    }
  }
  return spacing_;
}

std::int32_t width_in_pixels(double scale_width_twips, double twips_per_pixel) {
  const std::int32_t twips = round_to_int32(scale_width_twips);
  std::int32_t per_pixel = round_to_int32(twips_per_pixel);
  if (per_pixel == 0) per_pixel = 1;
  if (per_pixel == -1 && twips == kMin) return kMax;  // the one quotient that overflows
  return twips / per_pixel;
}

std::int32_t drawn_right_edge(std::int32_t measured_right, std::int32_t target_width) {
  const std::int32_t right = saturating_add(measured_right, kRightMargin);
  return right > target_width ? target_width : right;
}

}  // namespace talvorin::core
