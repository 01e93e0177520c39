#include "platform/shell_adjustments.h"

#include <utility>

#include "core/product.h"

namespace talvorin::platform {

namespace {

constexpr std::string_view kTaskbarClass = "shell_traywnd";
constexpr std::string_view kStartButtonClass = "button";
constexpr std::string_view kSecondaryTaskbarClass = "Shell_SecondaryTrayWnd";
constexpr std::string_view kStartWindowClass = "Start";

constexpr std::string_view kDesktopClass = "Progman";
constexpr std::string_view kWorkerClass = "WorkerW";
constexpr std::string_view kDesktopViewClass = "SHELLDLL_DefView";
constexpr std::string_view kIconListClass = "SysListView32";

// The desktop's icon list, or 0. A window that is not found ends the search:
// searched for under 0, the next class would be looked for among all the
// top-level windows, and another program's list view could be hidden.
WindowHandle desktop_icon_list(ShellWindows& shell) {
  WindowHandle view = 0;
  if (const WindowHandle desktop = shell.find_window(kDesktopClass)) {
    view = shell.find_child_window(desktop, kDesktopViewClass);
  }
  // Windows 7 and later move the view under one of the top-level WorkerW
  // windows once the wallpaper changes by itself.
  for (WindowHandle worker = 0; view == 0;) {
    worker = shell.find_next_window(0, worker, kWorkerClass);
    if (worker == 0) break;
    view = shell.find_child_window(worker, kDesktopViewClass);
  }
  return view == 0 ? 0 : shell.find_child_window(view, kIconListClass);
}

void show_desktop_icon_list(ShellWindows& shell, ShowCommand command) {
  if (const WindowHandle list = desktop_icon_list(shell)) shell.show_window(list, command);
}

core::ShellWindowSeen seen(WindowHandle window, const WindowFacts& facts) {
  return {window, facts.visible, facts.rect, {}};
}

using MonitorOf = std::function<core::PixelRect(const core::PixelRect&)>;

// A Start button with the monitor it is on.
core::ShellWindowSeen button_seen(ShellWindows& shell, WindowHandle button, const MonitorOf& monitor_of) {
  core::ShellWindowSeen seen_button = seen(button, shell.facts(button));
  seen_button.monitor = monitor_of(seen_button.rect);
  return seen_button;
}

core::TaskbarSeen taskbar_seen(ShellWindows& shell, WindowHandle taskbar) {
  const WindowFacts facts = shell.facts(taskbar);
  return core::TaskbarSeen{seen(taskbar, facts), facts.topmost, std::nullopt, facts.region};
}

}  // namespace

// Searches only as far as the first shape that fits. A tick costs, beyond
// the caption itself: on a Button child that paints its text, one look at
// the button; on Wine's owner-drawn one, one at the button and one at its
// taskbar; on the other shapes, the searches for their windows and a look
// at each. The monitors come from `monitor_of`, which keeps them.
core::StartButtonSearch SearchStartButton(ShellWindows& shell, WindowHandle taskbar, WindowHandle button,
                                          const MonitorOf& monitor_of) {
  core::StartButtonSearch search;
  if (taskbar == 0) return search;
  if (button != 0) {
    const WindowFacts facts = shell.facts(button);
    search.button = seen(button, facts);
    search.button_owner_drawn = facts.owner_drawn_button;
    // A button that paints its own text gets no overlay: neither its
    // taskbar's looks nor its monitor are needed.
    if (!facts.owner_drawn_button) {
      search.taskbar = core::TaskbarSeen{{taskbar, false, {}, {}}, false, std::nullopt};
      return search;
    }
    search.taskbar = taskbar_seen(shell, taskbar);
    search.button->monitor = monitor_of(facts.rect);
    return search;
  }
  search.taskbar = taskbar_seen(shell, taskbar);
  // Windows 8 to 11: a "Start" child of each taskbar. The search for one
  // comes before the orb's, since the shell's thread may own other
  // top-level buttons of its own.
  if (const WindowHandle start = shell.find_child_window(taskbar, kStartWindowClass)) {
    search.taskbar->start = button_seen(shell, start, monitor_of);
    for (WindowHandle other = 0; (other = shell.find_next_window(0, other, kSecondaryTaskbarClass)) != 0;) {
      core::TaskbarSeen secondary = taskbar_seen(shell, other);
      if (const WindowHandle its_start = shell.find_child_window(other, kStartWindowClass)) {
        secondary.start = button_seen(shell, its_start, monitor_of);
      }
      search.secondary.push_back(secondary);
    }
    return search;
  }
  // Vista and 7 make the orb a top-level window of the taskbar's own thread;
  // another program's top-level button is no Start button.
  const std::uint32_t shell_thread = shell.thread_of(taskbar);
  for (WindowHandle orb = 0; (orb = shell.find_next_window(0, orb, kStartButtonClass)) != 0;) {
    if (shell.thread_of(orb) != shell_thread) continue;
    search.orb = button_seen(shell, orb, monitor_of);
    break;
  }
  return search;
}

core::PixelRect MonitorCache::monitor_of(ShellWindows& shell, const core::PixelRect& button,
                                         std::uint32_t display_changes) {
  if (display_changes != display_changes_) {
    entries_.clear();
    display_changes_ = display_changes;
  }
  for (const Entry& entry : entries_) {
    if (entry.button == button) return entry.monitor;
  }
  if (entries_.size() == kMostEntries) entries_.erase(entries_.begin());
  entries_.push_back({button, shell.monitor_of(button)});
  return entries_.back().monitor;
}

void MissingButtonReport::button_missing(CaptionRequest request) {
  if (open_ || (reported_ && request == CaptionRequest::Timer)) return;
  reported_ = true;
  open_ = true;
  struct Reopen {
    bool& open;
    ~Reopen() { open = false; }
  } reopen{open_};
  boxes_.show(core::kErrorCannotFindWindow, MessageBoxStyle::Ok, core::kProductName);
}

StartButtonWindows FindStartButton(ShellWindows& shell) {
  const WindowHandle taskbar = shell.find_window(kTaskbarClass);
  // No taskbar, no Start button. A search under no parent would run over the
  // top-level windows and write the caption into whatever other program's
  // window is a top-level "button".
  return {taskbar, taskbar == 0 ? 0 : shell.find_child_window(taskbar, kStartButtonClass)};
}

core::StartButtonPlan StartButtonCaption::place(const StartButtonWindows& found, std::u16string_view text) {
  const std::uint32_t display_changes = overlays_.display_changes();
  const auto monitor_of = [&](const core::PixelRect& rect) {
    return monitors_.monitor_of(shell_, rect, display_changes);
  };
  core::StartButtonPlan plan =
      core::plan_start_button(SearchStartButton(shell_, found.taskbar, found.button, monitor_of), text);
  overlays_.show(plan.overlays, text);
  return plan;
}

WindowHandle StartButtonCaption::write(CaptionRequest request, std::u16string_view text,
                                       const PlacesAnew& places_anew) {
  const StartButtonWindows found = FindStartButton(shell_);
  const bool anew = !places_anew || places_anew(found, overlays_.display_changes());
  shell_.set_window_text(found.button, code_page_.encode(text));
  // The overlay is a window of our own: it shows what was typed, whatever
  // the code page could not carry.
  if (anew) {
    found_ = place(found, text).found();
  } else {
    overlays_.restack();
  }
  if (!found_) {
    report_.button_missing(request);
  } else {
    report_.button_found();
  }
  return found.taskbar;
}

CaptionFollower::CaptionFollower(ShellWatch& watch, StartButtonCaption& start_button, Post post)
    : watch_(watch), start_button_(start_button), post_(std::move(post)), following_(watch.own_process()) {}

void CaptionFollower::write(CaptionRequest request, std::u16string_view caption) {
  caption_ = caption;
  const auto process_of = [this](std::uintptr_t window) { return watch_.process_of(window); };
  start_button_.write(request, caption, [&](const StartButtonWindows& found, std::uint32_t display_changes) {
    if (following_.follow(found.taskbar, process_of)) {
      following_.hooks_set(
          watch_.watch(following_.taskbar_process(), [this](const core::WindowEvent& event) { heard(event); }));
    }
    return following_.places({found.taskbar, found.button, display_changes, caption, request == CaptionRequest::User});
  });
}

void CaptionFollower::heard(const core::WindowEvent& event) {
  if (!following_.heard(event)) return;
  post_([self = std::weak_ptr<CaptionFollower*>(self_)] {
    if (const auto follower = self.lock()) (*follower)->follow();
  });
}

void CaptionFollower::follow() {
  if (following_.due()) start_button_.place(caption_);
}

void ShowDesktopIcons(ShellWindows& shell) { show_desktop_icon_list(shell, ShowCommand::Show); }

void HideDesktopIcons(ShellWindows& shell) { show_desktop_icon_list(shell, ShowCommand::Hide); }

}  // namespace talvorin::platform
