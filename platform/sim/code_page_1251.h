#pragma once
// The Cyrillic ANSI code page 1251, whole: its table both ways and Windows'
// best fit for the characters it does not hold, so that a caption comes
// back from the simulated button as it does from the real one.

#include "platform/code_page.h"

namespace talvorin::sim {

class CodePage1251 final : public platform::AnsiCodePage {
 public:
  std::string encode(std::u16string_view text) const override;
  std::u16string decode(std::string_view bytes) const override;
};

}  // namespace talvorin::sim
