#include "forms/win32/runtime.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/module_path.h"
#include "core/product.h"
#include "core/version_info.h"
#include "forms/win32/form.h"
#include "forms/win32/units.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/wide.h"

namespace talvorin::forms::win32 {

using platform::win32::from_wide;
using platform::win32::to_wide;

namespace {

static_assert(static_cast<UINT>(platform::MessageBoxStyle::Ok) == MB_OK);

constexpr wchar_t kTaskbarCreated[] = L"TaskbarCreated";
// The program registers no message file: the log shows the entry's text as
// its only insertion string.
constexpr DWORD kEventIdError = 1;
constexpr int kDefaultDpi = 96;
// RT_VERSION as a number: the macro's type follows UNICODE.
constexpr WORD kVersionResourceType = 16;
// To the application window: the handlers given to post() are waiting.
constexpr UINT kRunPosted = WM_APP + 2;

// User Interface Privilege Isolation drops a registered message sent from a
// lower integrity level: Explorer's "TaskbarCreated" would never reach a copy
// run as administrator, which would lose its icon for good at Explorer's
// restart. Windows 7 lets one window take it, Vista the whole process; XP
// has neither call and needs none.
using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);
constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for Vista's call

void let_through_from_lower_integrity(HWND window, UINT message) {
  using platform::win32::system_function;
  if (const auto per_window =
          system_function<ChangeWindowMessageFilterExFn>(L"user32.dll", "ChangeWindowMessageFilterEx")) {
    per_window(window, message, kMessageFilterAllow, nullptr);
  } else if (const auto per_process =
                 system_function<ChangeWindowMessageFilterFn>(L"user32.dll", "ChangeWindowMessageFilter")) {
    per_process(message, kMessageFilterAllow);
  }
}

void register_class(HINSTANCE instance, const wchar_t* name) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = Window::procedure;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  // The forms' own background, the button face, as the controls expect.
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = name;
  if (!::RegisterClassExW(&window_class) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw core::Error("cannot register a window class");
  }
}

int screen_dpi(int index) {
  const platform::win32::window_dc screen;
  const int dpi = screen ? ::GetDeviceCaps(screen.get(), index) : 0;
  return dpi > 0 ? dpi : kDefaultDpi;
}

// The full path of the running executable, however long.
std::wstring module_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::u16string Application::path() const { return core::folder_of(from_wide(module_path())); }

std::u16string Application::exe_name() const { return core::base_name_of(from_wide(module_path())); }

// From the exe's own version resource, read in place: the version library
// is no KnownDLL, and one planted beside the exe would be loaded with it.
Version Application::version() const {
  const HMODULE self = ::GetModuleHandleW(nullptr);
  const HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(kVersionResourceType));
  const HGLOBAL loaded = found ? ::LoadResource(self, found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return {};
  const auto version = core::file_version_of({static_cast<const std::uint8_t*>(data), ::SizeofResource(self, found)});
  return version ? Version{version->major, version->minor} : Version{};
}

void Application::set_task_visible(bool visible) {
  task_visible_ = visible;
  runtime_.for_each_form([visible](Form& form) { form.set_task_visible(visible); });
}

void Application::log_error(std::u16string_view text) {
  const std::wstring source = to_wide(core::kProductName);
  HANDLE log = ::RegisterEventSourceW(nullptr, source.c_str());
  if (log == nullptr) return;
  const std::wstring message = to_wide(text);
  const wchar_t* strings[] = {message.c_str()};
  ::ReportEventW(log, EVENTLOG_ERROR_TYPE, 0, kEventIdError, nullptr, 1, 0, strings, nullptr);
  ::DeregisterEventSource(log);
}

AppWindow::AppWindow(Runtime& runtime, HINSTANCE instance) : Window(runtime.errors()), runtime_(runtime) {
  const std::wstring title = to_wide(core::kProductName);
  create(instance, {.class_name = kAppWindowClass, .text = title.c_str(), .style = WS_OVERLAPPED});
}

