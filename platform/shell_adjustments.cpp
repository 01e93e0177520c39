#include "platform/shell_adjustments.h"

#include "core/product.h"

namespace talvorin::platform {

namespace {

constexpr std::string_view kTaskbarClass = "shell_traywnd";
constexpr std::string_view kStartButtonClass = "button";

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

}  // namespace

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
                        CaptionRequest request, std::u16string& sCaption) {
  const WindowHandle taskbar = shell.find_window(kTaskbarClass);
  // No taskbar, no Start button. A search under no parent would run over the
  // top-level windows and write the caption into whatever other program's
  // window is a top-level "button".
  const WindowHandle button = taskbar == 0 ? 0 : shell.find_child_window(taskbar, kStartButtonClass);
  const std::string ansi = code_page.encode(sCaption);
  shell.set_window_text(button, ansi);
  sCaption = code_page.decode(ansi);
  if (button == 0) {
    report.button_missing(request);
  } else {
    report.button_found();
  }
}

void ShowDesktopIcons(ShellWindows& shell) { show_desktop_icon_list(shell, ShowCommand::Show); }

void HideDesktopIcons(ShellWindows& shell) { show_desktop_icon_list(shell, ShowCommand::Hide); }

}  // namespace talvorin::platform
