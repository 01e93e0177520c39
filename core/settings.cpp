#include "core/settings.h"

#include <limits>

#include "core/error.h"
#include "core/product.h"

namespace talvorin::core {

namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::optional<std::int16_t> parse_int16(std::u16string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  if (begin == end) return std::nullopt;

  bool negative = false;
  if (text[begin] == u'+' || text[begin] == u'-') {
    negative = text[begin] == u'-';
    ++begin;
  }
  if (begin == end) return std::nullopt;

  std::int32_t value = 0;
  for (std::size_t i = begin; i < end; ++i) {
    const char16_t c = text[i];
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > 32768) return std::nullopt;  // stop before a long text overflows
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

CheckState check_state_from(std::int16_t value) {
  if (value < 0 || value > 2) throw RangeError("a check box holds 0, 1 or 2");
  return static_cast<CheckState>(value);
}

CheckState startup_from_text(std::u16string_view text) {
  const auto value = parse_int16(text);
  if (!value || *value < 0 || *value > 2) return CheckState::Clear;
  return static_cast<CheckState>(*value);
}

std::u16string int16_to_text(std::int16_t value) {
  std::u16string digits;
  std::int32_t rest = value;
  const bool negative = rest < 0;
  if (negative) rest = -rest;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + rest % 10));
    rest /= 10;
  } while (rest != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

std::u16string caption_to_store(CheckState box, std::u16string_view text) {
  if (box == CheckState::Ticked) return std::u16string(text);
  return std::u16string(kFallbackCaption);
}

}  // namespace talvorin::core
