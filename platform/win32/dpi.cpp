#include "platform/win32/dpi.h"

#include <optional>

#include "core/dpi_awareness.h"
#include "platform/win32/system_function.h"

namespace talvorin::platform::win32 {

namespace {

using SetProcessDpiAwareFn = BOOL(WINAPI*)();
using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

struct DpiCalls {
  SetProcessDpiAwareFn set_process_dpi_aware = nullptr;
  SetThreadDpiAwarenessContextFn set_thread_context = nullptr;
  GetDpiForWindowFn get_dpi_for_window = nullptr;
  SystemParametersInfoForDpiFn system_parameters_for_dpi = nullptr;
  core::DpiPlan plan;
};

const DpiCalls& dpi_calls() {
  static const DpiCalls calls = [] {
    constexpr wchar_t kUser32[] = L"user32.dll";
    DpiCalls found;
    found.set_process_dpi_aware = system_function<SetProcessDpiAwareFn>(kUser32, "SetProcessDPIAware");
    found.set_thread_context = system_function<SetThreadDpiAwarenessContextFn>(kUser32, "SetThreadDpiAwarenessContext");
    found.get_dpi_for_window = system_function<GetDpiForWindowFn>(kUser32, "GetDpiForWindow");
    found.system_parameters_for_dpi =
        system_function<SystemParametersInfoForDpiFn>(kUser32, "SystemParametersInfoForDpi");
    found.plan = core::plan_dpi_awareness({
        .set_process_dpi_aware = found.set_process_dpi_aware != nullptr,
        .set_thread_dpi_awareness_context = found.set_thread_context != nullptr,
        .get_dpi_for_window = found.get_dpi_for_window != nullptr,
        .system_parameters_info_for_dpi = found.system_parameters_for_dpi != nullptr,
    });
    return found;
  }();
  return calls;
}

DPI_AWARENESS_CONTEXT context_of(core::CaptionDpiContext context) {
  return context == core::CaptionDpiContext::PerMonitorV2 ? DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
                                                          : DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE;
}

// Found by trying, once, after the process has declared itself: Windows 10
// before 1703 (and Wine 8) refuse per-monitor v2 and take v1.
DPI_AWARENESS_CONTEXT caption_context() {
  static const DPI_AWARENESS_CONTEXT accepted = [] {
    const DpiCalls& calls = dpi_calls();
    const std::optional<core::CaptionDpiContext> chosen =
        core::first_accepted(calls.plan, [&calls](core::CaptionDpiContext context) {
          const DPI_AWARENESS_CONTEXT previous = calls.set_thread_context(context_of(context));
          if (previous == nullptr) return false;
          calls.set_thread_context(previous);
          return true;
        });
    return chosen ? context_of(*chosen) : nullptr;
  }();
  return accepted;
}

}  // namespace

void declare_process_dpi_awareness() {
  const DpiCalls& calls = dpi_calls();
  if (calls.plan.process_system_aware) calls.set_process_dpi_aware();
}

CaptionDpiScope::CaptionDpiScope() noexcept {
  if (const DPI_AWARENESS_CONTEXT context = caption_context()) previous_ = dpi_calls().set_thread_context(context);
}

CaptionDpiScope::~CaptionDpiScope() {
  if (previous_ != nullptr) dpi_calls().set_thread_context(previous_);
}

bool nonclient_metrics_for_window(HWND window, NONCLIENTMETRICSW& metrics) {
  const DpiCalls& calls = dpi_calls();
  if (calls.plan.caption_font != core::CaptionFontDpi::Window) return false;
  const UINT dpi = calls.get_dpi_for_window(window);
  return dpi != 0 &&
         calls.system_parameters_for_dpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi) != FALSE;
}

}  // namespace talvorin::platform::win32
