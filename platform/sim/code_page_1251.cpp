#include "platform/sim/code_page_1251.h"

#include <array>
#include <utility>

namespace talvorin::sim {

namespace {

// The high half of the code page outside the alphabet block 0xC0..0xFF.
constexpr std::array<std::pair<char16_t, unsigned char>, 6> kExtras{{
    {u'\u0401', 0xA8},  // Ё
    {u'\u0451', 0xB8},  // ё
    {u'\u00AB', 0xAB},  // «
    {u'\u00BB', 0xBB},  // »
    {u'\u2116', 0xB9},  // №
    {u'\u00A0', 0xA0},
}};

}  // namespace

std::string CodePage1251::encode(std::u16string_view text) const {
  std::string bytes;
  bytes.reserve(text.size());
  for (const char16_t c : text) {
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c >= u'\u0410' && c <= u'\u044F') {
      bytes += static_cast<char>(0xC0 + (c - u'\u0410'));
    } else {
      char out = '?';
      for (const auto& [wide, narrow] : kExtras) {
        if (wide == c) out = static_cast<char>(narrow);
      }
      bytes += out;
    }
  }
  return bytes;
}

std::u16string CodePage1251::decode(std::string_view bytes) const {
  std::u16string text;
  text.reserve(bytes.size());
  for (const char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    if (byte < 0x80) {
      text += static_cast<char16_t>(byte);
    } else if (byte >= 0xC0) {
      text += static_cast<char16_t>(u'\u0410' + (byte - 0xC0));
    } else {
      char16_t out = u'?';
      for (const auto& [wide, narrow] : kExtras) {
        if (narrow == byte) out = wide;
      }
      text += out;
    }
  }
  return text;
}

}  // namespace talvorin::sim
