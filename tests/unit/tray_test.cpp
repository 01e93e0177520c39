#include <gtest/gtest.h>

#include <string>

#include "core/tray_callback.h"
#include "core/tray_record.h"
#include "platform/ports.h"
#include "platform/sim/code_page_1251.h"

namespace talvorin::core {
namespace {

std::uint64_t at(const TrayRecordBytes& bytes, std::size_t offset, std::size_t width = 4) {
  return bytes.field(offset, width);
}

std::string tip_field(const TrayRecordBytes& bytes, const TrayRecordLayout& layout) {
  return {bytes.begin() + layout.tip, bytes.begin() + layout.tip + kTrayTipLength};
}

struct Layout {
  const char* name;
  const TrayRecordLayout& layout;
};
const Layout kLayouts[] = {{"32-bit", kTrayLayout32}, {"64-bit", kTrayLayout64}};

TEST(TrayRecord, AddRecordIsTheAnsiFormOfEachProcessKind) {
  const sim::CodePage1251 code_page;
  TrayIcon icon;
  icon.fill_for_add(0x00012345, 0x0BADF00D, u"Talvorin");

  const TrayRecordBytes narrow = platform::tray_record(icon, code_page, kTrayLayout32);
  const std::uint64_t narrow_fields[][2] = {{0, 88}, {4, 0x00012345}, {8, 1}, {12, 7}, {16, 512}, {20, 0x0BADF00D}};
  EXPECT_EQ(narrow.size(), 88U);
  for (const auto& [offset, value] : narrow_fields) EXPECT_EQ(at(narrow, offset), value) << "offset " << offset;
  EXPECT_EQ(tip_field(narrow, kTrayLayout32), std::string("Talvorin") + '\0' + std::string(55, ' '));

  // Eight-byte handles, each on an eight-byte boundary, with padding after
  // the size and after the callback message.
  icon.fill_for_add(0x0000'0001'0001'2345, 0xFFFF'FFFF'8BAD'F00D, u"Talvorin");
  const TrayRecordBytes wide = platform::tray_record(icon, code_page, kTrayLayout64);
  EXPECT_EQ(wide.size(), 104U);
  EXPECT_EQ(at(wide, 0), 104U);
  EXPECT_EQ(at(wide, 4), 0U);
  EXPECT_EQ(at(wide, 8, 8), 0x0000'0001'0001'2345U);
  EXPECT_EQ(at(wide, 16), 1U);
  EXPECT_EQ(at(wide, 20), 7U);
  EXPECT_EQ(at(wide, 24), 512U);
  EXPECT_EQ(at(wide, 28), 0U);
  EXPECT_EQ(at(wide, 32, 8), 0xFFFF'FFFF'8BAD'F00DU);
  EXPECT_EQ(tip_field(wide, kTrayLayout64), std::string("Talvorin") + '\0' + std::string(55, ' '));
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
  for (const Layout& l : kLayouts) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << l.name << ", " << c.length);
      TrayIcon icon;
      icon.fill_for_add(1, 2, std::u16string(c.length, u'x'));
      const TrayRecordBytes bytes = platform::tray_record(icon, code_page, l.layout);
      EXPECT_EQ(bytes.size(), l.layout.size) << "the tip never moves the end of the record";
      EXPECT_EQ(tip_field(bytes, l.layout), c.field);
    }
  }
}

TEST(TrayRecord, CyrillicTipGoesThroughTheCodePage) {
  const sim::CodePage1251 code_page;
  TrayIcon icon;
  icon.fill_for_add(1, 2, u"Жми\u2603");  // a snowman the page lacks
  const std::string field = tip_field(platform::tray_record(icon, code_page, kTrayLayout32), kTrayLayout32);
  EXPECT_EQ(field.substr(0, 5), "\xC6\xEC\xE8?" + std::string(1, '\0'));
}

// A double-byte code page turns each character into two bytes: the tip must
// still stay inside its 64-byte field.
class DoubleByteCodePage final : public platform::AnsiCodePage {
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
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.name);
    TrayIcon icon;
    icon.fill_for_add(1, 2, std::u16string(70, u'y'));
    const TrayRecordBytes bytes = platform::tray_record(icon, DoubleByteCodePage{}, l.layout);
    EXPECT_EQ(bytes.size(), l.layout.size);
    EXPECT_EQ(bytes[l.layout.tip], 0x81);
    EXPECT_EQ(bytes[l.layout.size - 1], 'y');
  }
}

TEST(TrayRecord, DeleteKeepsTheOtherFieldsOfTheLastAdd) {
  const sim::CodePage1251 code_page;
  TrayIcon icon;
  icon.fill_for_add(10, 20, u"Talvorin");
  icon.fill_for_delete(11);
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.name);
    const TrayRecordBytes bytes = platform::tray_record(icon, code_page, l.layout);
    EXPECT_EQ(at(bytes, 0), l.layout.size);
    EXPECT_EQ(at(bytes, l.layout.hwnd, l.layout.handle_width), 11U);
    EXPECT_EQ(at(bytes, l.layout.id), 1U);
    EXPECT_EQ(at(bytes, l.layout.icon, l.layout.handle_width), 20U);
    EXPECT_EQ(tip_field(bytes, l.layout).substr(0, 8), "Talvorin");
  }
}

TEST(TrayCallback, XInTwipsDecodesBackToTheMouseMessage) {
  struct Case {
    float x;
    float twips_per_pixel;
    std::int32_t message;
  };
  const Case cases[] = {
      {7755.0F, 15.0F, 517},                   // right button up at 96 dpi
      {6204.0F, 12.0F, 517},                   // 120 dpi
      {3877.5F, 7.5F, 517},                    // 192 dpi
      {7680.0F, 15.0F, 512},                   // mouse moved
      {7747.5F, 15.0F, 516},                   // 516.5: ties go to the even one
      {7762.5F, 15.0F, 518},                   // 517.5
      {7754.0F, 15.0F, 517},                   // 516.93
      {0.0F, 15.0F, 0},      {1.0F, 0.0F, 0},  // no scale: nothing to decode
      {3.0e38F, 1.0e-3F, 0},                   // far out of range
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(decode_tray_message(c.x, c.twips_per_pixel), c.message);
  }
}

// The icon's window hears the callback as a mouse move whose x is the
// message: the signed low word of lParam, the y above it left out.
TEST(TrayCallback, TheMouseMessageArrivesAsTheSignedLowWordAndDecodesBack) {
  struct Case {
    std::uint32_t lparam;
    float twips_per_pixel, x;
  };
  const Case cases[] = {
      {0x205, 15.0F, 7755.0F},       {0x202, 12.0F, 6168.0F},    {0x0003'FFFF, 15.0F, -15.0F},
      {0x0001'0001, 10.0F, 10.0F},   {0x7FFF, 15.0F, 491505.0F}, {0x8000, 15.0F, -491520.0F},
      {0xFFFF'0205, 15.0F, 7755.0F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.lparam);
    const float x = mouse_x_twips(c.lparam, c.twips_per_pixel);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(decode_tray_message(x, c.twips_per_pixel), static_cast<std::int16_t>(c.lparam & 0xFFFF));
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
