#pragma once
// Turning a fuzzer's bytes into the inputs the program meets: UTF-16 texts,
// floats and handles, taken from the front of the data.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace talvorin::fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t left() const { return size_ - used_; }

  template <typename T>
  T take() {
    T value{};
    const std::size_t n = left() < sizeof value ? left() : sizeof value;
    if (n > 0) std::memcpy(&value, data_ + used_, n);
    used_ += n;
    return value;
  }

  // Everything that is left, as UTF-16 code units (lone surrogates included).
  std::u16string rest_as_text() {
    std::u16string text;
    while (left() > 0) text += static_cast<char16_t>(take<std::uint16_t>());
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t used_ = 0;
};

}  // namespace talvorin::fuzz

// A failed invariant ends the run where the fuzzer sees it, in every build.
#define FUZZ_CHECK(condition)           \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (false)