LRESULT AppWindow::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == live_handles_message_ && message != 0) {
    using platform::win32::LiveHandles;
    return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(LiveHandles::gdi), static_cast<WORD>(LiveHandles::user)));
  }
  if (message == runtime_.taskbar_created_message() && message != 0) {
    runtime_.for_each_form([](Form& form) { form.taskbar_created(); });
    return 0;
  }
  switch (message) {
    case kRunPosted:
      runtime_.run_posted();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) runtime_.for_each_form([](Form& form) { form.end_session(); });
      return 0;
    default:
      return default_procedure(message, wparam, lparam);
  }
}

Runtime::Runtime(HINSTANCE instance, platform::Registry& registry, ErrorReport& errors)
    : instance_(instance), errors_(errors), settings_(registry) {
  register_class(instance_, kAppWindowClass);
  register_class(instance_, kFormWindowClass);
  register_class(instance_, kPictureWindowClass);
  dpi_x_ = screen_dpi(LOGPIXELSX);
  dpi_y_ = screen_dpi(LOGPIXELSY);
  taskbar_created_ = ::RegisterWindowMessageW(kTaskbarCreated);
  app_window_ = std::make_unique<AppWindow>(*this, instance_);
  if (taskbar_created_ != 0) let_through_from_lower_integrity(app_window_->hwnd(), taskbar_created_);
}

Runtime::~Runtime() = default;

std::unique_ptr<forms::Form> Runtime::create_form(const FormArgs& args) { return std::make_unique<Form>(*this, args); }

float Runtime::twips_per_pixel_x() const { return twips_per_pixel(dpi_x_); }

float Runtime::twips_per_pixel_y() const { return twips_per_pixel(dpi_y_); }

void Runtime::do_events() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to swallow: the loop further out must see it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
  }
}

void Runtime::wait_for_events(std::uint32_t timeout_ms) {
  // MWMO_INPUTAVAILABLE: a message that arrived before the wait, and that
  // do_events has not taken yet, ends it too.
  ::MsgWaitForMultipleObjectsEx(0, nullptr, timeout_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// A posted message waits behind those posted before it, and the system
// hands out every message posted before a timer's. One message stands for
// every handler given until it arrives.
void Runtime::post(Handler handler) {
  posted_.push_back(std::move(handler));
  if (posted_.size() > 1) return;
  // A queue full to its limit takes no more: the handlers are dropped, as
  // the message is.
  if (!::PostMessageW(app_window_->hwnd(), kRunPosted, 0, 0)) posted_.clear();
}

void Runtime::run_posted() {
  std::vector<Handler> handlers;
  handlers.swap(posted_);
  for (const Handler& handler : handlers) handler();
}

void Runtime::end() { ::ExitProcess(0); }

int Runtime::run() {
  MSG message;
  while (!forms_.empty()) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    dispatch(message);
  }
  return 0;
}

void Runtime::form_loaded(Form& form) { forms_.push_back(&form); }

void Runtime::form_unloaded(Form& form) {
  std::erase(forms_, &form);
  // A form unloaded inside a sent message (WM_ENDSESSION, or a WM_CLOSE
  // sent from another program) leaves GetMessage waiting for a posted one:
  // post it something, so run() sees that no form is left.
  if (forms_.empty() && app_window_) ::PostMessageW(app_window_->hwnd(), WM_NULL, 0, 0);
}

bool Runtime::is_live(const Form* form) const { return std::find(forms_.begin(), forms_.end(), form) != forms_.end(); }

HWND Runtime::dialog_root(HWND target) const {
  if (!target) return nullptr;
  const HWND root = ::GetAncestor(target, GA_ROOT);
  // A hidden form moves no focus into its controls, Tab included.
  for (const Form* form : forms_) {
    if (form->hwnd() == root && form->visible()) return root;
  }
  return nullptr;
}

void Runtime::dispatch(MSG& message) {
  // Tab and the arrow keys move between a form's controls as in a dialog.
  // Enter there asks for the default button and then for IDOK; a form has
  // neither, so it presses nothing.
  // Only keys need it: any other message IsDialogMessage would translate and
  // dispatch as below, and finding the form costs two trips to the window
  // server on every timer tick.
  const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
  if (const HWND root = key ? dialog_root(message.hwnd) : nullptr; root && ::IsDialogMessageW(root, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

}  // namespace talvorin::forms::win32
