#include "platform/shell_adjustments.h"

#include "core/product.h"

namespace talvorin::platform {

namespace {

constexpr std::string_view kTaskbarClass = "shell_traywnd";
constexpr std::string_view kStartButtonClass = "button";
constexpr std::string_view kSecondaryTaskbarClass = "Shell_SecondaryTrayWnd";
constexpr std::string_view kStartWindowClass = "Start";

constexpr std::string_view kDesktopClass = "Progman";
constexpr std::string_view kWorkerClass = "WorkerW";
constexpr std::string_view kDesktopViewClass = "SHELLDLL_DefView";
constexpr std::string_view kIconListClass = "SysListView32";

// The desktop's icon list, or 0. A window that is not found ends the search:
// searched for under 0, the next class would be looked for among all the
// top-level windows, and another program's list view could be hidden.
WindowHandle desktop_icon_list(ShellWindows& shell) {
  WindowHandle view = 0;
  if (const WindowHandle desktop = shell.find_window(kDesktopClass)) {
    view = shell.find_child_window(desktop, kDesktopViewClass);
  }
  // Windows 7 and later move the view under one of the top-level WorkerW
  // windows once the wallpaper changes by itself.
  for (WindowHandle worker = 0; view == 0;) {
    worker = shell.find_next_window(0, worker, kWorkerClass);
    if (worker == 0) break;
    view = shell.find_child_window(worker, kDesktopViewClass);
  }
  return view == 0 ? 0 : shell.find_child_window(view, kIconListClass);
}

void show_desktop_icon_list(ShellWindows& shell, ShowCommand command) {
  if (const WindowHandle list = desktop_icon_list(shell)) shell.show_window(list, command);
}

core::ShellWindowSeen seen(WindowHandle window, const WindowFacts& facts) {
  return {window, facts.visible, facts.rect};
}

core::TaskbarSeen taskbar_seen(ShellWindows& shell, WindowHandle taskbar) {
  const WindowFacts facts = shell.facts(taskbar);
  core::TaskbarSeen seen_taskbar{seen(taskbar, facts), shell.is_topmost(taskbar), std::nullopt};
  if (const WindowHandle start = shell.find_child_window(taskbar, kStartWindowClass)) {
    seen_taskbar.start = seen(start, shell.facts(start));
  }
  return seen_taskbar;
}

}  // namespace

// Searches only as far as the first shape that fits: a tick on a shell with
// a Button child costs two looks more than the caption alone.
core::StartButtonSearch SearchStartButton(ShellWindows& shell, WindowHandle taskbar, WindowHandle button) {
  core::StartButtonSearch search;
  if (taskbar == 0) return search;
  if (button != 0) {
    const WindowFacts bar = shell.facts(taskbar);
    search.taskbar = core::TaskbarSeen{seen(taskbar, bar), shell.is_topmost(taskbar), std::nullopt};
    const WindowFacts facts = shell.facts(button);
    search.button = seen(button, facts);
    search.button_owner_drawn = facts.owner_drawn_button;
    return search;
  }
  search.taskbar = taskbar_seen(shell, taskbar);
  // Vista and 7 make the orb a top-level window of the taskbar's own thread;
  // another program's top-level button is no Start button.
  const std::uint32_t shell_thread = shell.thread_of(taskbar);
  for (WindowHandle orb = 0; (orb = shell.find_next_window(0, orb, kStartButtonClass)) != 0;) {
    if (shell.thread_of(orb) != shell_thread) continue;
    search.orb = seen(orb, shell.facts(orb));
    return search;
  }
  if (!search.taskbar->start) return search;
  for (WindowHandle other = 0; (other = shell.find_next_window(0, other, kSecondaryTaskbarClass)) != 0;) {
    search.secondary.push_back(taskbar_seen(shell, other));
  }
  return search;
}

void MissingButtonReport::button_missing(CaptionRequest request) {
  if (open_ || (reported_ && request == CaptionRequest::Timer)) return;
  reported_ = true;
  open_ = true;
  struct Reopen {
    bool& open;
    ~Reopen() { open = false; }
  } reopen{open_};
  boxes_.show(core::kErrorCannotFindWindow, MessageBoxStyle::Ok, core::kProductName);
}

void SetStartButtonText(ShellWindows& shell, const core::AnsiCodePage& code_page, MissingButtonReport& report,
                        CaptionRequest request, std::u16string& sCaption, StartOverlays& overlays) {
  const WindowHandle taskbar = shell.find_window(kTaskbarClass);
  // No taskbar, no Start button. A search under no parent would run over the
  // top-level windows and write the caption into whatever other program's
  // window is a top-level "button".
  const WindowHandle button = taskbar == 0 ? 0 : shell.find_child_window(taskbar, kStartButtonClass);
  const std::string ansi = code_page.encode(sCaption);
  shell.set_window_text(button, ansi);
  // The overlay is a window of our own: it shows what was typed, whatever
  // the code page could not carry.
  const core::StartButtonPlan plan = core::plan_start_button(SearchStartButton(shell, taskbar, button), sCaption);
  overlays.show(plan.overlays, sCaption);
  sCaption = code_page.decode(ansi);
  if (!plan.found()) {
    report.button_missing(request);
  } else {
    report.button_found();
  }
}

void ShowDesktopIcons(ShellWindows& shell) { show_desktop_icon_list(shell, ShowCommand::Show); }

void HideDesktopIcons(ShellWindows& shell) { show_desktop_icon_list(shell, ShowCommand::Hide); }

}  // namespace talvorin::platform
