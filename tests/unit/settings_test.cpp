#include "core/settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/product.h"

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

TEST(StoredCaption, KeptOnlyWhileTheBoxIsTicked) {
  EXPECT_EQ(caption_to_store(CheckState::Ticked, u"Пуск"), u"Пуск");
  EXPECT_EQ(caption_to_store(CheckState::Ticked, u""), u"");
  EXPECT_EQ(caption_to_store(CheckState::Clear, u"anything"), kFallbackCaption);
  EXPECT_EQ(caption_to_store(CheckState::Grayed, u"anything"), kFallbackCaption);
  EXPECT_EQ(kFallbackCaption.size(), 3U);
}

}  // namespace
}  // namespace talvorin::core
