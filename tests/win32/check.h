#pragma once
// A small test harness for the Win32 test programs, which run under Wine
// where no test framework of the host is at hand. Cases register
// themselves; a failed check prints where and what, and the program's exit
// code says whether everything passed.

#include <concepts>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#include <version>
#if defined(__cpp_lib_source_location)
#include <source_location>
#endif

namespace talvorin::testing {

#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
// clang before 15 cannot compile the standard library's source_location,
// and the static checks read these tests with clang: where a failed check
// stands is then unknown to them, which is all they lose.
struct SourceLocation {
  static constexpr SourceLocation current() { return {}; }
  constexpr const char* file_name() const { return "?"; }
  constexpr unsigned line() const { return 0; }
};
#endif

struct Case {
  const char* name;
  std::function<void()> body;
};

inline std::vector<Case>& cases() {
  static std::vector<Case> all;
  return all;
}

inline int& failures() {
  static int count = 0;
  return count;
}

struct Register {
  Register(const char* name, std::function<void()> body) { cases().push_back({name, std::move(body)}); }
};

// Printable form of a UTF-16 text: ASCII as it is, the rest as \uXXXX, and
// long texts by their length and ends.
inline std::string show(std::u16string_view text) {
  if (text.size() > 40) {
    return "<" + std::to_string(text.size()) + " chars: " + show(text.substr(0, 8)) + "..." +
           show(text.substr(text.size() - 8)) + ">";
  }
  std::string out = "u\"";
  for (const char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out + "\"";
}

inline std::string show(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof(buffer), "\\x%02X", byte);
      out += buffer;
    }
  }
  return out + "\"";
}

template <typename T>
requires std::integral<T> &&(!std::same_as<T, bool>)std::string show(T value) { return std::to_string(value); }
inline std::string show(double value) { return std::to_string(value); }
// Exactly bool: a string literal must not become one.
template <std::same_as<bool> T>
std::string show(T value) {
  return value ? "true" : "false";
}

inline void fail(std::string_view what, const std::string& detail, SourceLocation where) {
  ++failures();
  std::printf("  FAILED %s:%u: %.*s%s\n", where.file_name(), static_cast<unsigned>(where.line()),
              static_cast<int>(what.size()), what.data(), detail.c_str());
  std::fflush(stdout);
}

inline bool check(bool ok, std::string_view what, SourceLocation where = SourceLocation::current()) {
  if (!ok) fail(what, "", where);
  return ok;
}

template <typename A, typename B>
bool check_equal(const A& actual, const B& expected, std::string_view what,
                 SourceLocation where = SourceLocation::current()) {
  if (actual == expected) return true;
  fail(what, ": got " + show(actual) + ", want " + show(expected), where);
  return false;
}

inline int run_all() {
  for (const Case& test : cases()) {
    std::printf("[ RUN  ] %s\n", test.name);
    std::fflush(stdout);
    const int before = failures();
    test.body();
    std::printf("[ %s ] %s\n", failures() == before ? " OK " : "FAIL", test.name);
  }
  std::printf("%zu cases, %d failed checks\n", cases().size(), failures());
  return failures() == 0 ? 0 : 1;
}

}  // namespace talvorin::testing
