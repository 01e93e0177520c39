#include "forms/form_core.h"

namespace talvorin::forms {

bool TimerCore::set_enabled(bool enabled) {
  if (enabled == enabled_) return false;
  enabled_ = enabled;
  return true;
}

void TimerCore::tick() {
  if (running() && on_timer_) on_timer_();
}

FormCore::FormCore(const FormArgs& args, ActiveForm& active_form)
    : active_form_(active_form),
      on_resize_(args.on_resize),
      on_unload_(args.on_unload),
      on_taskbar_created_(args.on_taskbar_created),
      on_activate_(args.on_activate),
      close_box_hides_(args.close_box_hides) {}

void FormCore::show() {
  visible_ = true;
  active_form_.shown(this);
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
