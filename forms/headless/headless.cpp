#include "forms/headless/headless.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/popup_menu.h"

namespace talvorin::headless {

namespace {

template <typename Map>
auto& named(Map& map, std::u16string_view name) {
  const auto it = map.find(std::u16string(name));
  if (it == map.end()) throw std::out_of_range("no control of that name");
  return *it->second;
}

}  // namespace

Form::Form(Runtime& runtime, const forms::FormArgs& args)
    : runtime_(runtime),
      args_(args),
      handle_(runtime.new_handle()),
      icon_(args.icon_resource != 0 ? runtime.new_handle() : 0),
      core_(args, runtime.active_form(), *this),
      dc_(runtime.new_handle()) {}

Form::~Form() { runtime_.forget(*this); }

float Form::scale_width() const {
  const float per_pixel = runtime_.twips_per_pixel_x();
  return static_cast<float>(static_cast<int>(static_cast<float>(args_.client_width) / per_pixel)) * per_pixel;
}

forms::TextBox& Form::add_text_box(const forms::TextBoxArgs& args) {
  return *(text_boxes_[args.name] = std::make_unique<TextBox>(args.text));
}

forms::CommandButton& Form::add_button(const forms::ButtonArgs& args) {
  return *(buttons_[args.name] = std::make_unique<forms::CommandButton>(args.on_click));
}

forms::CheckBox& Form::add_check_box(const forms::CheckBoxArgs& args) {
  return *(check_boxes_[args.name] = std::make_unique<CheckBox>(args.value));
}

forms::PictureBox& Form::add_picture_box(const forms::PictureBoxArgs& args) {
  return *(pictures_[args.name] = std::make_unique<forms::PictureBox>(runtime_.new_handle(), args.on_mouse_move));
}

forms::Timer& Form::add_timer(const forms::TimerArgs& args) {
  return *(timers_[args.name] =
               &core_.add_timer(args, [this](const forms::Timer& timer) { runtime_.count_down(timer); }));
}

forms::Menu& Form::add_menu(const forms::MenuArgs& args) {
  return *menus_.emplace_back(std::make_unique<forms::Menu>(args));
}

void Form::show() { core_.show(state_ == WindowState::Minimised); }

void Form::show_window(bool restore) {
  if (restore) set_window_state(WindowState::Normal);
  runtime_.take_foreground(handle_, this);
}

void Form::hide() { core_.hide(); }

void Form::leave_foreground() {
  if (runtime_.foreground() == handle_) runtime_.switch_to_another_program();
}

void Form::activate() {
  if (!alive() || !visible()) return;
  runtime_.take_foreground(handle_, this);
  core_.activated(state_ == WindowState::Minimised);
}

void Form::post_activate_event() {
  runtime_.post([self = std::weak_ptr<Form*>(self_)] {
    if (const auto form = self.lock()) (*form)->core_.activate_event();
  });
}

void Form::click_label(std::u16string_view name) {
  const forms::LabelArgs& args = labels_.at(std::u16string(name));
  if (alive() && args.on_click) args.on_click();
}

void Form::set_window_state(WindowState state) {
  if (state == state_) return;
  state_ = state;
  core_.resize();
}

void MenuCalls::set_foreground_window(platform::WindowHandle window) {
  if (Form* form = form_.runtime_.form_of(window)) {
    form->activate();
  } else {
    form_.runtime_.take_foreground(window, nullptr);
  }
}

bool MenuCalls::window_shown(platform::WindowHandle window) {
  const Form* form = form_.runtime_.form_of(window);
  return form ? form->alive() && form->visible() : window == form_.runtime_.other_program_window();
}

std::uint32_t MenuCalls::track_popup_menu(platform::MenuHandle, std::uint32_t, platform::ScreenPoint,
                                          platform::WindowHandle) {
  form_.open_menu_ = &menu_;
  form_.chosen_ = nullptr;
  form_.runtime_.drain([this] { return form_.chosen_ != nullptr; });
  form_.open_menu_ = nullptr;
  const forms::MenuItem* chosen = std::exchange(form_.chosen_, nullptr);
  return chosen ? menu_.command_of(*chosen) : 0;
}

void Form::popup_menu(forms::Menu& menu) {
  ++popups_;
  // The hidden application window owns the menu and takes the foreground.
  MenuCalls calls(*this, menu);
  platform::track_popup_menu_at_pointer(calls, 0, runtime_.app_window(),
                                        [this, &menu](std::uint32_t chosen) { core_.menu_chosen(menu, chosen); });
}

bool Form::alive() const { return !core_.unloaded() && !runtime_.ended(); }

TextBox& Form::text_box(std::u16string_view name) { return named(text_boxes_, name); }
CheckBox& Form::check_box(std::u16string_view name) { return named(check_boxes_, name); }
forms::PictureBox& Form::picture_box(std::u16string_view name) { return named(pictures_, name); }
forms::Timer& Form::timer(std::u16string_view name) { return named(timers_, name); }

forms::MenuItem& Form::menu_item(std::u16string_view name) {
  for (const auto& menu : menus_) {
    if (forms::MenuItem* item = menu->find(name)) return *item;
  }
  throw std::out_of_range("no menu item of that name");
}

void Form::click(std::u16string_view button_name) {
  if (alive()) named(buttons_, button_name).press();
}

void Form::click_check_box(std::u16string_view name) {
  if (alive()) check_box(name).click();
}

void Form::tray_callback(std::uint32_t lparam) {
  if (!alive()) return;
  for (auto& [name, picture] : pictures_) picture->mouse_message(lparam, runtime_.twips_per_pixel_x());
}

void Form::choose(std::u16string_view item_name) {
  if (!open_menu_ || chosen_) return;
  forms::MenuItem* item = open_menu_->find(item_name);
  if (item && item->enabled()) chosen_ = item;
}

void Form::user_set_state(WindowState state) {
  if (alive()) set_window_state(state);
}

void Form::taskbar_created() {
  if (!runtime_.ended()) core_.taskbar_created();
}

void Form::end_session() {
  if (alive()) core_.end_session();
}

void Form::unload() {
  if (!runtime_.ended()) core_.unload();
}

bool Form::close() {
  if (!alive()) return false;
  core_.close_box();
  return core_.unloaded();
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

Form* Runtime::form_of(platform::WindowHandle window) const {
  const auto found = std::find_if(forms_.begin(), forms_.end(),
                                  [window](const auto& entry) { return entry.second->handle_ == window; });
  return found == forms_.end() ? nullptr : found->second;
}

void Runtime::forget(Form& form) {
  if (focus_form_ == &form) focus_form_ = nullptr;
  std::erase_if(forms_, [&form](const auto& entry) { return entry.second == &form; });
  std::erase_if(due_, [&form](const auto& due) {
    return std::any_of(form.timers_.begin(), form.timers_.end(),
                       [&due](const auto& named) { return named.second == due.first; });
  });
}

Form& Runtime::form(std::u16string_view name) { return *forms_.at(std::u16string(name)); }

void Runtime::count_down(const forms::Timer& timer) {
  std::erase_if(due_, [&timer](const auto& due) { return due.first == &timer; });
  if (timer.running()) due_.emplace_back(&timer, now_ + timer.interval());
}

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
    const auto next = std::min_element(due_.begin(), due_.end(),
                                       [](const auto& one, const auto& other) { return one.second < other.second; });
    if (next == due_.end() || next->second > target || ended_) break;
    const forms::Timer& timer = *next->first;
    now_ = next->second;
    next->second += timer.interval();
    timer.tick();
  }
  now_ = std::max(now_, target);
  release_due_events();
}

void Runtime::show(std::u16string_view prompt, platform::MessageBoxStyle style, std::u16string_view title) {
  boxes_.push_back({std::u16string(prompt), style, std::u16string(platform::box_title(title))});
  ++open_boxes_;
  most_open_boxes_ = std::max(most_open_boxes_, open_boxes_);
  // The user reads the box while events go on; it closes once they are
  // done, or when one of them closes it.
  drain([this] { return std::exchange(closing_, false); });
  closing_ = false;
  --open_boxes_;
}

}  // namespace talvorin::headless
