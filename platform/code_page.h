#pragma once
// The system's ANSI code page, as the one place where program text (UTF-16)
// meets the narrow calls of the shell.

#include <string>
#include <string_view>

namespace talvorin::platform {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // Characters the code page cannot hold become its substitute.
  virtual std::string encode(std::u16string_view text) const = 0;
  virtual std::u16string decode(std::string_view bytes) const = 0;
};

}  // namespace talvorin::platform
