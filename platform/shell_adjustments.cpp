#include "platform/shell_adjustments.h"

#include "core/product.h"

namespace talvorin::platform {

namespace {

constexpr std::string_view kTaskbarClass = "shell_traywnd";
constexpr std::string_view kStartButtonClass = "button";

}  // namespace

void SingleMessageBox::show(std::u16string_view prompt, MessageBoxStyle style, std::u16string_view title) {
  if (open_) return;
  open_ = true;
  struct Reopen {
    bool& open;
    ~Reopen() { open = false; }
  } reopen{open_};
  boxes_.show(prompt, style, title);
}

void SetStartButtonText(ShellWindows& shell, const core::AnsiCodePage& code_page, SingleMessageBox& error_box,
                        std::u16string& sCaption) {
  const WindowHandle taskbar = shell.find_window(kTaskbarClass);
  // With no taskbar the search runs over the top-level windows; a top-level
  // "button" then gets the text, and that is not an error.
  const WindowHandle button = shell.find_child_window(taskbar, kStartButtonClass);
  const std::string ansi = code_page.encode(sCaption);
  shell.set_window_text(button, ansi);
  sCaption = code_page.decode(ansi);
  if (button == 0) {
    error_box.show(core::kErrorCannotFindWindow, MessageBoxStyle::Ok, core::kProductName);
  }
}

}  // namespace talvorin::platform
