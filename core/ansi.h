#pragma once
// The system's ANSI code page, as the one place where program text (UTF-16)
// meets the narrow calls of the shell.

#include <string>
#include <string_view>

namespace talvorin::core {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // Characters the code page cannot hold become its substitute.
  virtual std::string encode(std::u16string_view text) const = 0;
  virtual std::u16string decode(std::string_view bytes) const = 0;
};

// What a text looks like after a trip through the code page and back.
inline std::u16string round_trip(const AnsiCodePage& code_page, std::u16string_view text) {
  return code_page.decode(code_page.encode(text));
}

}  // namespace talvorin::core
