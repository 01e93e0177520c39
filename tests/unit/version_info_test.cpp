#include "core/version_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace talvorin::core {
namespace {

struct Block {
  std::u16string key = u"VS_VERSION_INFO";
  std::uint16_t value_length = 52;
  std::uint32_t signature = 0xFEEF04BD;
  std::uint32_t version_high = 0x00010003;
  std::size_t trailing = 0;  // child blocks after the fixed part
};

// A version block as the resource compiler lays it out.
std::vector<std::uint8_t> bytes_of(const Block& b) {
  std::vector<std::uint8_t> out;
  const auto word = [&out](std::uint32_t w) {
    out.push_back(static_cast<std::uint8_t>(w));
    out.push_back(static_cast<std::uint8_t>(w >> 8));
  };
  const auto dword = [&word](std::uint32_t d) {
    word(d & 0xFFFF);
    word(d >> 16);
  };
  word(0);  // the length, filled in at the end
  word(b.value_length);
  word(0);
  for (const char16_t c : b.key) word(c);
  word(0);
  while (out.size() % 4 != 0) out.push_back(0);
  dword(b.signature);
  dword(0x00010000);
  dword(b.version_high);
  dword(0x00000007);  // the low double word: build and revision, not read
  for (int i = 0; i < 9; ++i) dword(0);
  out.resize(out.size() + b.trailing, 0xAB);
  out[0] = static_cast<std::uint8_t>(out.size());
  out[1] = static_cast<std::uint8_t>(out.size() >> 8);
  return out;
}

TEST(FileVersion, ReadFromTheFixedPartOfAVersionBlock) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::optional<FileVersion> version;
  };
  const std::vector<std::uint8_t> good = bytes_of({});
  std::vector<std::uint8_t> longer_than_given = good;
  longer_than_given[0] = static_cast<std::uint8_t>(good.size() + 4);
  std::vector<std::uint8_t> shorter_than_fixed = good;
  shorter_than_fixed[0] = 60;
  const Case cases[] = {
      {"the program's own", good, FileVersion{1, 3}},
      {"with string blocks after it", bytes_of({.trailing = 400}), FileVersion{1, 3}},
      {"numbers in full", bytes_of({.version_high = 0xFFFF0000}), FileVersion{65535, 0}},
      {"a key other than the version block's", bytes_of({.key = u"VS_VERSION_INFX"}), std::nullopt},
      {"a key cut short", bytes_of({.key = u"VS_VERSION"}), std::nullopt},
      {"no fixed part", bytes_of({.value_length = 0}), std::nullopt},
      {"a fixed part of another signature", bytes_of({.signature = 0xFEEF04BE}), std::nullopt},
      {"a length beyond the bytes", longer_than_given, std::nullopt},
      {"a length that ends inside the fixed part", shorter_than_fixed, std::nullopt},
      {"nothing", {}, std::nullopt},
      {"a header alone", std::vector<std::uint8_t>(good.begin(), good.begin() + 6), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(file_version_of(c.bytes), c.version) << c.what;
  // Cut anywhere short of its end, the block is never read past what is there.
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(file_version_of(std::span(good).first(cut)), std::nullopt) << "cut at " << cut;
  }
}

}  // namespace
}  // namespace talvorin::core
