#include "forms/win32/form.h"

#include <algorithm>

#include "core/error.h"
#include "core/settings.h"
#include "forms/win32/runtime.h"
#include "forms/win32/units.h"
#include "platform/popup_menu.h"
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
// Menu items share WM_COMMAND with the controls when a menu bar is shown.
constexpr UINT kFirstMenuId = 0x4000;

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

static_assert(platform::kPopupRightButton == TPM_RIGHTBUTTON && platform::kPopupCenterAlign == TPM_CENTERALIGN &&
              platform::kPopupRightAlign == TPM_RIGHTALIGN && platform::kPopupReturnCommand == TPM_RETURNCMD);
static_assert(TPM_LEFTALIGN == 0 && TPM_LEFTBUTTON == 0);

class PopupMenuCalls final : public platform::PopupMenuCalls {
 public:
  platform::ScreenPoint cursor_position() override {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    return {cursor.x, cursor.y};
  }
  void set_foreground_window(platform::WindowHandle window) override { ::SetForegroundWindow(as_hwnd(window)); }
  std::uint32_t track_popup_menu(platform::MenuHandle menu, std::uint32_t flags, platform::ScreenPoint at,
                                 platform::WindowHandle owner) override {
    return static_cast<std::uint32_t>(
        ::TrackPopupMenu(reinterpret_cast<HMENU>(menu), flags, at.x, at.y, 0, as_hwnd(owner), nullptr));
  }
  void post_null(platform::WindowHandle window) override { ::PostMessageW(as_hwnd(window), WM_NULL, 0, 0); }

 private:
  static HWND as_hwnd(platform::WindowHandle window) { return reinterpret_cast<HWND>(window); }
};

}  // namespace

// --- controls -----------------------------------------------------------

HWND Control::control() const { return form_.hwnd() ? ::GetDlgItem(form_.hwnd(), id_) : nullptr; }

LRESULT Control::send(UINT message, WPARAM wparam, LPARAM lparam) const {
  const HWND window = control();
  return window ? ::SendMessageW(window, message, wparam, lparam) : 0;
}

std::u16string TextBox::text() const {
  const auto length = static_cast<std::size_t>(send(WM_GETTEXTLENGTH));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<std::size_t>(send(WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(copied, length));
  return from_wide(text);
}

void TextBox::set_text(std::u16string_view text) {
  const std::wstring wide = to_wide(text);
  send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void CommandButton::clicked() {
  if (on_click_) on_click_();
}

std::int16_t CheckBox::value() const { return static_cast<std::int16_t>(send(BM_GETCHECK)); }

void CheckBox::set_value(std::int16_t value) {
  if (value < 0 || value > 2) throw core::RangeError("a check box holds 0, 1 or 2");
  send(BM_SETCHECK, static_cast<WPARAM>(value));
}

void CheckBox::clicked() { set_value(check_value_after_click(value())); }

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
    : Window(form.runtime().errors()), form_(form), id_(id), on_mouse_move_(args.on_mouse_move) {
  const RECT area = form.pixels(args.rect);
  create(form.runtime().instance(), {.class_name = kPictureWindowClass,
                                     .style = WS_CHILD | (args.visible ? WS_VISIBLE : 0u),
                                     .x = area.left,
                                     .y = area.top,
                                     .width = area.right - area.left,
                                     .height = area.bottom - area.top,
                                     .parent = form.hwnd(),
                                     .control_id = id});
}

platform::WindowHandle PictureBox::window_handle() const { return reinterpret_cast<platform::WindowHandle>(hwnd()); }

LRESULT PictureBox::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEMOVE:
      on_mouse_move(wparam, lparam);
      return 0;
    default:
      return default_procedure(message, wparam, lparam);
  }
}

// The tray's callbacks arrive here too: message 0x200 with the mouse message
// in the low word of lParam, which so becomes the x coordinate.
void PictureBox::on_mouse_move(WPARAM keys, LPARAM position) {
  if (!on_mouse_move_) return;
  const Runtime& runtime = form_.runtime();
  on_mouse_move_(mouse_event_from(static_cast<std::uint32_t>(keys), static_cast<std::uint32_t>(position),
                                  runtime.twips_per_pixel_x(), runtime.twips_per_pixel_y()));
}

Timer::Timer(Form& form, UINT_PTR id, const TimerArgs& args)
    : form_(form), id_(id), interval_ms_(args.interval_ms), on_timer_(args.on_timer) {
  set_enabled(args.enabled);
}

