#include "platform/sim/code_page_1251.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

namespace talvorin::sim {

namespace {

// The characters of the bytes 0x80 to 0xBF. 0xC0 to 0xFF hold the Russian
// alphabet in order; 0x98 holds no character and stands for U+0098.
constexpr std::u16string_view kHighBytes =
    u"\u0402\u0403\u201A\u0453\u201E\u2026\u2020\u2021"   // 80
    u"\u20AC\u2030\u0409\u2039\u040A\u040C\u040B\u040F"   // 88
    u"\u0452\u2018\u2019\u201C\u201D\u2022\u2013\u2014"   // 90
    u"\u0098\u2122\u0459\u203A\u045A\u045C\u045B\u045F"   // 98
    u"\u00A0\u040E\u045E\u0408\u00A4\u0490\u00A6\u00A7"   // A0
    u"\u0401\u00A9\u0404\u00AB\u00AC\u00AD\u00AE\u0407"   // A8
    u"\u00B0\u00B1\u0406\u0456\u0491\u00B5\u00B6\u00B7"   // B0
    u"\u0451\u2116\u0454\u00BB\u0458\u0405\u0455\u0457";  // B8
constexpr unsigned char kFirstHighByte = 0x80;
constexpr unsigned char kAlphabetByte = 0xC0;
constexpr char16_t kAlphabet = u'\u0410';
constexpr char16_t kAlphabetEnd = u'\u0450';

// Windows' best fit, which WideCharToMultiByte uses with its default
// flags: a Latin letter loses its marks, a full-width form becomes its
// ASCII one, arrows, box lines and a few signs their nearest look-alike;
// everything else becomes "?". The Latin letters from U+00C0 on, one byte
// for each:
constexpr char16_t kFirstLatin = u'\u00C0';
constexpr std::string_view kLatinFits =
    "AAAAAA?CEEEEIIII?NOOOOO?OUUUUY??aaaaaa?ceeeeiiii?nooooo?ouuuuy?y"  // U+00C0
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiI???JjKk?LlLlLl?"  // U+0100
    "?LlNnNnNn???OoOoOo??RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZz?"  // U+0140
    "b??????????????????????I??l????OOo?????????t??TUu???????????????"  // U+0180
    "?????????????AaIiOoUuUuUuUuUu?Aa????GgGgKkOoOo??j";                // U+01C0
constexpr char16_t kFirstFullWidth = u'\uFF01';
constexpr char16_t kLastFullWidth = u'\uFF5E';
constexpr char16_t kFullWidthOffset = 0xFEE0;
// The signs, in the order of their code.
constexpr std::pair<char16_t, char> kSignFits[] = {
    {u'\u203C', '!'},    {u'\u2190', '<'},    {u'\u2191', '^'},    {u'\u2192', '>'},    {u'\u2193', 'v'},
    {u'\u2194', '-'},    {u'\u2195', '\xA6'}, {u'\u21A8', '\xA6'}, {u'\u2219', '\x95'}, {u'\u221A', 'v'},
    {u'\u221F', 'L'},    {u'\u2302', '\xA6'}, {u'\u2500', '-'},    {u'\u2502', '\xA6'}, {u'\u250C', '-'},
    {u'\u2510', '\xAC'}, {u'\u2514', 'L'},    {u'\u2518', '-'},    {u'\u251C', '+'},    {u'\u2524', '+'},
    {u'\u252C', 'T'},    {u'\u2534', '+'},    {u'\u253C', '+'},    {u'\u2550', '='},    {u'\u2551', '\xA6'},
    {u'\u2552', '-'},    {u'\u2553', '\xE3'}, {u'\u2554', '\xE3'}, {u'\u2555', '\xAC'}, {u'\u2556', '\xAC'},
    {u'\u2557', '\xAC'}, {u'\u2558', 'L'},    {u'\u2559', 'L'},    {u'\u255A', 'L'},    {u'\u255B', '-'},
    {u'\u255C', '-'},    {u'\u255D', '-'},    {u'\u255E', '\xA6'}, {u'\u255F', '\xA6'}, {u'\u2560', '\xA6'},
    {u'\u2561', '\xA6'}, {u'\u2562', '\xA6'}, {u'\u2563', '\xA6'}, {u'\u2564', 'T'},    {u'\u2565', 'T'},
    {u'\u2566', 'T'},    {u'\u2567', '\xA6'}, {u'\u2568', '\xA6'}, {u'\u2569', '\xA6'}, {u'\u256A', '+'},
    {u'\u256B', '+'},    {u'\u256C', '+'},    {u'\u2580', '-'},    {u'\u2584', '-'},    {u'\u2588', '-'},
    {u'\u258C', '\xA6'}, {u'\u2590', '\xA6'}, {u'\u2591', '-'},    {u'\u2592', '-'},    {u'\u2593', '-'},
    {u'\u25A0', '\xA6'}, {u'\u25AC', '-'},    {u'\u25B2', '^'},    {u'\u25BA', '>'},    {u'\u25BC', '\xA1'},
    {u'\u25C4', '<'},    {u'\u25CB', '0'},    {u'\u25D8', '\x95'}, {u'\u25D9', '0'},    {u'\u263A', 'O'},
    {u'\u263B', 'O'},    {u'\u263C', '0'},    {u'\u2640', '+'},    {u'\u2642', '>'},    {u'\u2660', '\xA6'},
    {u'\u2663', '\xA6'}, {u'\u2665', '\xA6'}, {u'\u2666', '\xA6'}, {u'\u266A', 'd'},    {u'\u266B', 'd'},
};
constexpr char kDefaultCharacter = '?';

char encode_one(char16_t c) {
  if (c < kFirstHighByte) return static_cast<char>(c);
  if (c >= kAlphabet && c < kAlphabetEnd) return static_cast<char>(kAlphabetByte + (c - kAlphabet));
  if (const std::size_t at = kHighBytes.find(c); at != std::u16string_view::npos) {
    return static_cast<char>(kFirstHighByte + at);
  }
  if (c >= kFirstLatin && std::size_t{c} - kFirstLatin < kLatinFits.size()) return kLatinFits[c - kFirstLatin];
  if (c >= kFirstFullWidth && c <= kLastFullWidth) return static_cast<char>(c - kFullWidthOffset);
  const auto sign =
      std::lower_bound(std::begin(kSignFits), std::end(kSignFits), c,
                       [](const std::pair<char16_t, char>& fit, char16_t key) { return fit.first < key; });
  return sign != std::end(kSignFits) && sign->first == c ? sign->second : kDefaultCharacter;
}

}  // namespace

std::string CodePage1251::encode(std::u16string_view text) const {
  std::string bytes;
  bytes.reserve(text.size());
  for (const char16_t c : text) bytes += encode_one(c);
  return bytes;
}

std::u16string CodePage1251::decode(std::string_view bytes) const {
  std::u16string text;
  text.reserve(bytes.size());
  for (const char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    if (byte < kFirstHighByte) {
      text += static_cast<char16_t>(byte);
    } else if (byte >= kAlphabetByte) {
      text += static_cast<char16_t>(kAlphabet + (byte - kAlphabetByte));
    } else {
      text += kHighBytes[byte - kFirstHighByte];
    }
  }
  return text;
}

}  // namespace talvorin::sim
