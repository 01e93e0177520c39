// The stored "StartUp" text, whatever a registry editor or another program
// put there: it becomes one of the three box states, and every number read
// is written back as the same number.

#include "core/settings.h"
#include "tests/fuzz/fuzz_input.h"

using namespace talvorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const std::u16string text = input.rest_as_text();

  const core::CheckState state = core::startup_from_text(text);
  const auto value = core::parse_int16(text);
  FUZZ_CHECK(state == core::CheckState::Clear || state == core::CheckState::Ticked ||
             state == core::CheckState::Grayed);
  if (value && *value >= 0 && *value <= 2) {
    FUZZ_CHECK(static_cast<std::int16_t>(state) == *value);
  } else {
    FUZZ_CHECK(state == core::CheckState::Clear);
  }
  if (value) FUZZ_CHECK(core::parse_int16(core::int16_to_text(*value)) == value);
  return 0;
}