void Timer::set_enabled(bool enabled) {
  // Enabling a running timer leaves its period where it is.
  if (enabled == enabled_) return;
  enabled_ = enabled;
  const HWND window = form_.hwnd();
  if (!window) return;
  if (enabled_ && interval_ms_ > 0) {
    ::SetTimer(window, id_, interval_ms_, nullptr);
  } else {
    ::KillTimer(window, id_);
  }
}

void Timer::tick() {
  if (enabled_ && on_timer_) on_timer_();
}

std::u16string MenuItem::caption() const {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  if (!::GetMenuItemInfoW(menu_.popup(), id_, FALSE, &info)) return {};
  std::wstring text(info.cch + 1, L'\0');
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  if (!::GetMenuItemInfoW(menu_.popup(), id_, FALSE, &info)) return {};
  text.resize(info.cch);
  return from_wide(text);
}

void MenuItem::set_caption(std::u16string_view caption) {
  std::wstring text = to_wide(caption);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  ::SetMenuItemInfoW(menu_.popup(), id_, FALSE, &info);
}

bool MenuItem::enabled() const {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE;
  if (!::GetMenuItemInfoW(menu_.popup(), id_, FALSE, &info)) return false;
  return (info.fState & MFS_DISABLED) == 0;
}

void MenuItem::set_enabled(bool enabled) {
  ::EnableMenuItem(menu_.popup(), id_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MenuItem::click() {
  if (on_click_) on_click_();
}

Menu::Menu(const MenuArgs& args, UINT first_id) : popup_(::CreatePopupMenu()) {
  if (!popup_) throw core::Error("cannot create a menu");
  UINT id = first_id;
  for (const MenuItemArgs& item : args.items) {
    const std::wstring caption = to_wide(item.caption);
    ::AppendMenuW(popup_.get(), MF_STRING, id, caption.c_str());
    items_.push_back(std::make_unique<MenuItem>(*this, id, item.on_click));
    ++id;
  }
}

MenuItem* Menu::find(UINT id) {
  for (auto& item : items_) {
    if (item->id() == id) return item.get();
  }
  return nullptr;
}

// --- the form -----------------------------------------------------------

Form::Form(Runtime& runtime, const FormArgs& args)
    : Window(runtime.errors()),
      runtime_(runtime),
      on_resize_(args.on_resize),
      on_unload_(args.on_unload),
      on_taskbar_created_(args.on_taskbar_created),
      on_activate_(args.on_activate),
      close_box_hides_(args.close_box_hides),
      next_control_id_(kFirstControlId),
      next_menu_id_(kFirstMenuId) {
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
  created_ = true;
  runtime_.form_loaded(*this);
}

Form::~Form() {
  if (hwnd()) runtime_.form_unloaded(*this);
  detach_menu_bar();
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

void Form::place_in_tab_order(int id, int tab_index) {
  const auto after = std::upper_bound(tab_order_.begin(), tab_order_.end(), tab_index,
                                      [](int index, const TabStop& stop) { return index < stop.tab_index; });
  tab_order_.insert(after, TabStop{tab_index, id});
  HWND previous = HWND_TOP;
  for (const TabStop& stop : tab_order_) {
    const HWND child = ::GetDlgItem(hwnd(), stop.id);
    ::SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = child;
  }
}

TextBox& Form::add_text_box(const TextBoxArgs& args) {
  const int id = next_control_id();
  const HWND edit = create_control(kEditClass, args.text, WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                                   args.rect, id, default_gui_font());
  // Zero lifts the typing limit to the largest an edit control takes.
  ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  place_in_tab_order(id, args.tab_index);
  return *text_boxes_.emplace_back(std::make_unique<TextBox>(*this, id));
}

CommandButton& Form::add_button(const ButtonArgs& args) {
  const int id = next_control_id();
  create_control(kButtonClass, args.caption, WS_TABSTOP | BS_PUSHBUTTON, 0, args.rect, id, default_gui_font());
  place_in_tab_order(id, args.tab_index);
  return *buttons_.emplace_back(std::make_unique<CommandButton>(*this, id, args.on_click));
}

CheckBox& Form::add_check_box(const CheckBoxArgs& args) {
  if (args.value < 0 || args.value > 2) throw core::RangeError("a check box holds 0, 1 or 2");
  const int id = next_control_id();
  // Not BS_AUTO3STATE: a click would cycle through grayed as well.
  create_control(kButtonClass, args.caption, WS_TABSTOP | BS_3STATE | BS_MULTILINE, 0, args.rect, id,
                 default_gui_font());
  place_in_tab_order(id, args.tab_index);
  CheckBox& box = *check_boxes_.emplace_back(std::make_unique<CheckBox>(*this, id));
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
  place_in_tab_order(id, args.tab_index);
  const COLORREF fore = args.fore_color ? to_colorref(*args.fore_color) : ::GetSysColor(COLOR_BTNTEXT);
  labels_.push_back(std::make_unique<Label>(*this, id, fore, std::move(font), args.on_click, std::move(cursor)));
}

PictureBox& Form::add_picture_box(const PictureBoxArgs& args) {
  const int id = next_control_id();
  PictureBox& picture = *pictures_.emplace_back(std::make_unique<PictureBox>(*this, id, args));
  place_in_tab_order(id, args.tab_index);
  return picture;
}

Timer& Form::add_timer(const TimerArgs& args) {
  return *timers_.emplace_back(std::make_unique<Timer>(*this, next_timer_id_++, args));
}

Menu& Form::add_menu(const MenuArgs& args) {
  Menu& menu = *menus_.emplace_back(std::make_unique<Menu>(args, next_menu_id_));
  next_menu_id_ += static_cast<UINT>(args.items.size());
  if (args.visible) attach_menu_bar(menu, args.caption);
  return menu;
}

void Form::attach_menu_bar(const Menu& menu, std::u16string_view caption) {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  if (!menu_bar_) menu_bar_.reset(::CreateMenu());
  const std::wstring text = to_wide(caption);
  ::AppendMenuW(menu_bar_.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu.popup()), text.c_str());
  ::SetMenu(hwnd(), menu_bar_.get());
  // The bar takes its height from the client area: give the window that
  // much more, without a resize event while the form is being built.
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_STYLE));
  const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
  ::AdjustWindowRectEx(&client, style, TRUE, ex_style);
  const bool was_created = std::exchange(created_, false);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  created_ = was_created;
}

