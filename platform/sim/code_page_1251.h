#pragma once
// The Cyrillic ANSI code page 1251, enough of it for the tests: ASCII, the
// Russian alphabet and a few signs; everything else becomes "?".

#include "core/ansi.h"

namespace talvorin::sim {

class CodePage1251 final : public core::AnsiCodePage {
 public:
  std::string encode(std::u16string_view text) const override;
  std::u16string decode(std::string_view bytes) const override;
};

}  // namespace talvorin::sim
