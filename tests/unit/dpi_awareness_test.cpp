#include "core/dpi_awareness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace talvorin::core {
namespace {

using Context = CaptionDpiContext;

TEST(DpiAwareness, WhatEachWindowsIsToldAndWhatTheCaptionWindowsGet) {
  const DpiFunctions none{};
  const DpiFunctions vista_to_8{.set_process_dpi_aware = true};
  const DpiFunctions ten{.set_process_dpi_aware = true,
                         .set_thread_dpi_awareness_context = true,
                         .get_dpi_for_window = true,
                         .system_parameters_info_for_dpi = true};
  struct Case {
    const char* name;
    const DpiFunctions& present;
    std::vector<Context> accepted;  // what SetThreadDpiAwarenessContext takes there
    bool process_system_aware;
    std::optional<Context> caption_context;
    CaptionFontDpi caption_font;
  };
  const Case cases[] = {
      {"XP", none, {}, false, std::nullopt, CaptionFontDpi::System},
      {"7", vista_to_8, {}, true, std::nullopt, CaptionFontDpi::System},
      {"10 1607", ten, {Context::PerMonitor}, true, Context::PerMonitor, CaptionFontDpi::Window},
      {"10 1703 and later",
       ten,
       {Context::PerMonitorV2, Context::PerMonitor},
       true,
       Context::PerMonitorV2,
       CaptionFontDpi::Window},
      // Wine 8 has every function and refuses per-monitor v2.
      {"Wine 8", ten, {Context::PerMonitor}, true, Context::PerMonitor, CaptionFontDpi::Window},
  };
  for (const Case& c : cases) {
    const DpiPlan plan = plan_dpi_awareness(c.present);
    EXPECT_EQ(plan.process_system_aware, c.process_system_aware) << c.name;
    const auto accepts = [&](Context context) {
      return std::find(c.accepted.begin(), c.accepted.end(), context) != c.accepted.end();
    };
    EXPECT_EQ(first_accepted(plan, accepts), c.caption_context) << c.name;
    EXPECT_EQ(plan.caption_font, c.caption_font) << c.name;
  }
}

}  // namespace
}  // namespace talvorin::core
