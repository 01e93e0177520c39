#pragma once
// How the program tells Windows that it draws for the screen's DPI itself,
// from what this Windows offers. A program that says nothing is stretched
// as a bitmap on a display above 96 dpi, and the shell's rectangles it
// reads are scaled down to a 96-dpi screen that does not exist.

#include <functional>
#include <optional>
#include <vector>

namespace talvorin::core {

// The functions of DPI awareness this Windows has, looked up by name.
struct DpiFunctions {
  bool set_process_dpi_aware = false;             // Vista and later
  bool set_thread_dpi_awareness_context = false;  // 10 1607 and later
  bool get_dpi_for_window = false;                // 10 1607 and later
  bool system_parameters_info_for_dpi = false;    // 10 1607 and later
};

// The thread contexts the caption windows can be made under.
enum class CaptionDpiContext {
  PerMonitorV2,  // 10 1703 and later
  PerMonitor,
};

// Where the size of the caption's font comes from.
enum class CaptionFontDpi {
  System,  // the shell's caption font as it is, for the system's DPI
  Window,  // the caption font for the DPI of the caption window's monitor
};

struct DpiPlan {
  // Declared before the first window: the settings and About windows lay
  // out for the system's DPI, which the forms read once.
  bool process_system_aware = false;
  // Set around the caption windows' creation and every read of the shell's
  // rectangles and every placement of the caption windows, and put back
  // after. Tried in this order, for the first that Windows accepts: only
  // a try tells whether it knows per-monitor v2.
  std::vector<CaptionDpiContext> caption_contexts;
  CaptionFontDpi caption_font = CaptionFontDpi::System;
};

DpiPlan plan_dpi_awareness(const DpiFunctions& present);

// The first of the plan's contexts that `accepts` (a try of it) takes.
std::optional<CaptionDpiContext> first_accepted(const DpiPlan& plan,
                                                const std::function<bool(CaptionDpiContext)>& accepts);

}  // namespace talvorin::core
