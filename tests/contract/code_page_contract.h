#pragma once
// The cases every adapter of the Cyrillic code page 1251 passes: the Win32
// one under Wine in a Russian locale, and the simulated one that every
// handler scenario writes its captions and tray tips through. The
// expectations are those of Microsoft's table for the code page and its
// best fit.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

// The characters of the bytes 0x80 to 0xFF.
inline constexpr std::u16string_view kCodePage1251HighHalf =
    u"\u0402\u0403\u201A\u0453\u201E\u2026\u2020\u2021\u20AC\u2030\u0409\u2039\u040A\u040C\u040B\u040F"
    u"\u0452\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u0098\u2122\u0459\u203A\u045A\u045C\u045B\u045F"
    u"\u00A0\u040E\u045E\u0408\u00A4\u0490\u00A6\u00A7\u0401\u00A9\u0404\u00AB\u00AC\u00AD\u00AE\u0407"
    u"\u00B0\u00B1\u0406\u0456\u0491\u00B5\u00B6\u00B7\u0451\u2116\u0454\u00BB\u0458\u0405\u0455\u0457"
    u"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя";

// Every byte decodes to its character of the table, and that character
// encodes back to the byte.
inline void code_page_1251_table(const platform::AnsiCodePage& code_page) {
  using testing::check_equal;
  using testing::show;
  std::string every_byte;
  std::u16string characters;
  for (int byte = 0; byte < 0x100; ++byte) {
    every_byte += static_cast<char>(byte);
    characters += byte < 0x80 ? static_cast<char16_t>(byte) : kCodePage1251HighHalf[byte - 0x80];
  }
  const std::u16string decoded = code_page.decode(every_byte);
  const std::string encoded = code_page.encode(characters);
  if (!check_equal(decoded.size(), characters.size(), "one character a byte")) return;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const std::string byte = show(every_byte.substr(i, 1));
    check_equal(show(std::u16string(1, decoded[i])), show(std::u16string(1, characters[i])), "decoded " + byte);
    check_equal(show(encoded.substr(i, 1)), byte, "encoded back to " + byte);
  }
}

// Over the whole first plane but the surrogates, the bytes each character
// becomes: this digest of them sums up the best fit of Microsoft's table
// (checked against Wine's, which is generated from it).
inline constexpr std::uint64_t kCodePage1251FirstPlaneDigest = 0x11a237acffc56de9;

inline std::uint64_t fnv1a(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3;
  return hash;
}

// What the code page cannot carry: its best fit where it has one, else "?".
inline void code_page_1251_substitutes(const platform::AnsiCodePage& code_page) {
  using testing::check_equal;
  using testing::show;
  struct Row {
    std::u16string_view text;
    std::string_view bytes;
  };
  const Row rows[] = {
      {u"Café Ångström", "Cafe Angstrom"},    // Latin letters lose their marks
      {u"\u0141\u00F3d\u017A", "Lodz"},       // also beyond Latin-1
      {u"\u01CD\u01F0", "Aj"},                // and in Latin Extended-B
      {u"\uFF34\uFF41\uFF4C\uFF01", "Tal!"},  // full-width forms
      {u"\u2190\u2192\u2500\u2502", "<>-\xA6"},
      {u"\u266A\u203C\u263A", "d!O"},
      {u"\u00DF\u00C6\u00BD\u00B2", "????"},  // none: no "ss", "AE" or "1/2"
      {u"\u03B1\u05D0\u0627", "???"},         // other scripts
      {u"\u4E2D\u2603\u0301\uFFFD", "????"},
      {u"\u0080\u0081\u009F", "???"},  // control characters the table leaves out
  };
  for (const Row& row : rows) {
    check_equal(show(code_page.encode(row.text)), show(row.bytes), "encoded " + show(row.text));
  }
  std::u16string first_plane;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) first_plane += static_cast<char16_t>(c);
  }
  const std::string bytes = code_page.encode(first_plane);
  check_equal(bytes.size(), first_plane.size(), "one byte a character");
  check_equal(fnv1a(bytes), kCodePage1251FirstPlaneDigest, "the whole first plane as Microsoft's table has it");
}

}  // namespace talvorin::contract
