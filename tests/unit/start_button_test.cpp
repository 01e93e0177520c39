#include "core/start_button.h"

#include <gtest/gtest.h>

#include <vector>

namespace talvorin::core {
namespace {

constexpr std::uintptr_t kTaskbar = 0x10;
constexpr std::uintptr_t kOrb = 0x30;

ShellWindowSeen seen(std::uintptr_t handle, PixelRect rect, bool visible = true) { return {handle, visible, rect}; }

const PixelRect kBar{0, 728, 1024, 768};
const PixelRect kButton{0, 728, 60, 768};
const PixelRect kOrbRect{0, 720, 54, 768};
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
  StartButtonSearch seven_with_start = ten;
  seven_with_start.orb = seen(kOrb, kOrbRect);
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
      {"seven", seven, StartButtonShape::Orb, {{kOrbRect, kOrb, true}}},
      {"seven with a Start child", seven_with_start, StartButtonShape::Orb, {{kOrbRect, kOrb, true}}},
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

}  // namespace
}  // namespace talvorin::core
