#include "core/settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvorin::core {
namespace {

TEST(StartUpText, AcceptsPlainNumbersAndRefusesEverythingElse) {
  struct Case {
    std::u16string text;
    std::optional<std::int16_t> number;
    CheckState box;
  };
  const Case cases[] = {
      {u"0", 0, CheckState::Clear},
      {u"1", 1, CheckState::Ticked},
      {u"2", 2, CheckState::Grayed},
      {u" 1 ", 1, CheckState::Ticked},
      {u"\t2", 2, CheckState::Grayed},
      {u"+1", 1, CheckState::Ticked},
      {u"-0", 0, CheckState::Clear},
      {u"001", 1, CheckState::Ticked},
      {u"3", 3, CheckState::Clear},
      {u"-1", -1, CheckState::Clear},
      {u"32767", 32767, CheckState::Clear},
      {u"-32768", -32768, CheckState::Clear},
      {u"32768", std::nullopt, CheckState::Clear},
      {u"-32769", std::nullopt, CheckState::Clear},
      {u"99999999999999999999999", std::nullopt, CheckState::Clear},
      {u"", std::nullopt, CheckState::Clear},
      {u"   ", std::nullopt, CheckState::Clear},
      {u"abc", std::nullopt, CheckState::Clear},
      {u"1abc", std::nullopt, CheckState::Clear},
      {u"1.0", std::nullopt, CheckState::Clear},
      {u"1 1", std::nullopt, CheckState::Clear},
      {u"+", std::nullopt, CheckState::Clear},
      {u"--1", std::nullopt, CheckState::Clear},
      {u"\uFF11", std::nullopt, CheckState::Clear},  // a full-width digit one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    EXPECT_EQ(parse_int16(c.text), c.number);
    EXPECT_EQ(startup_from_text(c.text), c.box);
  }
}

TEST(StartUpText, WritesDecimalWithoutLeadingBlankAndReadsItBack) {
  const std::pair<std::int16_t, std::u16string> cases[] = {
      {0, u"0"}, {1, u"1"}, {2, u"2"}, {-1, u"-1"}, {32767, u"32767"}, {-32768, u"-32768"}, {120, u"120"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(int16_to_text(value), text);
    EXPECT_EQ(parse_int16(int16_to_text(value)), value);
  }
}

// While the box is not ticked the program stores a caption of its own, the
// text as the user sees it (not the constant it is kept in).
TEST(StoredCaption, KeptOnlyWhileTheBoxIsTicked) {
  struct Case {
    CheckState box;
    std::u16string_view typed, stored;
  };
  const Case cases[] = {
      {CheckState::Ticked, u"Пуск", u"Пуск"},
      {CheckState::Ticked, u"", u""},
      {CheckState::Clear, u"Пуск!", u"Жми"},
      {CheckState::Grayed, u"anything", u"Жми"},
  };
  for (const Case& c : cases) EXPECT_EQ(caption_to_store(c.box, c.typed), c.stored) << static_cast<int>(c.box);
}

}  // namespace
}  // namespace talvorin::core
