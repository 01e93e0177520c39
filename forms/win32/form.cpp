#include "forms/win32/form.h"

#include <algorithm>
#include <utility>

#include "core/error.h"
#include "forms/win32/runtime.h"
#include "forms/win32/units.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide.h"

namespace talvorin::forms::win32 {

using platform::win32::from_wide;
using platform::win32::to_wide;

namespace {

// Posted to itself when the form becomes the program's active window, so
// the handler runs once the activation is done rather than inside it.
constexpr UINT kActivateEvent = WM_APP + 1;

int show_command(WindowState state, bool hidden) {
  switch (state) {
    case WindowState::Minimised:
      return hidden ? SW_SHOWMINNOACTIVE : SW_MINIMIZE;
    case WindowState::Maximised:
      return SW_MAXIMIZE;
    case WindowState::Normal:
      break;
  }
  return hidden ? SW_SHOWNOACTIVATE : SW_RESTORE;
}

// Sets a flag for as long as the scope lasts, then puts back what it was.
class ScopedFlag {
 public:
  ScopedFlag(bool& flag, bool value) : flag_(flag), before_(std::exchange(flag, value)) {}
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;
  ~ScopedFlag() { flag_ = before_; }

 private:
  bool& flag_;
  bool before_;
};

}  // namespace

// --- the form -----------------------------------------------------------

Form::Form(Runtime& runtime, const FormArgs& args)
    : Window(runtime.errors()), runtime_(runtime), core_(args, runtime.active_form(), *this) {
  const ScopedFlag building(building_, true);
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  if (args.sizable) style |= WS_THICKFRAME;
  if (args.min_button) style |= WS_MINIMIZEBOX;
  if (args.max_button) style |= WS_MAXIMIZEBOX;
  // Owned by the hidden application window, a form has a taskbar button
  // only through WS_EX_APPWINDOW, which the application takes away.
  const DWORD ex_style = runtime.app().task_visible() ? WS_EX_APPWINDOW : 0;
  RECT frame{0, 0, twips_to_pixels(args.client_width, runtime.dpi_x()),
             twips_to_pixels(args.client_height, runtime.dpi_y())};
  ::AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const std::wstring caption = to_wide(args.caption);
  create(runtime.instance(), {.ex_style = ex_style,
                              .class_name = kFormWindowClass,
                              .text = caption.c_str(),
                              .style = style,
                              .width = frame.right - frame.left,
                              .height = frame.bottom - frame.top,
                              .parent = runtime.app_window()});
  load_icons(args.icon_resource);
  runtime_.form_loaded(*this);
}

Form::~Form() {
  if (hwnd()) runtime_.form_unloaded(*this);
  // Gone before the controls' objects, so no message finds them half destroyed.
  destroy_quietly();
}

RECT Form::pixels(const TwipsRect& rect) const {
  const int left = twips_to_pixels(rect.left, runtime_.dpi_x());
  const int top = twips_to_pixels(rect.top, runtime_.dpi_y());
  return RECT{left, top, left + twips_to_pixels(rect.width, runtime_.dpi_x()),
              top + twips_to_pixels(rect.height, runtime_.dpi_y())};
}

Control* Form::control_by_id(int id) const {
  const int index = id - kFirstControlId;
  return index >= 0 && index < static_cast<int>(controls_.size()) ? controls_[static_cast<std::size_t>(index)].get()
                                                                  : nullptr;
}

Timer& Form::add_timer(const TimerArgs& args) {
  const UINT_PTR id = core_.timers().size() + 1;  // 0 is no timer
  return core_.add_timer(args, [this, id](const Timer& changed) {
    if (!hwnd()) return;
    if (changed.running()) {
      ::SetTimer(hwnd(), id, changed.interval(), nullptr);
    } else {
      ::KillTimer(hwnd(), id);
    }
  });
}

void Form::load_icons(int resource) {
  if (resource == 0) return;
  const auto load = [this, resource](int width_metric, int height_metric) {
    return static_cast<HICON>(::LoadImageW(runtime_.instance(), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                           ::GetSystemMetrics(width_metric), ::GetSystemMetrics(height_metric),
                                           LR_DEFAULTCOLOR));
  };
  big_icon_.reset(load(SM_CXICON, SM_CYICON));
  small_icon_.reset(load(SM_CXSMICON, SM_CYSMICON));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
}

void Form::show() { core_.show(window_state() == WindowState::Minimised); }

void Form::show_window(bool restore) {
  ::ShowWindow(hwnd(), restore ? SW_RESTORE : SW_SHOW);
  // Shown before or not, it comes in front of the windows covering it.
  ::SetForegroundWindow(hwnd());
  const HWND focus = ::GetFocus();
  move_focus(core_.focus_after_show(::GetForegroundWindow() == hwnd(), ::IsIconic(hwnd()) != FALSE,
                                    focus && ::IsChild(hwnd(), focus)));
}

void Form::hide() { core_.hide(); }

void Form::hide_window() { ::ShowWindow(hwnd(), SW_HIDE); }

bool Form::visible() const { return core_.visible(); }

WindowState Form::window_state() const {
  if (hwnd() && ::IsIconic(hwnd())) return WindowState::Minimised;
  if (hwnd() && ::IsZoomed(hwnd())) return WindowState::Maximised;
  return WindowState::Normal;
}

void Form::set_window_state(WindowState state) {
  if (core_.unloaded() || state == window_state()) return;
  // A hidden window changes its state and stays hidden: the show that
  // ShowWindow asks for is taken out in WM_WINDOWPOSCHANGING.
  const bool hidden = !core_.visible();
  const ScopedFlag keep(keep_hidden_, hidden);
  ::ShowWindow(hwnd(), show_command(state, hidden));
}

std::u16string Form::caption() const { return from_wide(window_text(hwnd())); }

platform::WindowHandle Form::window_handle() const { return reinterpret_cast<platform::WindowHandle>(hwnd()); }

std::uintptr_t Form::icon_handle() const {
  return reinterpret_cast<std::uintptr_t>(small_icon_ ? small_icon_.get() : big_icon_.get());
}

void Form::popup_menu(forms::Menu& menu) {
  const auto popup =
      std::find_if(menus_.begin(), menus_.end(), [&menu](const auto& each) { return &each->menu() == &menu; });
  if (popup == menus_.end()) return;
  platform::win32::PopupMenuCalls calls;
  // The hidden application window takes the foreground for the menu, not
  // this form: a form that is not shown must not hold the keyboard.
  const auto owner = reinterpret_cast<platform::WindowHandle>(runtime_.app_window());
  platform::track_popup_menu_at_pointer(calls, reinterpret_cast<platform::MenuHandle>((*popup)->popup()), owner,
                                        [this, &menu](std::uint32_t chosen) { core_.menu_chosen(menu, chosen); });
}

void Form::set_caption(std::u16string_view caption) {
  const std::wstring text = to_wide(caption);
  if (hwnd()) ::SetWindowTextW(hwnd(), text.c_str());
}

void Form::set_auto_redraw(bool on) {
  if (!hwnd() || on == auto_redraw_) return;
  auto_redraw_ = on;
  if (on) canvas();
  // Painting the image over the whole client area must leave the controls be.
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd(), GWL_STYLE);
  ::SetWindowLongPtrW(hwnd(), GWL_STYLE, on ? (style | WS_CLIPCHILDREN) : (style & ~LONG_PTR{WS_CLIPCHILDREN}));
}

