#include <windows.h>

#include <utility>

#include "platform/win32/adapters.h"
#include "platform/win32/window.h"

namespace talvorin::platform::win32 {

namespace {

using core::WindowEventKind;
static_assert(static_cast<DWORD>(WindowEventKind::Foreground) == EVENT_SYSTEM_FOREGROUND);
static_assert(static_cast<DWORD>(WindowEventKind::Destroy) == EVENT_OBJECT_DESTROY);
static_assert(static_cast<DWORD>(WindowEventKind::Show) == EVENT_OBJECT_SHOW);
static_assert(static_cast<DWORD>(WindowEventKind::Hide) == EVENT_OBJECT_HIDE);
static_assert(static_cast<DWORD>(WindowEventKind::Reorder) == EVENT_OBJECT_REORDER);
static_assert(static_cast<DWORD>(WindowEventKind::LocationChange) == EVENT_OBJECT_LOCATIONCHANGE);
static_assert(core::kWindowObject == OBJID_WINDOW);

}  // namespace

std::uint32_t ShellWatch::own_process() { return ::GetCurrentProcessId(); }

std::uint32_t ShellWatch::process_of(WindowHandle window) {
  DWORD process = 0;
  if (window == 0 || ::GetWindowThreadProcessId(as_hwnd(window), &process) == 0) return 0;
  return process;
}

// Out of context: the events come as messages to this thread, so nothing of
// ours runs in another process and every handler runs on the one thread.
// WINEVENT_SKIPOWNPROCESS would spare the program its own events, but under
// Wine 10 a hook with it hears nothing at all; core drops them instead.
// Between the z-order changes and the moves lie the focus, selection and
// state changes that Explorer makes all day: two hooks leave them out. The
// program's own windows, which change only when it changes them, have one
// hook for the lot: their shows and moves tell that the events come.
bool ShellWatch::watch(std::uint32_t process, Listener listener) {
  stop();
  const auto hook = [](DWORD first, DWORD last, DWORD of) {
    return unique_hwineventhook(::SetWinEventHook(first, last, nullptr, hear, of, 0, WINEVENT_OUTOFCONTEXT));
  };
  foreground_ = hook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, 0);
  shown_to_reordered_ = hook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_REORDER, process);
  moved_ = hook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, process);
  own_ = hook(EVENT_OBJECT_SHOW, EVENT_OBJECT_LOCATIONCHANGE, own_process());
  if (!foreground_ || !shown_to_reordered_ || !moved_ || !own_) {
    stop();
    return false;
  }
  listener_ = std::move(listener);
  process_ = process;
  listening_ = this;
  return true;
}

void ShellWatch::stop() {
  foreground_.reset();
  shown_to_reordered_.reset();
  moved_.reset();
  own_.reset();
  listener_ = nullptr;
  process_ = 0;
  if (listening_ == this) listening_ = nullptr;
}

void CALLBACK ShellWatch::hear(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD) noexcept {
  ShellWatch* self = listening_;
  if (!self || !self->listener_ || self->errors_.showing()) return;
  try {
    // The hooks of one process tell whose window it is; the foreground's,
    // of every process, must ask.
    const std::uint32_t process = hook == self->foreground_.get() ? self->process_of(as_handle(window))
                                  : hook == self->own_.get()      ? self->own_process()
                                                                  : self->process_;
    self->listener_(core::WindowEvent{static_cast<WindowEventKind>(event), process, object});
  } catch (...) {
    self->errors_.report(std::current_exception());
  }
}

}  // namespace talvorin::platform::win32
