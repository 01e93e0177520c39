#include "platform/win32/window.h"

#include "core/error.h"
#include "core/product.h"
#include "platform/win32/wide.h"

namespace talvorin::platform::win32 {

namespace {

std::wstring from_utf8(const char* text) {
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (size <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), size);
  wide.pop_back();
  return wide;
}

}  // namespace

std::wstring error_text(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return from_utf8(e.what());
  } catch (...) {
    return L"Unknown run-time error";
  }
}

void ErrorReport::report(const std::exception_ptr& error) noexcept {
  showing_ = true;
  const std::wstring title = to_wide(core::kProductName);
  ::MessageBoxW(nullptr, error_text(error).c_str(), title.c_str(), MB_OK | MB_ICONERROR);
  ::ExitProcess(1);
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  // A window of one of our classes made by anyone else than Window::create
  // carries no object: it gets the default procedure.
  if (message == WM_NCCREATE) {
    if (auto* self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams)) {
      self->window_.reset(hwnd);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->errors_.showing()) return ::DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return self->dispatch(message, wparam, lparam);
  } catch (...) {
    self->errors_.report(std::current_exception());
  }
}

LRESULT Window::dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_NCDESTROY) return on_message(message, wparam, lparam);
  const LRESULT result = on_message(message, wparam, lparam);
  detach();
  on_destroyed();
  return result;
}

void Window::detach() {
  ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  (void)window_.release();
}

Window::~Window() { destroy_quietly(); }

void Window::destroy_quietly() {
  if (!window_) return;
  const HWND hwnd = window_.get();
  detach();
  ::DestroyWindow(hwnd);
}

void Window::create(HINSTANCE instance, const WindowCreateArgs& args) {
  const HWND hwnd =
      ::CreateWindowExW(args.ex_style, args.class_name, args.text, args.style, args.x, args.y, args.width, args.height,
                        args.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.control_id)), instance, this);
  if (!hwnd) throw core::Error("cannot create a window");
}

}  // namespace talvorin::platform::win32