void Form::set_font_size(double points) {
  if (!hwnd()) return;
  LOGFONTW font{};
  ::GetObjectW(default_gui_font(), sizeof(font), &font);
  font.lfHeight = font_height_pixels(points, runtime_.dpi_y());
  font.lfWidth = 0;
  canvas().set_font(platform::win32::unique_hfont(::CreateFontIndirectW(&font)));
}

Canvas& Form::canvas() {
  if (!canvas_) canvas_ = std::make_unique<Canvas>(hwnd());
  return *canvas_;
}

std::uintptr_t Form::hdc() { return core_.unloaded() ? 0 : reinterpret_cast<std::uintptr_t>(canvas().dc()); }

float Form::scale_width() const {
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  return static_cast<float>(client.right) * runtime_.twips_per_pixel_x();
}

void Form::refresh() {
  if (!hwnd()) return;
  ::InvalidateRect(hwnd(), nullptr, FALSE);
  ::UpdateWindow(hwnd());
}

void Form::set_task_visible(bool visible) {
  // The taskbar reads the style when the window is next shown.
  LONG_PTR ex_style = ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
  ex_style = visible ? (ex_style | WS_EX_APPWINDOW) : (ex_style & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
  ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ex_style);
}

void Form::taskbar_created() { core_.taskbar_created(); }

void Form::end_session() { core_.end_session(); }

void Form::unload() { core_.unload(); }

void Form::destroy_window() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

void Form::post_activate_event() { ::PostMessageW(hwnd(), kActivateEvent, 0, 0); }

// --- messages -----------------------------------------------------------

LRESULT Form::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  Answer answer;
  switch (message) {
    case WM_SIZE:
      answer = on_size();
      break;
    case WM_WINDOWPOSCHANGING:
      answer = on_window_pos_changing(*reinterpret_cast<WINDOWPOS*>(lparam));
      break;
    case WM_WINDOWPOSCHANGED:
      answer = on_window_pos_changed(*reinterpret_cast<const WINDOWPOS*>(lparam));
      break;
    case WM_CLOSE:
      answer = on_close();
      break;
    case WM_QUERYENDSESSION:
      answer = on_query_end_session();
      break;
    case WM_ENDSESSION:
      answer = on_end_session(wparam != FALSE);
      break;
    case WM_COMMAND:
      answer = on_command(LOWORD(wparam), HIWORD(wparam));
      break;
    case WM_TIMER:
      answer = on_timer(wparam);
      break;
    case WM_CTLCOLORSTATIC:
      answer = on_ctl_color_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
      break;
    case WM_ACTIVATE:
      answer = on_activate(LOWORD(wparam) != WA_INACTIVE);
      break;
    case kActivateEvent:
      answer = on_activate_event();
      break;
    case WM_SETCURSOR:
      answer = on_set_cursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam));
      break;
    case WM_PAINT:
      answer = on_paint();
      break;
    case WM_PRINTCLIENT:
      answer = on_print_client(reinterpret_cast<HDC>(wparam));
      break;
    case WM_ERASEBKGND:
      answer = on_erase_background();
      break;
    case WM_SETFOCUS:
      answer = on_set_focus();
      break;
    default:
      break;
  }
  return answer ? *answer : default_procedure(message, wparam, lparam);
}

