#include "core/dpi_awareness.h"

namespace talvorin::core {

DpiPlan plan_dpi_awareness(const DpiFunctions& present) {
  DpiPlan plan;
  plan.process_system_aware = present.set_process_dpi_aware;
  // Where a thread may have a context of its own, the caption windows
  // follow the monitor they are on, as the taskbar does; the rest of the
  // program keeps the system's DPI it laid out for.
  if (present.set_thread_dpi_awareness_context) {
    plan.caption_contexts = {CaptionDpiContext::PerMonitorV2, CaptionDpiContext::PerMonitor};
  }
  // A window that is not per-monitor aware is told the system's DPI, so
  // the font for it is the same either way.
  if (present.get_dpi_for_window && present.system_parameters_info_for_dpi) plan.caption_font = CaptionFontDpi::Window;
  return plan;
}

std::optional<CaptionDpiContext> first_accepted(const DpiPlan& plan,
                                                const std::function<bool(CaptionDpiContext)>& accepts) {
  for (const CaptionDpiContext context : plan.caption_contexts) {
    if (accepts(context)) return context;
  }
  return std::nullopt;
}

}  // namespace talvorin::core
