#include "forms/form_core.h"

#include <utility>

namespace talvorin::forms {

Timer::Timer(const TimerArgs& args, std::function<void(const Timer&)> count_down)
    : interval_ms_(args.interval_ms), on_timer_(args.on_timer), count_down_(std::move(count_down)) {
  set_enabled(args.enabled);
}

void Timer::set_enabled(bool enabled) {
  const bool was_running = running();
  enabled_ = enabled;
  if (running() != was_running && count_down_) count_down_(*this);
}

void Timer::end() {
  const bool was_running = running();
  ended_ = true;
  if (was_running && count_down_) count_down_(*this);
}

void Timer::tick() const {
  if (running() && on_timer_) on_timer_();
}

void MenuItem::set_caption(std::u16string_view caption) {
  args_.caption = caption;
  if (changed) changed(*this);
}

void MenuItem::set_enabled(bool enabled) {
  enabled_ = enabled;
  if (changed) changed(*this);
}

Menu::Menu(const MenuArgs& args) {
  for (const MenuItemArgs& item : args.items) items_.push_back(std::make_unique<MenuItem>(item));
}

MenuItem* Menu::find(std::u16string_view name) const {
  for (const auto& item : items_) {
    if (item->name() == name) return item.get();
  }
  return nullptr;
}

std::uint32_t Menu::command_of(const MenuItem& item) const {
  for (std::size_t index = 0; index < items_.size(); ++index) {
    if (items_[index].get() == &item) return command_at(index);
  }
  return 0;
}

const MenuItem* Menu::item_of(std::uint32_t command) const {
  return command >= 1 && command <= items_.size() ? items_[command - 1].get() : nullptr;
}

FormCore::FormCore(const FormArgs& args, ActiveForm& active_form, FormWindow& window)
    : active_form_(active_form),
      window_(window),
      on_resize_(args.on_resize),
      on_unload_(args.on_unload),
      on_taskbar_created_(args.on_taskbar_created),
      on_activate_(args.on_activate),
      close_box_hides_(args.close_box_hides) {}

void FormCore::show(bool minimised) {
  if (unloaded_) return;
  const bool restore = visible_ && minimised;
  visible_ = true;
  // The program's active window before the showing activates it, so that
  // the event is raised once, from here, whether or not it was active.
  active_form_.shown(this);
  const unsigned resizes_before = resizes_;
  window_.show_window(restore);
  window_.post_activate_event();
  first_show_resize(resizes_before);
}

// The window got its size while hidden, so its first showing still counts
// as a resize, once, whether or not the system sent one with it.
void FormCore::first_show_resize(unsigned resizes_before) {
  if (shown_once_) return;
  shown_once_ = true;
  if (resizes_ == resizes_before) resize();
}

void FormCore::hide() {
  visible_ = false;
  active_form_.hidden(this);
  if (!unloaded_) window_.hide_window();
}

void FormCore::window_visible(bool visible) { visible_ = visible && !unloaded_; }

void FormCore::resize() {
  if (unloaded_) return;
  ++resizes_;
  if (on_resize_) on_resize_();
}

FocusMove FormCore::activated(bool minimised) {
  if (active_form_.activated(this, visible_)) window_.post_activate_event();
  if (minimised) return FocusMove::Stay;
  return ActiveForm::may_restore_focus(visible_) ? FocusMove::IntoControls : FocusMove::ToWindow;
}

FocusMove FormCore::focus_after_show(bool foreground, bool minimised, bool focus_in_controls) const {
  const bool into = foreground && !minimised && !focus_in_controls && ActiveForm::may_restore_focus(visible_);
  return into ? FocusMove::IntoControls : FocusMove::Stay;
}

FocusMove FormCore::focus_received() const {
  return ActiveForm::may_restore_focus(visible_) ? FocusMove::IntoControls : FocusMove::Stay;
}

void FormCore::activate_event() const {
  if (visible_ && !unloaded_ && on_activate_) on_activate_();
}

void FormCore::close_box() {
  if (unloaded_) return;
  if (close_box_hides_) {
    hide();
  } else {
    unload();
  }
}

bool FormCore::unload() {
  if (unloading_ || unloaded_) return false;
  unloading_ = true;
  const Unload answer = on_unload_ ? on_unload_() : Unload::Proceed;
  unloading_ = false;
  if (answer == Unload::Cancel) return false;
  gone();
  window_.destroy_window();
  return true;
}

bool FormCore::end_session() {
  if (session_ended_) return false;
  session_ended_ = true;
  return unload();
}

void FormCore::gone() {
  unloaded_ = true;
  visible_ = false;
  active_form_.hidden(this);
  for (const auto& timer : timers_) timer->end();
}

void FormCore::taskbar_created() const {
  if (!unloaded_ && on_taskbar_created_) on_taskbar_created_();
}

Timer& FormCore::add_timer(const TimerArgs& args, std::function<void(const Timer&)> count_down) {
  Timer& timer = *timers_.emplace_back(std::make_unique<Timer>(args, std::move(count_down)));
  if (unloaded_) timer.end();
  return timer;
}

void FormCore::menu_chosen(const Menu& menu, std::uint32_t command) const {
  if (unloaded_) return;
  if (const MenuItem* item = menu.item_of(command)) item->click();
}

}  // namespace talvorin::forms
