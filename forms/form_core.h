#pragma once
// What a form is and does apart from its windows: shown or not, the
// program's active window or not, being unloaded. Both backends of the
// toolkit drive these, so the simulated forms keep the same rules as the
// real ones instead of a copy of them.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

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

// Where the keyboard focus goes when a form's window gets it.
enum class FocusMove {
  Stay,          // where it is
  ToWindow,      // to the bare window, which takes none of the keys
  IntoControls,  // to the control that had it last, or the first in tab order; with none, to the window
};

// What a backend does to the form's window once the core has decided: the
// one part of each rule that differs between real and simulated windows.
class FormWindow {
 public:
  // Shows the window, from the taskbar when `restore`, and brings it in
  // front of the windows covering it.
  virtual void show_window(bool restore) = 0;
  virtual void hide_window() = 0;
  // The form is unloaded: its window goes.
  virtual void destroy_window() = 0;
  // Queues the core's activate_event() behind what the system is doing
  // now, so that it runs once the activation has settled.
  virtual void post_activate_event() = 0;

 protected:
  ~FormWindow() = default;
};

class FormCore {
 public:
  FormCore(const FormArgs& args, ActiveForm& active_form, FormWindow& window);
  FormCore(const FormCore&) = delete;
  FormCore& operator=(const FormCore&) = delete;
  ~FormCore() { active_form_.hidden(this); }

  // As the program has shown, hidden and unloaded it, and as the system
  // has shown or hidden its window since.
  bool visible() const { return visible_; }
  bool unloaded() const { return unloaded_; }

  // The program shows the form: it becomes the program's active window,
  // and its activate event is raised even if it already was. One already
  // shown but minimised comes back from the taskbar, while a hidden one
  // keeps its state. Nothing happens to an unloaded form.
  void show(bool minimised);
  void hide();
  // Someone else than the program (the system, another program) showed or
  // hid the window: the form follows. Neither is the program's showing or
  // hiding, so the program's idea of its active window stays as it was.
  void window_visible(bool visible);

  // A change of size or window state once the window exists.
  void resize();

  // The system made the window the foreground window: the activate event
  // is raised when that is an activation of the form as the program sees it.
  // A minimised window keeps the focus where it is; a hidden one takes it
  // itself, so the keys the user types next land nowhere.
  FocusMove activated(bool minimised);
  // The program's showing brought the window to the front. A window that
  // was the foreground window already while hidden got no activation from
  // it, and holds the focus itself: the focus goes into its controls.
  FocusMove focus_after_show(bool foreground, bool minimised, bool focus_in_controls) const;
  // The window itself got the focus.
  FocusMove focus_received() const;
  // The activate event, raised once the activation has settled: a form
  // hidden or unloaded meanwhile is not told.
  void activate_event() const;

  // The user pressed the close box: it hides a form whose close box hides
  // it, and unloads any other unless its handler cancels.
  void close_box();
  // The unload handler runs, once even when a close arrives while it waits
  // (in a message box, say). True when the form is unloaded and its window
  // gone; false when the handler cancelled or the unload was already under
  // way or done.
  bool unload();
  // The session ends: the form unloads once, however often it is told.
  bool end_session();
  // The window is gone, by an unload or otherwise: nothing reaches the form
  // any more, its timers included.
  void gone();

  void taskbar_created() const;

  // A timer of the form, which dies with the form's window.
  Timer& add_timer(const TimerArgs& args, std::function<void(const Timer&)> count_down);
  // In the order they were added.
  const std::vector<std::unique_ptr<Timer>>& timers() const { return timers_; }
  // The chosen command of one of the form's menus: its item's handler runs,
  // unless the form was unloaded while the menu was open.
  void menu_chosen(const Menu& menu, std::uint32_t command) const;

 private:
  void first_show_resize(unsigned resizes_before);

  ActiveForm& active_form_;
  FormWindow& window_;
  Handler on_resize_;
  std::function<Unload()> on_unload_;
  Handler on_taskbar_created_;
  Handler on_activate_;
  bool close_box_hides_;
  std::vector<std::unique_ptr<Timer>> timers_;

  bool visible_ = false;
  bool shown_once_ = false;
  bool unloading_ = false;
  bool unloaded_ = false;
  bool session_ended_ = false;
  unsigned resizes_ = 0;
};

}  // namespace talvorin::forms
