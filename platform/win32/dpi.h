#pragma once
// DPI awareness declared at run time, with the calls this Windows has. The
// manifest stays as it has always been, and the import table holds nothing
// newer than XP.

#include <windows.h>

namespace talvorin::platform::win32 {

// Before the first window of the program: the process draws for the
// system's DPI, and Windows neither stretches its windows nor scales the
// shell's rectangles it reads.
void declare_process_dpi_awareness();

// The thread's DPI context for the caption windows, from here to the end of
// the scope: per-monitor where Windows gives threads contexts of their own,
// so that the caption is drawn for the taskbar's monitor and placed in its
// pixels. The thread's own context comes back at the end. Around the
// caption windows' creation, every read of the shell's rectangles and every
// placement of the caption windows: the rectangles read and the ones set
// must be in the same pixels.
class CaptionDpiScope {
 public:
  CaptionDpiScope() noexcept;
  ~CaptionDpiScope();
  CaptionDpiScope(const CaptionDpiScope&) = delete;
  CaptionDpiScope& operator=(const CaptionDpiScope&) = delete;

 private:
  DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// The shell's non-client metrics for the DPI of the monitor `window` is
// on. False where Windows gives them only for the system's DPI, which is
// then the window's too.
bool nonclient_metrics_for_window(HWND window, NONCLIENTMETRICSW& metrics);

}  // namespace talvorin::platform::win32
