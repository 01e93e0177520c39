#include "forms/win32/form.h"

#include <algorithm>
#include <utility>

#include "core/error.h"
#include "core/settings.h"
#include "forms/win32/runtime.h"
#include "forms/win32/units.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide.h"

namespace talvorin::forms::win32 {

using platform::win32::from_wide;
using platform::win32::to_wide;

namespace {

static_assert(static_cast<WPARAM>(core::CheckState::Clear) == BST_UNCHECKED);
static_assert(static_cast<WPARAM>(core::CheckState::Ticked) == BST_CHECKED);
static_assert(static_cast<WPARAM>(core::CheckState::Grayed) == BST_INDETERMINATE);

// Enter and Esc make IsDialogMessage send IDOK and IDCANCEL; no control of
// ours may answer to those.
constexpr int kFirstControlId = 100;
constexpr wchar_t kEditClass[] = L"EDIT";
constexpr wchar_t kButtonClass[] = L"BUTTON";
constexpr wchar_t kStaticClass[] = L"STATIC";

// Posted to itself when the form becomes the program's active window, so
// the handler runs once the activation is done rather than inside it.
constexpr UINT kActivateEvent = WM_APP + 1;

HFONT default_gui_font() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

COLORREF to_colorref(const Rgb& color) { return RGB(color.red, color.green, color.blue); }

std::wstring window_text(HWND window) {
  if (!window) return {};
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

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

// --- controls -----------------------------------------------------------

HWND Control::control() const { return form_.hwnd() ? ::GetDlgItem(form_.hwnd(), id_) : nullptr; }

LRESULT Control::send(UINT message, WPARAM wparam, LPARAM lparam) const {
  const HWND window = control();
  return window ? ::SendMessageW(window, message, wparam, lparam) : 0;
}

std::u16string TextBox::text() const { return from_wide(window_text(control())); }

void TextBox::set_text(std::u16string_view text) {
  const std::wstring wide = to_wide(text);
  send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

// A three-state button holds nothing beyond grayed, whatever it is sent.
core::CheckState CheckBox::value() const {
  return core::check_state_from(static_cast<std::int16_t>(send(BM_GETCHECK)));
}

void CheckBox::set_value(core::CheckState value) { send(BM_SETCHECK, static_cast<WPARAM>(value)); }

Label::Label(const Form& form, int id, const LabelArgs& args, platform::win32::unique_hfont font,
             platform::win32::unique_hcursor cursor)
    : Control(form, id, args.tab_index),
      fore_color_(args.fore_color ? to_colorref(*args.fore_color) : ::GetSysColor(COLOR_BTNTEXT)),
      font_(std::move(font)),
      on_click_(args.on_click),
      cursor_(std::move(cursor)) {}

HBRUSH Label::paint_colors(HDC dc) const {
  ::SetTextColor(dc, fore_color_);
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  ::SetBkMode(dc, OPAQUE);
  return ::GetSysColorBrush(COLOR_BTNFACE);
}

void Label::clicked() {
  if (on_click_) on_click_();
}

Canvas::Canvas(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  const platform::win32::window_dc screen(window);
  dc_.reset(::CreateCompatibleDC(screen.get()));
  bitmap_.reset(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
  if (!dc_ || !bitmap_) throw core::Error("cannot create the window's image");
  bitmap_selection_.emplace(dc_.get(), bitmap_.get());
  font_selection_.emplace(dc_.get(), default_gui_font());
  ::FillRect(dc_.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
  // Text goes onto what is there, as on a form whose text is transparent.
  ::SetBkMode(dc_.get(), TRANSPARENT);
}

void Canvas::set_font(platform::win32::unique_hfont font) {
  font_selection_.reset();  // the font in use goes out before it is deleted
  font_ = std::move(font);
  font_selection_.emplace(dc_.get(), font_ ? static_cast<HGDIOBJ>(font_.get()) : default_gui_font());
}

void Canvas::paint(HDC target, const RECT& area) const {
  ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_.get(), area.left, area.top,
           SRCCOPY);
}

PictureBox::PictureBox(Form& form, int id, const PictureBoxArgs& args)
    : Control(form, id, args.tab_index), Window(form.runtime().errors()), runtime_(form.runtime()) {
  const RECT area = form.pixels(args.rect);
  create(runtime_.instance(), {.class_name = kPictureWindowClass,
                               .style = WS_CHILD | (args.visible ? WS_VISIBLE : 0u),
                               .x = area.left,
                               .y = area.top,
                               .width = area.right - area.left,
                               .height = area.bottom - area.top,
                               .parent = form.hwnd(),
                               .control_id = id});
  box_.emplace(reinterpret_cast<platform::WindowHandle>(hwnd()), args.on_mouse_move);
}

// The tray's callbacks arrive here too, as WM_MOUSEMOVE.
LRESULT PictureBox::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_MOUSEMOVE) return default_procedure(message, wparam, lparam);
  if (box_) box_->mouse_message(static_cast<std::uint32_t>(lparam), runtime_.twips_per_pixel_x());
  return 0;
}

Menu::Menu(const MenuArgs& args) : menu_(args), popup_(::CreatePopupMenu()) {
  if (!popup_) throw core::Error("cannot create a menu");
  for (std::size_t index = 0; index < menu_.items().size(); ++index) {
    const auto& item = menu_.items()[index];
    const UINT id = forms::Menu::command_at(index);
    const std::wstring caption = to_wide(item->caption());
    ::AppendMenuW(popup_.get(), MF_STRING, id, caption.c_str());
    item->changed = [popup = popup_.get(), id](const MenuItem& changed) {
      std::wstring text = to_wide(changed.caption());
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_STRING | MIIM_STATE;
      info.fState = changed.enabled() ? MFS_ENABLED : MFS_GRAYED;
      info.dwTypeData = text.data();
      ::SetMenuItemInfoW(popup, id, FALSE, &info);
    };
  }
}

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

HWND Form::create_control(const wchar_t* class_name, std::u16string_view text, DWORD style, DWORD ex_style,
                          const TwipsRect& rect, int id, HFONT font) {
  const RECT area = pixels(rect);
  const std::wstring wide = to_wide(text);
  const HWND control = ::CreateWindowExW(
      ex_style, class_name, wide.c_str(), WS_CHILD | WS_VISIBLE | style, area.left, area.top, area.right - area.left,
      area.bottom - area.top, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), runtime_.instance(), nullptr);
  if (!control) throw core::Error("cannot create a control");
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

int Form::next_control_id() const { return kFirstControlId + static_cast<int>(controls_.size()); }

Control* Form::control_by_id(int id) const {
  const int index = id - kFirstControlId;
  return index >= 0 && index < static_cast<int>(controls_.size()) ? controls_[static_cast<std::size_t>(index)].get()
                                                                  : nullptr;
}

template <typename T>
T& Form::adopt(std::unique_ptr<T> control) {
  T& adopted = *control;
  controls_.push_back(std::move(control));
  std::vector<const Control*> order;
  for (const auto& each : controls_) {
    const auto after = std::upper_bound(order.begin(), order.end(), each->tab_index(),
                                        [](int index, const Control* other) { return index < other->tab_index(); });
    order.insert(after, each.get());
  }
  HWND previous = HWND_TOP;
  for (const Control* each : order) {
    const HWND child = each->control();
    ::SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = child;
  }
  return adopted;
}

forms::TextBox& Form::add_text_box(const TextBoxArgs& args) {
  const int id = next_control_id();
  const HWND edit = create_control(kEditClass, args.text, WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                                   args.rect, id, default_gui_font());
  // Zero lifts the typing limit to the largest an edit control takes.
  ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  return adopt(std::make_unique<TextBox>(*this, id, args.tab_index));
}

CommandButton& Form::add_button(const ButtonArgs& args) {
  const int id = next_control_id();
  create_control(kButtonClass, args.caption, WS_TABSTOP | BS_PUSHBUTTON, 0, args.rect, id, default_gui_font());
  return adopt(std::make_unique<Button>(*this, id, args)).button();
}

forms::CheckBox& Form::add_check_box(const CheckBoxArgs& args) {
  const int id = next_control_id();
  // Not BS_AUTO3STATE: a click would cycle through grayed as well.
  create_control(kButtonClass, args.caption, WS_TABSTOP | BS_3STATE | BS_MULTILINE, 0, args.rect, id,
                 default_gui_font());
  CheckBox& box = adopt(std::make_unique<CheckBox>(*this, id, args.tab_index));
  box.set_value(args.value);
  return box;
}

void Form::add_label(const LabelArgs& args) {
  platform::win32::unique_hfont font;
  if (args.font) {
    const std::wstring face = to_wide(args.font->face);
    font.reset(::CreateFontW(font_height_pixels(args.font->points, runtime_.dpi_y()), 0, 0, 0, args.font->weight,
                             args.font->italic, args.font->underline, FALSE, static_cast<DWORD>(args.font->charset),
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             face.c_str()));
  }
  platform::win32::unique_hcursor cursor;
  if (args.cursor_resource != 0) {
    cursor.reset(static_cast<HCURSOR>(
        ::LoadImageW(runtime_.instance(), MAKEINTRESOURCEW(args.cursor_resource), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
  }
  const int id = next_control_id();
  // A label that answers the mouse takes its clicks and its cursor; any
  // other lets the mouse through to the form.
  const DWORD notify = args.on_click || cursor ? SS_NOTIFY : 0;
  create_control(kStaticClass, args.caption, SS_LEFT | notify, 0, args.rect, id,
                 font ? font.get() : default_gui_font());
  adopt(std::make_unique<Label>(*this, id, args, std::move(font), std::move(cursor)));
}

forms::PictureBox& Form::add_picture_box(const PictureBoxArgs& args) {
  return adopt(std::make_unique<PictureBox>(*this, next_control_id(), args)).box();
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

forms::Menu& Form::add_menu(const MenuArgs& args) { return menus_.emplace_back(std::make_unique<Menu>(args))->menu(); }

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
  // A window that was the foreground window while hidden got no activation
  // now, and holds the focus itself: the focus goes into its controls.
  const HWND focus = ::GetFocus();
  if (::GetForegroundWindow() == hwnd() && !::IsIconic(hwnd()) && !(focus && ::IsChild(hwnd(), focus))) {
    restore_focus();
  }
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
  switch (message) {
    case WM_SIZE:
      on_size();
      return 0;
    case WM_WINDOWPOSCHANGING:
      on_window_pos_changing(*reinterpret_cast<WINDOWPOS*>(lparam));
      break;
    case WM_WINDOWPOSCHANGED:
      on_window_pos_changed(*reinterpret_cast<const WINDOWPOS*>(lparam));
      break;
    case WM_CLOSE:
      on_close();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) end_session();
      return 0;
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_TIMER:
      if (wparam >= 1 && wparam <= core_.timers().size()) core_.timers()[wparam - 1]->tick();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (const Control* control = control_of(reinterpret_cast<HWND>(lparam))) {
        if (const HBRUSH brush = control->paint_colors(reinterpret_cast<HDC>(wparam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_ACTIVATE:
      on_activate(LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case kActivateEvent:
      core_.activate_event();
      return 0;
    case WM_SETCURSOR:
      if (const Control* control = control_of(reinterpret_cast<HWND>(wparam));
          control && control->cursor() && LOWORD(lparam) == HTCLIENT) {
        ::SetCursor(control->cursor());
        return TRUE;
      }
      break;
    case WM_PAINT:
      if (!auto_redraw_) break;
      on_paint();
      return 0;
    case WM_PRINTCLIENT:
      if (!auto_redraw_) break;
      paint_content(reinterpret_cast<HDC>(wparam), client_rect());
      return 0;
    case WM_ERASEBKGND:
      if (auto_redraw_) return TRUE;  // the image covers it all
      break;
    case WM_SETFOCUS:
      if (ActiveForm::may_restore_focus(visible())) restore_focus();
      return 0;
    default:
      break;
  }
  return default_procedure(message, wparam, lparam);
}

void Form::on_destroyed() {
  core_.gone();
  runtime_.form_unloaded(*this);
}

void Form::on_size() {
  if (!building_) core_.resize();
}

void Form::on_window_pos_changing(WINDOWPOS& pos) const {
  if (!keep_hidden_) return;
  pos.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
  pos.flags |= SWP_NOACTIVATE;
}

// Whoever shows or hides the window, the form knows it: another program
// may, and Windows hides it on its way out.
void Form::on_window_pos_changed(const WINDOWPOS& pos) {
  if (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) core_.window_visible(::IsWindowVisible(hwnd()) != FALSE);
}

void Form::on_close() { core_.close_box(); }

void Form::on_paint() {
  const platform::win32::paint_dc dc(hwnd());
  if (dc.get()) paint_content(dc.get(), dc.area());
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

void Form::on_command(int id, int code) {
  if (code != BN_CLICKED) return;  // STN_CLICKED is the same 0
  if (Control* control = control_by_id(id)) control->clicked();
}

void Form::on_activate(bool active) {
  if (!active) {
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd(), focus)) focus_id_ = ::GetDlgCtrlID(focus);
    return;
  }
  const bool shown = visible();
  core_.activated();
  if (::IsIconic(hwnd())) return;
  if (!ActiveForm::may_restore_focus(shown)) {
    // The keys go to the bare window, which takes none of them.
    ::SetFocus(hwnd());
    return;
  }
  if (!restore_focus()) ::SetFocus(hwnd());
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
