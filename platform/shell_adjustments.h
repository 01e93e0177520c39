#pragma once
// Procedures that act on the shell's own windows.

#include <string>
#include <string_view>

#include "platform/ports.h"

namespace talvorin::platform {

// Keeps to one error box at a time: while a box is open, a second call
// returns at once instead of opening another on top of it.
class SingleMessageBox {
 public:
  explicit SingleMessageBox(MessageBoxes& boxes) : boxes_(boxes) {}
  void show(std::u16string_view prompt, MessageBoxStyle style, std::u16string_view title);
  bool is_open() const { return open_; }

 private:
  MessageBoxes& boxes_;
  bool open_ = false;
};

// Writes the caption into the taskbar's Start button, looked up afresh.
// sCaption comes back as the code page could carry it. A missing button is
// reported with the one error box.
void SetStartButtonText(ShellWindows& shell, const core::AnsiCodePage& code_page, SingleMessageBox& error_box,
                        std::u16string& sCaption);

}  // namespace talvorin::platform
