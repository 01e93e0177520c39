#include "forms/headless/headless.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "core/error.h"

namespace talvorin::headless {

namespace {

template <typename Map>
auto& named(Map& map, std::u16string_view name) {
  const auto it = map.find(std::u16string(name));
  if (it == map.end()) throw std::out_of_range("no control of that name");
  return *it->second;
}

}  // namespace

void CheckBox::set_value(std::int16_t value) {
  if (value < 0 || value > 2) throw core::RangeError("a check box holds 0, 1 or 2");
  value_ = value;
}

Timer::Timer(Runtime& runtime, const forms::TimerArgs& args)
    : runtime_(runtime), interval_(args.interval_ms), on_timer_(args.on_timer) {
  set_enabled(args.enabled);
}

void Timer::set_enabled(bool enabled) {
  if (enabled && !enabled_) next_due_ = runtime_.now() + interval_;
  enabled_ = enabled;
}

void Timer::fire() {
  next_due_ += interval_;
  if (on_timer_) on_timer_();
}

Menu::Menu(const forms::MenuArgs& args) : name_(args.name), caption_(args.caption), visible_(args.visible) {
  for (const forms::MenuItemArgs& item : args.items) items_.push_back(std::make_unique<MenuItem>(item));
}

MenuItem* Menu::find(std::u16string_view name) {
  for (auto& item : items_) {
    if (item->name() == name) return item.get();
  }
  return nullptr;
}

Form::Form(Runtime& runtime, const forms::FormArgs& args)
    : runtime_(runtime),
      args_(args),
      caption_(args.caption),
      handle_(runtime.new_handle()),
      icon_(args.icon_resource != 0 ? runtime.new_handle() : 0),
      dc_(runtime.new_handle()) {}

Form::~Form() { runtime_.forget(*this); }

float Form::scale_width() const {
  const float per_pixel = runtime_.twips_per_pixel_x();
  return static_cast<float>(static_cast<int>(static_cast<float>(args_.client_width) / per_pixel)) * per_pixel;
}

ControlRecord& Form::record(ControlRecord::Kind kind, std::u16string_view name, std::u16string_view caption,
                            const forms::TwipsRect& rect, int tab_index) {
  ControlRecord& control = controls_.emplace_back();
  control.kind = kind;
  control.name = name;
  control.caption = caption;
  control.rect = rect;
  control.tab_index = tab_index;
  return control;
}

forms::TextBox& Form::add_text_box(const forms::TextBoxArgs& args) {
  record(ControlRecord::Kind::TextBox, args.name, args.text, args.rect, args.tab_index);
  return *(text_boxes_[std::u16string(args.name)] = std::make_unique<TextBox>(args.text));
}

forms::CommandButton& Form::add_button(const forms::ButtonArgs& args) {
  record(ControlRecord::Kind::Button, args.name, args.caption, args.rect, args.tab_index);
  return *(buttons_[std::u16string(args.name)] = std::make_unique<CommandButton>(args.on_click));
}

forms::CheckBox& Form::add_check_box(const forms::CheckBoxArgs& args) {
  record(ControlRecord::Kind::CheckBox, args.name, args.caption, args.rect, args.tab_index).value = args.value;
  return *(check_boxes_[std::u16string(args.name)] = std::make_unique<CheckBox>(args.value));
}

void Form::add_label(const forms::LabelArgs& args) {
  ControlRecord& label = record(ControlRecord::Kind::Label, args.name, args.caption, args.rect, args.tab_index);
  label.fore_color = args.fore_color;
  if (const auto& font = args.font) {
    label.font = FontRecord{
        std::u16string(font->face), font->points, font->weight, font->italic, font->underline, font->charset};
  }
  labels_.insert_or_assign(std::u16string(args.name), args);
}

forms::PictureBox& Form::add_picture_box(const forms::PictureBoxArgs& args) {
  record(ControlRecord::Kind::PictureBox, args.name, {}, args.rect, args.tab_index).visible = args.visible;
  return *(pictures_[std::u16string(args.name)] =
               std::make_unique<PictureBox>(runtime_.new_handle(), args.on_mouse_move));
}

forms::Timer& Form::add_timer(const forms::TimerArgs& args) {
  auto& timer = timers_[std::u16string(args.name)] = std::make_unique<Timer>(runtime_, args);
  runtime_.register_timer(*timer);
  return *timer;
}

forms::Menu& Form::add_menu(const forms::MenuArgs& args) {
  menus_.push_back(std::make_unique<Menu>(args));
  return *menus_.back();
}

void Form::show() {
  if (unloaded_) return;
  const bool was_visible = visible_;
  visible_ = true;
  // A window is sized when it is first shown.
  if (!shown_once_) {
    shown_once_ = true;
    if (args_.on_resize) args_.on_resize();
  }
  // One already shown but minimised comes back from the taskbar; a hidden
  // one keeps its state.
  if (was_visible && state_ == WindowState::Minimised) set_window_state(WindowState::Normal);
  // Brought to the front and activated, even when it was the active window.
  runtime_.active_form().shown(this);
  runtime_.take_foreground(handle_, this);
  // Raised once the activation has settled, as an event of its own.
  if (args_.on_activate) runtime_.post(args_.on_activate);
}

void Form::hide() {
  visible_ = false;
  runtime_.active_form().hidden(this);
  // The system activates another window, which is none of the program's.
  if (runtime_.foreground() == handle_) runtime_.switch_to_another_program();
}

void Form::activate() {
  if (!alive() || !visible_) return;
  runtime_.take_foreground(handle_, this);
  if (runtime_.active_form().activated(this, visible_) && args_.on_activate) runtime_.post(args_.on_activate);
}

void Form::click_label(std::u16string_view name) {
  const forms::LabelArgs& args = label(name);
  if (alive() && args.on_click) args.on_click();
}

void Form::set_window_state(WindowState state) {
  if (state == state_) return;
  state_ = state;
  if (args_.on_resize) args_.on_resize();
}

void Form::popup_menu(forms::Menu& menu) {
  ++popups_;
  // The hidden application window owns the menu and takes the foreground.
  runtime_.take_foreground(runtime_.app_window(), nullptr);
  open_menu_ = static_cast<Menu*>(&menu);
  chosen_ = nullptr;
  runtime_.drain([this] { return chosen_ != nullptr; });
  open_menu_ = nullptr;
  MenuItem* chosen = std::exchange(chosen_, nullptr);
  if (chosen) chosen->click();
}

bool Form::alive() const { return !unloaded_ && !runtime_.ended(); }

TextBox& Form::text_box(std::u16string_view name) { return named(text_boxes_, name); }
CheckBox& Form::check_box(std::u16string_view name) { return named(check_boxes_, name); }
PictureBox& Form::picture_box(std::u16string_view name) { return named(pictures_, name); }
Timer& Form::timer(std::u16string_view name) { return named(timers_, name); }

MenuItem& Form::menu_item(std::u16string_view name) {
  for (auto& menu : menus_) {
    if (MenuItem* item = menu->find(name)) return *item;
  }
  throw std::out_of_range("no menu item of that name");
}

void Form::click(std::u16string_view button_name) {
  if (alive()) named(buttons_, button_name).press();
}

void Form::click_check_box(std::u16string_view name) {
  if (alive()) check_box(name).click();
}

void Form::tray_callback(std::int32_t mouse_message) {
  if (!alive()) return;
  const float tpp = runtime_.twips_per_pixel_x();
  for (auto& [name, picture] : pictures_) {
    picture->mouse_move({.button = 0, .shift = 0, .x = static_cast<float>(mouse_message) * tpp, .y = 0});
  }
}

void Form::choose(std::u16string_view item_name) {
  if (!open_menu_ || chosen_) return;
  MenuItem* item = open_menu_->find(item_name);
  if (item && item->enabled()) chosen_ = item;
}

void Form::user_set_state(WindowState state) {
  if (alive()) set_window_state(state);
}

void Form::taskbar_created() {
  if (alive() && args_.on_taskbar_created) args_.on_taskbar_created();
}

bool Form::close() {
  if (!alive()) return false;
  if (args_.close_box_hides) {
    hide();
    return false;
  }
  return unload_now();
}

bool Form::unload_now() {
  if (!alive()) return false;
  std::int16_t cancel = 0;
  if (args_.on_unload) args_.on_unload(cancel);
  if (cancel != 0) return false;
  unloaded_ = true;
  hide();
  return true;
}

std::unique_ptr<forms::Form> Runtime::create_form(const forms::FormArgs& args) {
  auto form = std::make_unique<Form>(*this, args);
  forms_[std::u16string(args.name)] = form.get();
  return form;
}

void Runtime::take_foreground(platform::WindowHandle window, const Form* form) {
  foreground_ = window;
  focus_form_ = form && forms::ActiveForm::may_restore_focus(form->visible()) ? form : nullptr;
}

void Runtime::forget(Form& form) {
  active_form_.hidden(&form);
  if (focus_form_ == &form) focus_form_ = nullptr;
  std::erase_if(forms_, [&form](const auto& entry) { return entry.second == &form; });
  for (const auto& [name, timer] : form.timers_) std::erase(timers_, timer.get());
}

Form& Runtime::form(std::u16string_view name) { return *forms_.at(std::u16string(name)); }

void Runtime::drain(const std::function<bool()>& stop) {
  while (!queue_.empty() && !(stop && stop())) {
    Handler event = std::move(queue_.front());
    queue_.pop_front();
    event();
  }
}

void Runtime::wait_for_events(std::uint32_t timeout_ms) {
  ++waits_;
  if (!queue_.empty() || ended_) return;
  std::uint64_t until = now_ + timeout_ms;
  if (!scheduled_.empty()) until = std::min(until, scheduled_.begin()->first);
  advance(until - now_);
}

void Runtime::release_due_events() {
  while (!scheduled_.empty() && scheduled_.begin()->first <= now_) {
    queue_.push_back(std::move(scheduled_.begin()->second));
    scheduled_.erase(scheduled_.begin());
  }
}

void Runtime::advance(std::uint64_t ms) {
  const std::uint64_t target = now_ + ms;
  for (;;) {
    Timer* next = nullptr;
    for (Timer* timer : timers_) {
      if (timer->enabled() && timer->next_due() <= target && (!next || timer->next_due() < next->next_due())) {
        next = timer;
      }
    }
    if (!next || ended_) break;
    now_ = next->next_due();
    next->fire();
  }
  now_ = std::max(now_, target);
  release_due_events();
}

void Runtime::show(std::u16string_view prompt, platform::MessageBoxStyle style, std::u16string_view title) {
  boxes_.push_back({std::u16string(prompt), style, std::u16string(title)});
  ++open_boxes_;
  most_open_boxes_ = std::max(most_open_boxes_, open_boxes_);
  // The user reads the box while events go on; it closes once they are done.
  drain();
  --open_boxes_;
}

}  // namespace talvorin::headless
