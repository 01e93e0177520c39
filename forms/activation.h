#pragma once
// When a form's activate handler runs, and when the focus may go back into
// one of its controls: one rule for every backend of the toolkit.
//
// The program keeps its own idea of which form is its active window. It
// changes only when one of the program's visible forms is shown or
// activated; the hidden application window that owns the tray menu, and
// every other program, leave it as it was. So a return to a form from
// another program, or from the tray menu, is no activation of it, while a
// return from another of the program's forms is.

namespace talvorin::forms {

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

}  // namespace talvorin::forms
