#pragma once
// What a form is and does apart from its windows: shown or not, the
// program's active window or not, being unloaded. Both backends of the
// toolkit drive these, so the simulated forms keep the same rules as the
// real ones instead of a copy of them.

#include <cstdint>

#include "forms/toolkit.h"

namespace talvorin::forms {

// When a form's activate handler runs, and when the focus may go back into
// one of its controls: one rule for every backend of the toolkit.
//
// The program keeps its own idea of which form is its active window. It
// changes only when one of the program's visible forms is shown or
// activated; the hidden application window that owns the tray menu, and
// every other program, leave it as it was. So a return to a form from
// another program, or from the tray menu, is no activation of it, while a
// return from another of the program's forms is.
class ActiveForm {
 public:
  // The form was shown by the program: it is brought to the front and made
  // the active window, and its handler runs even if it already was.
  void shown(const void* form) { active_ = form; }
  // The system made the form's window the foreground window. True when that
  // is an activation of the form as the program sees it.
  bool activated(const void* form, bool visible) {
    if (!visible || active_ == form) return false;
    active_ = form;
    return true;
  }
  void hidden(const void* form) {
    if (active_ == form) active_ = nullptr;
  }
  const void* active() const { return active_; }

  // Keys typed go to the focus window, shown or not: a form that is not
  // visible must never take the focus into one of its controls.
  static bool may_restore_focus(bool visible) { return visible; }

 private:
  const void* active_ = nullptr;
};

class FormCore {
 public:
  FormCore(const FormArgs& args, ActiveForm& active_form);
  FormCore(const FormCore&) = delete;
  FormCore& operator=(const FormCore&) = delete;
  ~FormCore() { active_form_.hidden(this); }

  // As the program has shown, hidden and unloaded it.
  bool visible() const { return visible_; }
  bool unloaded() const { return unloaded_; }

  // The program shows the form: it becomes the program's active window,
  // and its activate handler runs even if it already was. True when the
  // window is to be restored: one already shown but minimised comes back
  // from the taskbar, while a hidden one keeps its state.
  bool show(bool window_visible, bool minimised);
  // After the showing: the window got its size while hidden, so its first
  // showing still counts as a resize, once, whether or not the system sent
  // one with it since resizes_before.
  void first_show_resize(unsigned resizes_before);
  void hide();

  // A change of size or window state once the window exists.
  void resize();
  unsigned resizes() const { return resizes_; }

  // The system made the window the foreground window. True when that is an
  // activation of the form as the program sees it, and its activate event
  // is to be raised.
  bool activated(bool window_visible) { return active_form_.activated(this, window_visible); }
  // The activate event, raised once the activation has settled: a form
  // hidden meanwhile is not told.
  void activate_event(bool window_visible) const;

  bool close_box_hides() const { return close_box_hides_; }
  // The unload handler runs, once even when a close arrives while it waits
  // (in a message box, say). True when the form is unloaded and its window
  // is to go; false when the handler cancelled or the unload was already
  // under way or done.
  bool unload();
  // The session ends: the form unloads once, however often it is told.
  bool end_session();
  // The window is gone, by an unload or otherwise.
  void gone();

  void taskbar_created() const;

 private:
  ActiveForm& active_form_;
  Handler on_resize_;
  std::function<Unload()> on_unload_;
  Handler on_taskbar_created_;
  Handler on_activate_;
  bool close_box_hides_;

  bool visible_ = false;
  bool shown_once_ = false;
  bool unloading_ = false;
  bool unloaded_ = false;
  bool session_ended_ = false;
  unsigned resizes_ = 0;
};

}  // namespace talvorin::forms
