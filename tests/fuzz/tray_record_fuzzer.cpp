// The record handed to the shell, from any tooltip and any handles, in both
// layouts: it is exactly the layout's size, each field holds its value at
// its offset, and the tip never runs past its 64 bytes.

#include <algorithm>
#include <cstdint>

#include "core/tray_record.h"
#include "platform/ports.h"
#include "platform/sim/code_page_1251.h"
#include "tests/fuzz/fuzz_input.h"

using namespace talvorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const core::TrayRecordLayout& layout = (input.take<std::uint8_t>() & 1) ? core::kTrayLayout64 : core::kTrayLayout32;
  const auto owner = input.take<std::uint64_t>();
  const auto icon = input.take<std::uint64_t>();
  const std::u16string tip = input.rest_as_text();

  core::TrayIcon record;
  record.fill_for_add(owner, icon, tip);
  static const sim::CodePage1251 code_page;
  const core::TrayRecordBytes bytes = platform::tray_record(record, code_page, layout);

  const std::uint64_t mask = layout.handle_width == 8 ? ~std::uint64_t{0} : 0xFFFFFFFFU;
  FUZZ_CHECK(bytes.size() == layout.size);
  FUZZ_CHECK(bytes.field(0, 4) == layout.size);
  FUZZ_CHECK(bytes.field(layout.hwnd, layout.handle_width) == (owner & mask));
  FUZZ_CHECK(bytes.field(layout.icon, layout.handle_width) == (icon & mask));
  FUZZ_CHECK(bytes.field(layout.id, 4) == core::kTrayIconId);
  FUZZ_CHECK(bytes.field(layout.callback_message, 4) == core::kTrayCallbackMessage);

  // The tip: the text as the code page carries it, cut to 64 characters,
  // then one NUL where it is shorter; nothing written past the field.
  const std::size_t shown = std::min(tip.size(), core::kTrayTipLength);
  const std::string expected = code_page.encode(std::u16string_view(tip).substr(0, shown));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    FUZZ_CHECK(bytes[layout.tip + i] == static_cast<std::uint8_t>(expected[i]));
  }
  if (shown < core::kTrayTipLength) FUZZ_CHECK(bytes[layout.tip + shown] == 0);
  for (std::size_t i = layout.tip + core::kTrayTipLength; i < layout.size; ++i) FUZZ_CHECK(bytes[i] == 0);
  return 0;
}
