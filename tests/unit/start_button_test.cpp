#include "core/start_button.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace talvorin::core {

void PrintTo(const ZOrderMove& move, std::ostream* out) {
  static constexpr const char* kTo[] = {"beneath", "top", "topmost"};
  *out << kTo[static_cast<int>(move.to)];
  if (move.to == ZOrderMove::To::Beneath) *out << " '" << static_cast<char>(move.window) << "'";
}

namespace {

constexpr std::uintptr_t kTaskbar = 0x10;
constexpr std::uintptr_t kOrb = 0x30;

// Every button on a monitor that holds all of it: the visible part is the
// subject of a test of its own.
constexpr PixelRect kDesk{-4096, -4096, 4096, 4096};

ShellWindowSeen seen(std::uintptr_t handle, PixelRect rect, bool visible = true) {
  return {handle, visible, rect, kDesk};
}

const PixelRect kBar{0, 728, 1024, 768};
const PixelRect kButton{0, 728, 60, 768};
const PixelRect kOrbRect{0, 720, 54, 768};  // stands out above the taskbar
const PixelRect kOrbOnBar{0, 728, 54, 768};
const PixelRect kSecondBar{1024, 728, 2048, 768};
const PixelRect kSecondStart{1024, 728, 1072, 768};

TaskbarSeen taskbar(bool topmost = true) { return {seen(kTaskbar, kBar), topmost, std::nullopt}; }

TEST(StartButtonPlan, EachShellShapeInTheOrderOfTheTable) {
  StartButtonSearch classic{taskbar(), seen(0x20, kButton), false, std::nullopt, {}};
  StartButtonSearch wine = classic;
  wine.button_owner_drawn = true;
  StartButtonSearch seven{taskbar(), std::nullopt, false, seen(kOrb, kOrbRect), {}};
  StartButtonSearch ten{taskbar(), std::nullopt, false, std::nullopt, {}};
  ten.taskbar->start = seen(0x40, kButton);
  // A shape found earlier in the table wins over what a later one looks for.
  StartButtonSearch classic_with_everything = ten;
  classic_with_everything.button = seen(0x20, kButton);
  classic_with_everything.orb = seen(kOrb, kOrbRect);
  // 10 and 11 may have top-level buttons on the shell's thread too.
  StartButtonSearch ten_with_a_button = ten;
  ten_with_a_button.orb = seen(kOrb, kOrbRect);
  StartButtonSearch empty_taskbar{taskbar(), std::nullopt, false, std::nullopt, {}};
  // Without a taskbar, windows that look like Start buttons are some other
  // program's.
  StartButtonSearch no_taskbar{std::nullopt, seen(0x20, kButton), true, seen(kOrb, kOrbRect), {ten.taskbar.value()}};

  struct Case {
    const char* name;
    const StartButtonSearch& search;
    StartButtonShape shape;
    std::vector<OverlayPlacement> overlays;
  };
  const Case cases[] = {
      {"classic", classic, StartButtonShape::PaintsText, {}},
      {"classic with everything", classic_with_everything, StartButtonShape::PaintsText, {}},
      {"wine", wine, StartButtonShape::OwnerDrawn, {{kButton, kTaskbar, true}}},
      {"seven", seven, StartButtonShape::Orb, {{kOrbOnBar, kOrb, true}}},
      {"ten with a top-level button", ten_with_a_button, StartButtonShape::StartChildren, {{kButton, kTaskbar, true}}},
      {"ten", ten, StartButtonShape::StartChildren, {{kButton, kTaskbar, true}}},
      {"taskbar without a button", empty_taskbar, StartButtonShape::Missing, {}},
      {"no taskbar", no_taskbar, StartButtonShape::Missing, {}},
  };
  for (const Case& c : cases) {
    const StartButtonPlan plan = plan_start_button(c.search, u"Пуск");
    EXPECT_EQ(plan.shape, c.shape) << c.name;
    EXPECT_EQ(plan.overlays, c.overlays) << c.name;
    EXPECT_EQ(plan.found(), c.shape != StartButtonShape::Missing) << c.name;
  }
}

TEST(StartButtonPlan, OneOverlayForEachTaskbarWithAStartButton) {
  StartButtonSearch search{taskbar(), std::nullopt, false, std::nullopt, {}};
  search.taskbar->start = seen(0x40, kButton);
  search.secondary = {
      {seen(0x50, kSecondBar), false, seen(0x51, kSecondStart)},
      {seen(0x60, kSecondBar), true, std::nullopt},                     // a secondary bar without its button
      {seen(0x70, kSecondBar, false), true, seen(0x71, kSecondStart)},  // hidden bar
      {seen(0x80, {0, 0, 1280, 30}), true, seen(0x81, {0, 0, 40, 30})},
  };
  const std::vector<OverlayPlacement> expected = {
      {kButton, kTaskbar, true}, {kSecondStart, 0x50, false}, {{0, 0, 40, 30}, 0x80, true}};
  EXPECT_EQ(plan_start_button(search, u"x").overlays, expected);

  // Secondary taskbars alone do not make the shape: the main one decides.
  search.taskbar->start.reset();
  const StartButtonPlan plan = plan_start_button(search, u"x");
  EXPECT_EQ(plan.shape, StartButtonShape::Missing);
  EXPECT_TRUE(plan.overlays.empty());
}

TEST(StartButtonPlan, OverlayHidesWhereTheButtonCannotBeSeenButTheButtonCountsAsFound) {
  struct Case {
    const char* name;
    ShellWindowSeen button;
    bool taskbar_visible;
    std::u16string_view caption;
  };
  const Case cases[] = {
      {"hidden button", seen(kOrb, kOrbRect, false), true, u"Пуск"},
      {"off the screen", {kOrb, true, kOrbRect, {0, 0, 1024, 720}}, true, u"Пуск"},
      {"zero width", seen(kOrb, {10, 720, 10, 768}), true, u"Пуск"},
      {"zero height", seen(kOrb, {0, 768, 54, 768}), true, u"Пуск"},
      {"upside down", seen(kOrb, {54, 768, 0, 720}), true, u"Пуск"},
      {"hidden taskbar", seen(kOrb, kOrbRect), false, u"Пуск"},
      {"empty caption", seen(kOrb, kOrbRect), true, u""},
  };
  for (const Case& c : cases) {
    StartButtonSearch orb{taskbar(), std::nullopt, false, c.button, {}};
    orb.taskbar->window.visible = c.taskbar_visible;
    StartButtonSearch wine{taskbar(), c.button, true, std::nullopt, {}};
    wine.taskbar->window.visible = c.taskbar_visible;
    for (const StartButtonSearch* search : {&orb, &wine}) {
      const StartButtonPlan plan = plan_start_button(*search, c.caption);
      EXPECT_TRUE(plan.overlays.empty()) << c.name;
      EXPECT_TRUE(plan.found()) << c.name;
    }
  }
}

TEST(StartButtonPlan, OverlayIsTopmostOnlyWhileItsTaskbarIs) {
  for (const bool topmost : {true, false}) {
    StartButtonSearch wine{taskbar(topmost), seen(0x20, kButton), true, std::nullopt, {}};
    const StartButtonPlan plan = plan_start_button(wine, u"Пуск");
    ASSERT_EQ(plan.overlays.size(), 1U);
    EXPECT_EQ(plan.overlays[0].topmost, topmost);
    EXPECT_EQ(plan.overlays[0].above, kTaskbar);
  }
}

TEST(StartButtonPlan, TheCaptionCoversOnlyWhatCanBeSeenOfTheButton) {
  const PixelRect screen{0, 0, 1024, 768};
  struct Case {
    const char* name;
    PixelRect button;
    PixelRect taskbar;
    PixelRect monitor;
    std::optional<PixelRect> part;
    std::optional<PixelRect> region{};  // the taskbar's, in its window's coordinates
  };
  const Case cases[] = {
      {"inside", {0, 728, 48, 768}, {0, 728, 1024, 768}, screen, PixelRect{0, 728, 48, 768}},
      {"the orb over the taskbar's top edge",
       {0, 718, 54, 768},
       {0, 728, 1024, 768},
       screen,
       PixelRect{0, 728, 54, 768}},
      {"auto-hidden: 2 px left on the screen", {0, 766, 48, 806}, {0, 766, 1024, 806}, screen, std::nullopt},
      {"auto-hidden: 8 px left", {0, 760, 48, 800}, {0, 760, 1024, 800}, screen, PixelRect{0, 760, 48, 768}},
      {"7 px left", {0, 761, 48, 801}, {0, 761, 1024, 801}, screen, std::nullopt},
      {"half off the left edge", {-24, 728, 24, 768}, {-24, 728, 1000, 768}, screen, PixelRect{0, 728, 24, 768}},
      {"taskbar at the top", {0, 0, 48, 40}, {0, 0, 1024, 40}, screen, PixelRect{0, 0, 48, 40}},
      {"taskbar at the left", {0, 0, 62, 40}, {0, 0, 62, 768}, screen, PixelRect{0, 0, 62, 40}},
      {"taskbar at the right", {962, 0, 1024, 40}, {962, 0, 1024, 768}, screen, PixelRect{962, 0, 1024, 40}},
      {"auto-hidden at the right", {1022, 0, 1084, 40}, {1022, 0, 1084, 768}, screen, std::nullopt},
      {"reaching onto the monitor below",
       {0, 1060, 48, 1100},
       {0, 1060, 1920, 1100},
       {0, 0, 1920, 1080},
       PixelRect{0, 1060, 48, 1080}},
      {"the second monitor's taskbar",
       {1024, 728, 1072, 768},
       {1024, 728, 2048, 768},
       {1024, 0, 2048, 768},
       PixelRect{1024, 728, 1072, 768}},
      {"outside its taskbar", {0, 0, 48, 40}, {0, 728, 1024, 768}, screen, std::nullopt},
      {"edges at the ends of the range",
       {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
       {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
       {INT32_MIN, 0, INT32_MAX, 1},
       std::nullopt},
      // A window region: its bounding box, from the taskbar's top left
      // corner, is the part of the taskbar that shows.
      {"region of the lower half", kButton, kBar, screen, PixelRect{0, 748, 60, 768}, PixelRect{0, 20, 1024, 40}},
      {"region of the lowest 4 px", kButton, kBar, screen, std::nullopt, PixelRect{0, 36, 1024, 40}},
      {"region of the lowest 8 px", kButton, kBar, screen, PixelRect{0, 760, 60, 768}, PixelRect{0, 32, 1024, 40}},
      {"region leaving 7 px of the button's width", kButton, kBar, screen, std::nullopt, PixelRect{53, 0, 1024, 40}},
      {"region beside the button", kButton, kBar, screen, std::nullopt, PixelRect{100, 0, 1024, 40}},
      {"empty region", kButton, kBar, screen, std::nullopt, PixelRect{}},
      {"region beyond the window", kButton, kBar, screen, kButton, PixelRect{-50, -50, 2000, 90}},
      {"region of a taskbar at the top",
       {0, 0, 48, 40},
       {0, 0, 1024, 40},
       screen,
       PixelRect{0, 0, 48, 20},
       PixelRect{0, 0, 1024, 20}},
      {"region at the ends of the range",
       {INT32_MAX - 60, 0, INT32_MAX, 40},
       {INT32_MAX - 60, 0, INT32_MAX, 40},
       {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
       PixelRect{INT32_MAX - 60, 0, INT32_MAX, 40},
       PixelRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(visible_part(c.button, c.taskbar, c.monitor, c.region), c.part) << c.name;
  }

  // The plan lays the caption over that part alone, of every taskbar.
  StartButtonSearch seven{taskbar(), std::nullopt, false, ShellWindowSeen{kOrb, true, kOrbRect, screen}, {}};
  EXPECT_EQ(plan_start_button(seven, u"x").overlays, (std::vector<OverlayPlacement>{{kOrbOnBar, kOrb, true}}));
  StartButtonSearch ten{taskbar(), std::nullopt, false, std::nullopt, {}};
  ten.taskbar->start = seen(0x40, kButton);
  ten.taskbar->region = PixelRect{0, 20, 1024, 40};
  ten.secondary = {{seen(0x50, kSecondBar), true, seen(0x51, kSecondStart), PixelRect{0, 36, 1024, 40}}};
  EXPECT_EQ(plan_start_button(ten, u"x").overlays,
            (std::vector<OverlayPlacement>{{{0, 748, 60, 768}, kTaskbar, true}}));
}

TEST(CaptionWindowZOrder, OnlyCaptionWindowsMayStandBetweenItAndItsTaskbar) {
  using enum Beneath;
  struct Case {
    const char* name;
    std::vector<Beneath> beneath;  // from the caption window down
    ZOrderLook last;
  };
  const Case cases[] = {
      {"directly above", {Taskbar}, ZOrderLook::InPlace},
      {"another copy's between", {CaptionWindow, Taskbar}, ZOrderLook::InPlace},
      {"two more copies between", {CaptionWindow, CaptionWindow, Taskbar}, ZOrderLook::InPlace},
      {"another program's window between", {Other}, ZOrderLook::Move},
      {"a copy's, then another program's", {CaptionWindow, Other}, ZOrderLook::Move},
      {"below the taskbar: the bottom is reached", {CaptionWindow, Other}, ZOrderLook::Move},
  };
  for (const Case& c : cases) {
    ZOrderLook look = ZOrderLook::LookFurther;
    std::size_t looks = 0;
    while (look == ZOrderLook::LookFurther && looks < c.beneath.size()) look = next_zorder_look(c.beneath[looks++]);
    EXPECT_EQ(look, c.last) << c.name;
    EXPECT_EQ(looks, c.beneath.size()) << c.name << ": decided at the last window";
  }
}

// A z-order from the top down, a character a window: o is the caption
// window that moves, t its taskbar, other letters other programs' windows
// (upper case: topmost), anything else another copy's caption windows.
class LetteredZOrder final : public ZOrder {
 public:
  explicit LetteredZOrder(std::string_view windows) : windows_(windows) {}
  std::uintptr_t beneath(std::uintptr_t window) override {
    const std::size_t at = windows_.find(static_cast<char>(window));
    return at + 1 < windows_.size() ? of(windows_[at + 1]) : 0;
  }
  std::uintptr_t above(std::uintptr_t window) override {
    const std::size_t at = windows_.find(static_cast<char>(window));
    return at != std::string_view::npos && at > 0 ? of(windows_[at - 1]) : 0;
  }
  bool is_caption_window(std::uintptr_t window) override { return std::isalpha(static_cast<int>(window)) == 0; }
  bool is_topmost(std::uintptr_t window) override { return std::isupper(static_cast<int>(window)) != 0; }
  // Ours and its taskbar, in whichever case they stand.
  std::uintptr_t ours() const { return find_either('o'); }
  std::uintptr_t taskbar() const { return find_either('t'); }
  static std::uintptr_t of(char window) { return static_cast<unsigned char>(window); }

 private:
  std::uintptr_t find_either(char lower) const {
    const std::size_t at = windows_.find_first_of(std::string{lower, static_cast<char>(std::toupper(lower))});
    return at == std::string_view::npos ? 0 : of(windows_[at]);
  }
  std::string_view windows_;
};

TEST(CaptionWindowZOrder, GoesBackDirectlyAboveItsTaskbarAndNoFurther) {
  using To = ZOrderMove::To;
  const auto beneath = [](char window) { return ZOrderMove{To::Beneath, LetteredZOrder::of(window)}; };
  struct Case {
    const char* name;
    std::string_view z_order;
    bool topmost;  // as the search read the taskbar
    std::optional<ZOrderMove> move;
  };
  const Case cases[] = {
      {"directly above", "wot", false, std::nullopt},
      {"two other copies' between", "wo12t", false, std::nullopt},
      {"another program's between", "owt", false, beneath('w')},
      {"another program's between, another copy's above", "1owt", false, beneath('w')},
      {"a copy's, then another program's between", "o1wt", false, beneath('w')},
      {"the taskbar raised over it", "wto", false, beneath('w')},
      {"only copies' beneath it, down to the bottom", "wto1", false, beneath('w')},
      {"the taskbar on top", "to", false, ZOrderMove{To::Top}},
      {"a topmost taskbar on top", "TO", true, ZOrderMove{To::Topmost}},
      {"beneath a topmost window over a topmost taskbar", "OWT", true, beneath('W')},
      {"an ordinary taskbar beneath a topmost window: the top of the ordinary ones", "Wto", false, ZOrderMove{To::Top}},
      {"topmost over a taskbar that is no longer", "Owt", true, std::nullopt},
      {"more copies between than anyone runs", "o0123456789!#$%&*+t", false, beneath('+')},
  };
  for (const Case& c : cases) {
    LetteredZOrder z_order(c.z_order);
    EXPECT_EQ(caption_window_move(z_order, z_order.ours(), z_order.taskbar(), c.topmost), c.move) << c.name;
  }
  LetteredZOrder z_order("owt");
  EXPECT_EQ(caption_window_move(z_order, z_order.ours(), 0, false), std::nullopt) << "no taskbar, no move";
}

TEST(Caption, ReadsRightToLeftFromItsFirstStrongCharacter) {
  const char16_t phoenician_beth[] = {0xD802, 0xDD01, 0};
  const char16_t mathematical_a[] = {0xD835, 0xDC00, 0};
  const char16_t lone_surrogate[] = {0xD802, u' ', 0x05D0, 0};
  const std::u16string_view kPhoenicianBeth = phoenician_beth;
  const std::u16string_view kMathematicalA = mathematical_a;
  const std::u16string_view kLoneSurrogate = lone_surrogate;
  const struct {
    std::u16string_view caption;
    bool right_to_left;
  } cases[] = {
      {u"Пуск", false},
      {u"Start", false},
      {u"\u05D4\u05EA\u05D7\u05DC", true},  // Hebrew
      {u"\u0627\u0628\u062F\u0623", true},  // Arabic
      {u"123 \u05D0", true},                // digits take no side
      {u"(\u0661\u0662) \u0627", true},     // nor Arabic-Indic ones
      {u"\u05D0 Start", true},              // the first one decides
      {u"Start \u05D0", false},
      {u"!? ", false},  // none at all
      {u"", false},
      {kPhoenicianBeth, true},  // past the first plane
      {kMathematicalA, false},
      {kLoneSurrogate, true},           // a lone surrogate is no letter
      {u"\u4E2D\u6587 \u05D0", false},  // Chinese
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reads_right_to_left(c.caption), c.right_to_left) << testing::PrintToString(std::u16string(c.caption));
  }
}

}  // namespace
}  // namespace talvorin::core