void Form::on_destroyed() {
  core_.gone();
  runtime_.form_unloaded(*this);
}

Form::Answer Form::on_size() {
  if (!building_) core_.resize();
  return 0;
}

Form::Answer Form::on_window_pos_changing(WINDOWPOS& pos) const {
  if (keep_hidden_) {
    pos.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    pos.flags |= SWP_NOACTIVATE;
  }
  return std::nullopt;
}

// Whoever shows or hides the window, the form knows it: another program
// may, and Windows hides it on its way out.
Form::Answer Form::on_window_pos_changed(const WINDOWPOS& pos) {
  if (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) core_.window_visible(::IsWindowVisible(hwnd()) != FALSE);
  return std::nullopt;
}

Form::Answer Form::on_close() {
  core_.close_box();
  return 0;
}

// The program never holds up a log-off: it saves on its way out instead.
Form::Answer Form::on_query_end_session() const { return TRUE; }

Form::Answer Form::on_end_session(bool ending) {
  if (ending) end_session();
  return 0;
}

Form::Answer Form::on_command(int id, int code) {
  if (code != BN_CLICKED) return 0;  // STN_CLICKED is the same 0
  if (Control* control = control_by_id(id)) control->clicked();
  return 0;
}

Form::Answer Form::on_timer(WPARAM id) const {
  if (id >= 1 && id <= core_.timers().size()) core_.timers()[id - 1]->tick();
  return 0;
}

Form::Answer Form::on_ctl_color_static(HDC dc, HWND window) const {
  const Control* control = control_of(window);
  const HBRUSH brush = control ? control->paint_colors(dc) : nullptr;
  if (!brush) return std::nullopt;
  return reinterpret_cast<LRESULT>(brush);
}

Form::Answer Form::on_activate(bool active) {
  if (active) {
    move_focus(core_.activated(::IsIconic(hwnd()) != FALSE));
    return 0;
  }
  const HWND focus = ::GetFocus();
  if (focus && ::IsChild(hwnd(), focus)) focus_id_ = ::GetDlgCtrlID(focus);
  return 0;
}

Form::Answer Form::on_activate_event() const {
  core_.activate_event();
  return 0;
}

Form::Answer Form::on_set_cursor(HWND window, int hit) const {
  const Control* control = control_of(window);
  if (!control || !control->cursor() || hit != HTCLIENT) return std::nullopt;
  ::SetCursor(control->cursor());
  return TRUE;
}

Form::Answer Form::on_paint() {
  if (!auto_redraw_) return std::nullopt;
  const platform::win32::paint_dc dc(hwnd());
  if (dc.get()) paint_content(dc.get(), dc.area());
  return 0;
}

Form::Answer Form::on_print_client(HDC dc) const {
  if (!auto_redraw_) return std::nullopt;
  paint_content(dc, client_rect());
  return 0;
}

Form::Answer Form::on_erase_background() const {
  if (!auto_redraw_) return std::nullopt;
  return TRUE;  // the image covers it all
}

Form::Answer Form::on_set_focus() {
  move_focus(core_.focus_received());
  return 0;
}

// What the window shows of its image, on the screen or into a printout.
void Form::paint_content(HDC dc, const RECT& area) const {
  if (canvas_) canvas_->paint(dc, area);
}

RECT Form::client_rect() const {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  return client;
}

const Control* Form::control_of(HWND window) const {
  if (!window || ::GetParent(window) != hwnd()) return nullptr;
  return control_by_id(::GetDlgCtrlID(window));
}

void Form::move_focus(FocusMove move) {
  switch (move) {
    case FocusMove::Stay:
      break;
    case FocusMove::IntoControls:
      if (restore_focus()) break;
      [[fallthrough]];
    case FocusMove::ToWindow:
      // The keys go to the bare window, which takes none of them.
      ::SetFocus(hwnd());
      break;
  }
}

bool Form::restore_focus() const {
  HWND target = focus_id_ != 0 ? ::GetDlgItem(hwnd(), focus_id_) : nullptr;
  if (!target || !::IsWindowVisible(target) || !::IsWindowEnabled(target)) {
    target = ::GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  }
  if (!target) return false;
  ::SetFocus(target);
  return true;
}

}  // namespace talvorin::forms::win32
