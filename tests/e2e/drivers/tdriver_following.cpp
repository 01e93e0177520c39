// Following the shell between the program's ticks: how soon the caption catches up when the taskbar moves.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {

namespace {

// Milliseconds on the performance counter, inside Wine: a clock of the
// scripts' would add a process start to every reading.
class PreciseClock {
 public:
  PreciseClock() {
    ::QueryPerformanceFrequency(&frequency_);
    ::QueryPerformanceCounter(&start_);
  }
  double ms() const {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER start_{};
};

}  // namespace

// A millisecond's sleep that lets the driver's own windows have their messages.
static void sleep_a_millisecond() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  ::Sleep(1);
}

static std::wstring ms_text(double ms) { return ms < 0 ? L"-" : std::to_wstring(std::lround(ms)); }

static bool stands_above(HWND window, HWND below) {
  for (HWND above = ::GetWindow(below, GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV)) {
    if (above == window) return true;
  }
  return false;
}

// raise-taskbar COUNT: Wine's taskbar raised and made the foreground window
// as a click on it does, COUNT times, each after a window of the driver's
// had the foreground for 150 to 250 ms, so that the raises fall on every
// part of the program's 100 ms tick. Sampled every millisecond: "beneath
// MS..." how long from each raise the caption window stood beneath the
// taskbar, "-" where it still did after 500 ms.
int cmd_raise_taskbar(Args args) {
  if (args.empty()) return kUsage;
  HWND taskbar = wine_taskbar();
  if (!taskbar) return missing(L"Wine's taskbar");
  const e2e::unique_hwnd other(
      make_window(L"TalvorinE2EOther", nullptr, 0, WS_POPUP | WS_VISIBLE | WS_BORDER, RECT{300, 300, 400, 400}));
  std::wstring line = L"beneath";
  for (long raise = 0; raise < parse_long(args[0]); ++raise) {
    ::SetForegroundWindow(other.get());
    const double pause = 150 + static_cast<double>(raise * 37 % 100);
    for (const PreciseClock settle; settle.ms() < pause;) sleep_a_millisecond();
    const std::vector<HWND> shown = shown_overlays();
    if (shown.empty()) return missing(L"caption window");
    const PreciseClock clock;
    ::SetWindowPos(taskbar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(taskbar);
    double beneath = -1;
    while (clock.ms() < 500) {
      if (!stands_above(taskbar, shown.front())) {
        beneath = clock.ms();
        break;
      }
      sleep_a_millisecond();
    }
    line += L" " + ms_text(beneath);
  }
  print(line);
  return kOk;
}

// Moves something of the stand-in COUNT times, a step every INTERVAL ms, and
// samples the caption windows every millisecond. For each step: how long
// until the caption showed over what could be seen of the Start window
// then, or of a later step (it caught up), or hid where less than 8 px of
// it were left. The second taskbar's caption, at the top of the screen,
// does not count. Prints "late MS...", "-" for a step the caption never
// caught up with in 300 ms, "?MS" for one whose time cannot be told to
// 10 ms: the driver itself had not looked for more than 10 ms when it saw
// the caption caught up (the machine did not run it then).
static int follow_steps(long count, long interval_ms, const std::function<void()>& step) {
  HWND start = standin_start();
  if (!start) return missing(L"stand-in Start window");
  const auto over_main_bar = [] {
    std::vector<RECT> rects;
    for (HWND overlay : shown_overlays()) {
      RECT rect{};
      ::GetWindowRect(overlay, &rect);
      if (rect.top >= ::GetSystemMetrics(SM_CYSCREEN) / 2) rects.push_back(rect);
    }
    return rects;
  };
  struct Step {
    double at;
    std::optional<RECT> part;  // none: the caption hides
    double late = -1;
    bool blind = false;
  };
  std::vector<Step> steps;
  std::size_t caught = 0;
  const PreciseClock clock;
  double looked = 0;
  while (caught < static_cast<std::size_t>(count) &&
         (steps.size() < static_cast<std::size_t>(count) || clock.ms() < steps.back().at + 300)) {
    if (steps.size() < static_cast<std::size_t>(count) &&
        clock.ms() >= static_cast<double>(steps.size()) * interval_ms) {
      step();
      RECT rect{};
      ::GetWindowRect(start, &rect);
      const RECT part = standin_visible_part(rect);
      const bool seen = part.right - part.left >= 8 && part.bottom - part.top >= 8;
      steps.push_back({clock.ms(), seen ? std::optional<RECT>(part) : std::nullopt});
    }
    const std::vector<RECT> shown = over_main_bar();
    const double now = clock.ms();
    for (std::size_t k = steps.size(); k-- > caught;) {
      const bool matches =
          steps[k].part ? shown.size() == 1 && ::EqualRect(&shown[0], &*steps[k].part) != FALSE : shown.empty();
      if (!matches) continue;
      for (; caught <= k; ++caught) {
        steps[caught].late = now - steps[caught].at;
        steps[caught].blind = now - std::max(looked, steps[caught].at) > 10;
      }
      break;
    }
    looked = now;
    sleep_a_millisecond();
  }
  std::wstring line = L"late";
  for (const Step& one : steps) line += (one.blind ? L" ?" : L" ") + ms_text(one.late);
  print(line);
  return kOk;
}

// standin-steps start|bar COUNT D INTERVAL_MS: every INTERVAL_MS, the
// stand-in's Start window moves D along its taskbar, as Windows 11's centred
// one does when a program opens or closes; or its taskbar moves D down, as
// an auto-hidden one slides off the screen and back.
int cmd_standin_steps(Args args) {
  if (args.size() < 4) return kUsage;
  const bool start_moves = args[0] == L"start";
  HWND window = start_moves ? standin_start() : standin_bar();
  if (!window) return missing(L"stand-in " + args[0]);
  const long d = parse_long(args[2]);
  return follow_steps(parse_long(args[1]), parse_long(args[3]), [window, start_moves, d] {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    POINT origin{rect.left + (start_moves ? d : 0), rect.top + (start_moves ? 0 : d)};
    if (start_moves) ::ScreenToClient(::GetAncestor(window, GA_PARENT), &origin);
    ::SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  });
}

}  // namespace tdriver
