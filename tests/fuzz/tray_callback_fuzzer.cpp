// The tray callback as the forms see it: any x in twips and any scale,
// NaN, infinities and denormals included. It decodes to a message without
// undefined behaviour, acts only on the two button-up messages, and a call
// that arrives while another acts does nothing.

#include "core/tray_callback.h"
#include "tests/fuzz/fuzz_input.h"

using namespace talvorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  core::TrayCallbackState state;
  while (input.left() > 0) {
    const auto x = input.take<float>();
    const auto scale = input.take<float>();
    const bool leave = (input.take<std::uint8_t>() & 1) != 0;

    const bool was_busy = state.busy();
    const auto action = state.enter(x, scale);
    const std::int32_t message = core::decode_tray_message(x, scale);
    FUZZ_CHECK(state.last_message() == message);
    FUZZ_CHECK(state.busy());
    if (was_busy) {
      FUZZ_CHECK(!action.has_value());
    } else {
      FUZZ_CHECK(action == core::tray_action_for(message));
      FUZZ_CHECK((*action == core::TrayAction::ShowWindow) == (message == 0x202));
      FUZZ_CHECK((*action == core::TrayAction::PopupMenu) == (message == 0x205));
    }
    if (leave) state.leave();
  }
  return 0;
}
