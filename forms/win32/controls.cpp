#include "forms/win32/controls.h"

#include <algorithm>
#include <utility>

#include "core/error.h"
#include "core/settings.h"
#include "forms/win32/form.h"
#include "forms/win32/runtime.h"
#include "forms/win32/units.h"
#include "platform/win32/wide.h"

namespace talvorin::forms::win32 {

using platform::win32::from_wide;
using platform::win32::to_wide;

namespace {

static_assert(static_cast<WPARAM>(core::CheckState::Clear) == BST_UNCHECKED);
static_assert(static_cast<WPARAM>(core::CheckState::Ticked) == BST_CHECKED);
static_assert(static_cast<WPARAM>(core::CheckState::Grayed) == BST_INDETERMINATE);

constexpr wchar_t kEditClass[] = L"EDIT";
constexpr wchar_t kButtonClass[] = L"BUTTON";
constexpr wchar_t kStaticClass[] = L"STATIC";

COLORREF to_colorref(const Rgb& color) { return RGB(color.red, color.green, color.blue); }

}  // namespace

std::wstring window_text(HWND window) {
  if (!window) return {};
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

// GetDlgItem walks the form's children in the window server: the caption's
// tick reads the text box ten times a second, so the handle is kept for as
// long as the form's window and the control's live.
HWND Control::control() const {
  const HWND form = form_.hwnd();
  if (!form) return nullptr;
  if (form != found_in_ || !::IsWindow(found_)) {
    found_ = ::GetDlgItem(form, id_);
    found_in_ = found_ ? form : nullptr;
  }
  return found_;
}

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

// --- the form's controls, made ------------------------------------------

HWND Form::create_control(const ControlCreateArgs& args) {
  const RECT area = pixels(args.rect);
  const std::wstring wide = to_wide(args.text);
  const HWND control =
      ::CreateWindowExW(args.ex_style, args.class_name, wide.c_str(), WS_CHILD | WS_VISIBLE | args.style, area.left,
                        area.top, area.right - area.left, area.bottom - area.top, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), runtime_.instance(), nullptr);
  if (!control) throw core::Error("cannot create a control");
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(args.font ? args.font : default_gui_font()), FALSE);
  return control;
}

int Form::next_control_id() const { return kFirstControlId + static_cast<int>(controls_.size()); }

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
  const HWND edit = create_control({.class_name = kEditClass,
                                    .text = args.text,
                                    .style = WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
                                    .ex_style = WS_EX_CLIENTEDGE,
                                    .rect = args.rect,
                                    .id = id});
  // Zero lifts the typing limit to the largest an edit control takes.
  ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  return adopt(std::make_unique<TextBox>(*this, id, args.tab_index));
}

CommandButton& Form::add_button(const ButtonArgs& args) {
  const int id = next_control_id();
  create_control({.class_name = kButtonClass,
                  .text = args.caption,
                  .style = WS_TABSTOP | BS_PUSHBUTTON,
                  .rect = args.rect,
                  .id = id});
  return adopt(std::make_unique<Button>(*this, id, args)).button();
}

forms::CheckBox& Form::add_check_box(const CheckBoxArgs& args) {
  const int id = next_control_id();
  // Not BS_AUTO3STATE: a click would cycle through grayed as well.
  create_control({.class_name = kButtonClass,
                  .text = args.caption,
                  .style = WS_TABSTOP | BS_3STATE | BS_MULTILINE,
                  .rect = args.rect,
                  .id = id});
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
  create_control({.class_name = kStaticClass,
                  .text = args.caption,
                  .style = SS_LEFT | notify,
                  .rect = args.rect,
                  .id = id,
                  .font = font.get()});
  adopt(std::make_unique<Label>(*this, id, args, std::move(font), std::move(cursor)));
}

forms::PictureBox& Form::add_picture_box(const PictureBoxArgs& args) {
  return adopt(std::make_unique<PictureBox>(*this, next_control_id(), args)).box();
}

forms::Menu& Form::add_menu(const MenuArgs& args) { return menus_.emplace_back(std::make_unique<Menu>(args))->menu(); }

}  // namespace talvorin::forms::win32