void Form::detach_menu_bar() {
  if (!menu_bar_) return;
  // Windows destroys a window's menu with the window, submenus included;
  // the popups belong to their Menu objects, so the bar lets go of them.
  if (hwnd()) ::SetMenu(hwnd(), nullptr);
  while (::GetMenuItemCount(menu_bar_.get()) > 0) ::RemoveMenu(menu_bar_.get(), 0, MF_BYPOSITION);
  menu_bar_.reset();
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

void Form::show() {
  if (!hwnd()) return;
  const unsigned resizes_before = resizes_;
  const bool was_visible = ::IsWindowVisible(hwnd());
  // The program's active window before the showing activates it, so that
  // the handler runs once, from here, whether or not it was active.
  runtime_.active_form().shown(this);
  // A hidden window comes back in the state it has; one already shown but
  // minimised comes back from the taskbar.
  ::ShowWindow(hwnd(), was_visible && ::IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  // Shown before or not, it comes in front of the windows covering it.
  ::SetForegroundWindow(hwnd());
  ::PostMessageW(hwnd(), kActivateEvent, 0, 0);
  // A window that was the foreground window while hidden got no activation
  // now, and holds the focus itself: the focus goes into its controls.
  const HWND focus = ::GetFocus();
  if (::GetForegroundWindow() == hwnd() && !::IsIconic(hwnd()) && !(focus && ::IsChild(hwnd(), focus))) {
    restore_focus();
  }
  // The window got its size while hidden; its first showing still counts as
  // a resize, once, whether or not Windows sent one with it.
  if (!shown_once_) {
    shown_once_ = true;
    if (resizes_ == resizes_before) on_size();
  }
}

void Form::hide() {
  runtime_.active_form().hidden(this);
  if (hwnd()) ::ShowWindow(hwnd(), SW_HIDE);
}

bool Form::visible() const { return hwnd() && ::IsWindowVisible(hwnd()); }

WindowState Form::window_state() const {
  if (hwnd() && ::IsIconic(hwnd())) return WindowState::Minimised;
  if (hwnd() && ::IsZoomed(hwnd())) return WindowState::Maximised;
  return WindowState::Normal;
}

void Form::set_window_state(WindowState state) {
  if (!hwnd() || state == window_state()) return;
  // A hidden window changes its state and stays hidden: the show that
  // ShowWindow asks for is taken out in WM_WINDOWPOSCHANGING.
  const bool hidden = !::IsWindowVisible(hwnd());
  keep_hidden_ = hidden;
  ::ShowWindow(hwnd(), show_command(state, hidden));
  keep_hidden_ = false;
}

std::u16string Form::caption() const { return from_wide(window_text(hwnd())); }

platform::WindowHandle Form::window_handle() const { return reinterpret_cast<platform::WindowHandle>(hwnd()); }

std::uintptr_t Form::icon_handle() const {
  return reinterpret_cast<std::uintptr_t>(small_icon_ ? small_icon_.get() : big_icon_.get());
}

void Form::popup_menu(forms::Menu& menu) {
  auto& popup = static_cast<Menu&>(menu);
  PopupMenuCalls calls;
  // The hidden application window takes the foreground for the menu, not
  // this form: a form that is not shown must not hold the keyboard.
  const auto owner = reinterpret_cast<platform::WindowHandle>(runtime_.app_window());
  const auto chosen = static_cast<UINT>(
      platform::track_popup_menu_at_pointer(calls, reinterpret_cast<platform::MenuHandle>(popup.popup()), owner));
  if (chosen == 0) return;
  if (MenuItem* item = popup.find(chosen)) item->click();
}

void Form::set_caption(std::u16string_view caption) {
  const std::wstring text = to_wide(caption);
  if (hwnd()) ::SetWindowTextW(hwnd(), text.c_str());
}

void Form::set_scale_mode(ScaleMode /*mode*/) {
  // Twips is the only unit there is: scale_width() answers in it.
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

std::uintptr_t Form::hdc() { return hwnd() ? reinterpret_cast<std::uintptr_t>(canvas().dc()) : 0; }

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

void Form::taskbar_created() {
  if (on_taskbar_created_) on_taskbar_created_();
}

void Form::end_session() {
  if (session_ended_) return;
  session_ended_ = true;
  unload();
}

void Form::unload() {
  // A close that arrives while the unload handler waits (in a message box,
  // say) is the same unload.
  if (unloading_) return;
  unloading_ = true;
  std::int16_t cancel = 0;
  if (on_unload_) on_unload_(cancel);
  unloading_ = false;
  if (cancel == 0 && hwnd()) ::DestroyWindow(hwnd());
}

// --- messages -----------------------------------------------------------

LRESULT Form::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      on_size();
      return 0;
    case WM_WINDOWPOSCHANGING:
      on_window_pos_changing(*reinterpret_cast<WINDOWPOS*>(lparam));
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
      on_timer(wparam);
      return 0;
    case WM_CTLCOLORSTATIC:
      if (const auto brush = on_ctl_color_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam))) {
        return *brush;
      }
      break;
    case WM_ACTIVATE:
      on_activate(LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case kActivateEvent:
      on_activate_event();
      return 0;
    case WM_SETCURSOR:
      if (on_set_cursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam))) return TRUE;
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
    case WM_DESTROY:
      detach_menu_bar();
      return 0;
    default:
      break;
  }
  return default_procedure(message, wparam, lparam);
}

