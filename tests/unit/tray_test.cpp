#include <gtest/gtest.h>

#include <string>

#include "core/tray_callback.h"
#include "core/tray_record.h"
#include "platform/sim/code_page_1251.h"

namespace talvorin::core {
namespace {

std::uint32_t u32_at(const TrayRecordBytes& bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::string tip_field(const TrayRecordBytes& bytes) { return std::string(bytes.begin() + 24, bytes.end()); }

TEST(TrayRecord, AddRecordIsTheEightyEightByteAnsiForm) {
  const sim::CodePage1251 code_page;
  TrayIcon icon;
  icon.fill_for_add(0x00012345, 0x0BADF00D, u"Talvorin");
  const TrayRecordBytes bytes = icon.to_ansi(code_page);

  EXPECT_EQ(u32_at(bytes, 0), 88U);
  EXPECT_EQ(u32_at(bytes, 4), 0x00012345U);
  EXPECT_EQ(u32_at(bytes, 8), 1U);
  EXPECT_EQ(u32_at(bytes, 12), 7U);
  EXPECT_EQ(u32_at(bytes, 16), 512U);
  EXPECT_EQ(u32_at(bytes, 20), 0x0BADF00DU);
  EXPECT_EQ(tip_field(bytes), std::string("Talvorin") + '\0' + std::string(55, ' '));
}

TEST(TrayRecord, TipIsTextThenNulThenBlanksCutAtSixtyFour) {
  const sim::CodePage1251 code_page;
  struct Case {
    std::size_t length;
    std::string field;
  };
  const Case cases[] = {
      {0, std::string(1, '\0') + std::string(63, ' ')},
      {8, std::string(8, 'x') + '\0' + std::string(55, ' ')},
      {63, std::string(63, 'x') + '\0'},
      {64, std::string(64, 'x')},
      {70, std::string(64, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    TrayIcon icon;
    icon.fill_for_add(1, 2, std::u16string(c.length, u'x'));
    EXPECT_EQ(tip_field(icon.to_ansi(code_page)), c.field);
  }
}

TEST(TrayRecord, CyrillicTipGoesThroughTheCodePage) {
  const sim::CodePage1251 code_page;
  TrayIcon icon;
  icon.fill_for_add(1, 2, u"\u0416\u043C\u0438\u2603");  // Жми and a snowman the page lacks
  const std::string field = tip_field(icon.to_ansi(code_page));
  EXPECT_EQ(field.substr(0, 5), "\xC6\xEC\xE8?" + std::string(1, '\0'));
}

// A double-byte code page turns each character into two bytes: the tip must
// still stay inside its 64-byte field.
class DoubleByteCodePage final : public AnsiCodePage {
 public:
  std::string encode(std::u16string_view text) const override {
    std::string out;
    for (const char16_t c : text) {
      out += static_cast<char>(0x81);
      out += static_cast<char>(c & 0x7F);
    }
    return out;
  }
  std::u16string decode(std::string_view) const override { return {}; }
};

TEST(TrayRecord, WideCodePageCannotOverrunTheTipField) {
  TrayIcon icon;
  icon.fill_for_add(1, 2, std::u16string(70, u'y'));
  const TrayRecordBytes bytes = icon.to_ansi(DoubleByteCodePage{});
  EXPECT_EQ(bytes.size(), 88U);
  EXPECT_EQ(static_cast<unsigned char>(bytes[24]), 0x81);
  EXPECT_EQ(bytes[87], 'y');
}

TEST(TrayRecord, DeleteKeepsTheOtherFieldsOfTheLastAdd) {
  const sim::CodePage1251 code_page;
  TrayIcon icon;
  icon.fill_for_add(10, 20, u"Talvorin");
  icon.fill_for_delete(11);
  const TrayRecordBytes bytes = icon.to_ansi(code_page);
  EXPECT_EQ(u32_at(bytes, 4), 11U);
  EXPECT_EQ(u32_at(bytes, 8), 1U);
  EXPECT_EQ(u32_at(bytes, 20), 20U);
  EXPECT_EQ(tip_field(bytes).substr(0, 8), "Talvorin");
}

TEST(TrayCallback, XInTwipsDecodesBackToTheMouseMessage) {
  struct Case {
    float x;
    float twips_per_pixel;
    std::int32_t message;
  };
  const Case cases[] = {
      {7755.0F, 15.0F, 517},    // right button up at 96 dpi
      {6204.0F, 12.0F, 517},    // 120 dpi
      {3877.5F, 7.5F, 517},     // 192 dpi
      {7680.0F, 15.0F, 512},    // mouse moved
      {7747.5F, 15.0F, 516},    // 516.5: ties go to the even one
      {7762.5F, 15.0F, 518},    // 517.5
      {7754.0F, 15.0F, 517},    // 516.93
      {0.0F, 15.0F, 0},
      {1.0F, 0.0F, 0},          // no scale: nothing to decode
      {3.0e38F, 1.0e-3F, 0},    // far out of range
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(decode_tray_message(c.x, c.twips_per_pixel), c.message);
  }
}

TEST(TrayCallback, OnlyButtonReleasesAct) {
  EXPECT_EQ(tray_action_for(0x202), TrayAction::ShowWindow);
  EXPECT_EQ(tray_action_for(0x205), TrayAction::PopupMenu);
  for (const std::int32_t other : {0, 0x200, 0x201, 0x203, 0x204, 0x206, 0x208, 517 * 2}) {
    EXPECT_EQ(tray_action_for(other), TrayAction::None) << other;
  }
}

TEST(TrayCallback, NestedCallbackOnlyRemembersTheMessage) {
  TrayCallbackState state;
  ASSERT_EQ(state.enter(7755.0F, 15.0F), TrayAction::PopupMenu);
  EXPECT_TRUE(state.busy());
  EXPECT_EQ(state.enter(7710.0F, 15.0F), std::nullopt);
  EXPECT_EQ(state.last_message(), 514);
  state.leave();
  EXPECT_FALSE(state.busy());
  EXPECT_EQ(state.enter(7710.0F, 15.0F), TrayAction::ShowWindow);
}

}  // namespace
}  // namespace talvorin::core
