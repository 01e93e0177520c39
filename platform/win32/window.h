#pragma once
// One C++ object per window of ours. The object is bound to its window on
// WM_NCCREATE; a tiny static procedure hands every message to the object's
// on_message, and no exception ever crosses back into Windows.

#include <windows.h>

#include <exception>
#include <string>

#include "platform/win32/handles.h"

namespace talvorin::platform::win32 {

// How an unhandled run-time error ends the program: a message box with the
// error's text, then the process ends with exit code 1.
class ErrorReport {
 public:
  [[noreturn]] void report(const std::exception_ptr& error) noexcept;
  // Runs the program's start-up, the runtime's own building included: a
  // run-time error in it ends the program as one anywhere else does.
  template <typename F>
  int guarded(F&& body) noexcept {
    try {
      return body();
    } catch (...) {
      report(std::current_exception());
    }
  }
  // While the report is up its box pumps messages; nothing of ours may run
  // then, or a ticking handler would fail again on top of it.
  bool showing() const { return showing_; }

 private:
  bool showing_ = false;
};

// The text a run-time error reports.
std::wstring error_text(const std::exception_ptr& error);

struct WindowCreateArgs {
  DWORD ex_style = 0;
  const wchar_t* class_name = nullptr;
  const wchar_t* text = L"";
  DWORD style = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HWND parent = nullptr;
  int control_id = 0;  // children only
};

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return window_.get(); }

  // The procedure of every window class of ours.
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

 protected:
  explicit Window(ErrorReport& errors) : errors_(errors) {}
  // The window goes without a message reaching a half-destroyed object.
  virtual ~Window();

  // Creates the window bound to this object. Throws when Windows refuses.
  void create(HINSTANCE instance, const WindowCreateArgs& args);
  // Destroys the window with no message reaching this object any more.
  void destroy_quietly();

  virtual LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // The window is gone, whoever destroyed it.
  virtual void on_destroyed() {}

  LRESULT default_procedure(UINT message, WPARAM wparam, LPARAM lparam) {
    return ::DefWindowProcW(hwnd(), message, wparam, lparam);
  }

 private:
  LRESULT dispatch(UINT message, WPARAM wparam, LPARAM lparam);
  void detach();

  ErrorReport& errors_;
  unique_hwnd window_;
};

}  // namespace talvorin::platform::win32