void Form::on_destroyed() { runtime_.form_unloaded(*this); }

void Form::on_size() {
  if (!created_) return;
  ++resizes_;
  if (on_resize_) on_resize_();
}

void Form::on_window_pos_changing(WINDOWPOS& pos) const {
  if (!keep_hidden_) return;
  pos.flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
  pos.flags |= SWP_NOACTIVATE;
}

void Form::on_close() {
  if (close_box_hides_) {
    hide();
  } else {
    unload();
  }
}

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

void Form::on_activate_event() {
  if (on_activate_ && visible()) on_activate_();
}

bool Form::on_set_cursor(HWND window, UINT hit_test) const {
  if (hit_test != HTCLIENT) return false;
  const int id = ::GetDlgCtrlID(window);
  for (const auto& label : labels_) {
    if (label->id() == id && label->cursor() && ::GetParent(window) == hwnd()) {
      ::SetCursor(label->cursor());
      return true;
    }
  }
  return false;
}

void Form::on_command(int id, int code) {
  if (code != BN_CLICKED) return;  // BN_CLICKED is also what a menu bar's item sends
  for (auto& button : buttons_) {
    if (button->id() == id) return button->clicked();
  }
  for (auto& box : check_boxes_) {
    if (box->id() == id) return box->clicked();
  }
  for (auto& label : labels_) {  // STN_CLICKED is the same 0
    if (label->id() == id) return label->clicked();
  }
  for (auto& menu : menus_) {
    if (MenuItem* item = menu->find(static_cast<UINT>(id))) return item->click();
  }
}

void Form::on_timer(UINT_PTR id) {
  for (auto& timer : timers_) {
    if (timer->id() == id) return timer->tick();
  }
}

std::optional<LRESULT> Form::on_ctl_color_static(HDC dc, HWND control) const {
  const int id = ::GetDlgCtrlID(control);
  for (const auto& label : labels_) {
    if (label->id() == id) return reinterpret_cast<LRESULT>(label->paint_colors(dc));
  }
  return std::nullopt;
}

void Form::on_activate(bool active) {
  if (!active) {
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd(), focus)) focus_id_ = ::GetDlgCtrlID(focus);
    return;
  }
  const bool shown = visible();
  if (runtime_.active_form().activated(this, shown)) ::PostMessageW(hwnd(), kActivateEvent, 0, 0);
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
