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

FormCore::FormCore(const FormArgs& args, ActiveForm& active_form)
    : active_form_(active_form),
      on_resize_(args.on_resize),
      on_unload_(args.on_unload),
      on_taskbar_created_(args.on_taskbar_created),
      on_activate_(args.on_activate),
      close_box_hides_(args.close_box_hides) {}

bool FormCore::show(bool window_visible, bool minimised) {
  visible_ = true;
  active_form_.shown(this);
  return window_visible && minimised;
}

void FormCore::first_show_resize(unsigned resizes_before) {
  if (shown_once_) return;
  shown_once_ = true;
  if (resizes_ == resizes_before) resize();
}

void FormCore::hide() {
  visible_ = false;
  active_form_.hidden(this);
}

void FormCore::resize() {
  ++resizes_;
  if (on_resize_) on_resize_();
}

void FormCore::activate_event(bool window_visible) const {
  if (window_visible && !unloaded_ && on_activate_) on_activate_();
}

bool FormCore::unload() {
  if (unloading_ || unloaded_) return false;
  unloading_ = true;
  const Unload answer = on_unload_ ? on_unload_() : Unload::Proceed;
  unloading_ = false;
  if (answer == Unload::Cancel) return false;
  gone();
  return true;
}

bool FormCore::end_session() {
  if (session_ended_) return false;
  session_ended_ = true;
  return unload();
}

void FormCore::gone() {
  unloaded_ = true;
  hide();
}

void FormCore::taskbar_created() const {
  if (!unloaded_ && on_taskbar_created_) on_taskbar_created_();
}

}  // namespace talvorin::forms
