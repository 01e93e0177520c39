#include "platform/sim/shell_windows.h"

#include <algorithm>
#include <cctype>

namespace talvorin::sim {

namespace {

bool same_class(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

WindowHandle ShellWindows::add_top_level(std::string class_name, std::string text) {
  const WindowHandle handle = next_handle_++;
  windows_.insert(below_topmost(), Window{handle, 0, std::move(class_name), std::move(text)});
  return handle;
}

std::vector<ShellWindows::Window>::iterator ShellWindows::below_topmost() {
  return std::find_if(windows_.begin(), windows_.end(),
                      [](const Window& w) { return w.parent != 0 || !w.facts.topmost; });
}

WindowHandle ShellWindows::add_child(WindowHandle parent, std::string class_name, std::string text) {
  const WindowHandle handle = next_handle_++;
  const Window* owner = lookup(parent);
  const std::uint32_t thread = owner ? owner->thread : kShellThread;
  windows_.push_back(Window{handle, parent, std::move(class_name), std::move(text)});
  windows_.back().thread = thread;
  return handle;
}

// As SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST: a window made
// topmost goes to the top of the z-order, one that stops being so to the
// top of the windows that are not.
void ShellWindows::set_facts(WindowHandle window, const platform::WindowFacts& facts) {
  Window* w = lookup(window);
  if (!w) return;
  const bool was_topmost = w->facts.topmost;
  w->facts = facts;
  if (w->parent != 0) {
    w->facts.topmost = false;
    w->facts.region.reset();
  }
  if (w->facts.topmost == was_topmost) return;
  Window moved = std::move(*w);
  windows_.erase(windows_.begin() + (w - windows_.data()));
  windows_.insert(moved.facts.topmost ? windows_.begin() : below_topmost(), std::move(moved));
}

void ShellWindows::set_thread(WindowHandle window, std::uint32_t thread) {
  if (Window* w = lookup(window)) w->thread = thread;
}

// The window goes with every window under it, as DestroyWindow takes them.
void ShellWindows::remove(WindowHandle window) {
  std::vector<WindowHandle> gone{window};
  for (std::size_t i = 0; i < gone.size(); ++i) {
    for (const Window& w : windows_) {
      if (w.parent == gone[i]) gone.push_back(w.handle);
    }
  }
  std::erase_if(windows_,
                [&gone](const Window& w) { return std::find(gone.begin(), gone.end(), w.handle) != gone.end(); });
}

WindowHandle ShellWindows::add_taskbar() {
  const WindowHandle taskbar = add_top_level("Shell_TrayWnd");
  add_child(taskbar, "Button", "start");
  return taskbar;
}

WindowHandle ShellWindows::add_desktop(std::string top_class) {
  std::string title = same_class(top_class, "Progman") ? "Program Manager" : "";
  const WindowHandle top = add_top_level(std::move(top_class), std::move(title));
  return add_child(add_child(top, "SHELLDLL_DefView"), "SysListView32", "FolderView");
}

std::vector<ShellWindows::Window>::iterator ShellWindows::position_of(WindowHandle window) {
  return std::find_if(windows_.begin(), windows_.end(), [window](const Window& w) { return w.handle == window; });
}

const ShellWindows::Window* ShellWindows::lookup(WindowHandle window) const {
  const auto it =
      std::find_if(windows_.begin(), windows_.end(), [window](const Window& w) { return w.handle == window; });
  return it == windows_.end() ? nullptr : &*it;
}

ShellWindows::Window* ShellWindows::lookup(WindowHandle window) {
  return const_cast<Window*>(std::as_const(*this).lookup(window));
}

bool ShellWindows::visible(WindowHandle window) const {
  const Window* w = lookup(window);
  return w && w->facts.visible;
}

platform::WindowFacts ShellWindows::facts(WindowHandle window) {
  ++calls_;
  const Window* w = lookup(window);
  return w ? w->facts : platform::WindowFacts{};
}

// As MonitorFromRect with MONITOR_DEFAULTTONEAREST: the monitor with the
// largest share of the rectangle, or else the nearest one.
core::PixelRect ShellWindows::monitor_of(const core::PixelRect& rect) {
  ++calls_;
  const auto overlap = [&rect](const core::PixelRect& m) {
    const std::int64_t width = std::int64_t{std::min(rect.right, m.right)} - std::max(rect.left, m.left);
    const std::int64_t height = std::int64_t{std::min(rect.bottom, m.bottom)} - std::max(rect.top, m.top);
    return width > 0 && height > 0 ? width * height : 0;
  };
  const auto distance = [&rect](const core::PixelRect& m) {
    const auto gap = [](std::int64_t low, std::int64_t high, std::int64_t from, std::int64_t to) {
      return std::max<std::int64_t>({0, low - to, from - high});
    };
    const std::int64_t dx = gap(m.left, m.right, rect.left, rect.right);
    const std::int64_t dy = gap(m.top, m.bottom, rect.top, rect.bottom);
    return dx * dx + dy * dy;
  };
  const core::PixelRect* best = &monitors_.front();
  for (const core::PixelRect& m : monitors_) {
    if (overlap(m) > overlap(*best) || (overlap(*best) == 0 && overlap(m) == 0 && distance(m) < distance(*best))) {
      best = &m;
    }
  }
  return *best;
}

std::uint32_t ShellWindows::thread_of(WindowHandle window) {
  ++calls_;
  const Window* w = lookup(window);
  return w ? w->thread : 0;
}

std::string ShellWindows::text_of(WindowHandle window) const {
  const Window* w = lookup(window);
  return w ? w->text : std::string();
}

WindowHandle ShellWindows::find_window(std::string_view class_name) { return find_child_window(0, class_name); }

WindowHandle ShellWindows::find_child_window(WindowHandle parent, std::string_view class_name) {
  return find_next_window(parent, 0, class_name);
}

WindowHandle ShellWindows::find_next_window(WindowHandle parent, WindowHandle after, std::string_view class_name) {
  ++calls_;
  auto it = windows_.begin();
  if (after != 0) {
    // Only from one of the parent's own windows; from any other, nothing.
    it = std::find_if(windows_.begin(), windows_.end(),
                      [after, parent](const Window& w) { return w.handle == after && w.parent == parent; });
    if (it == windows_.end()) return 0;
    ++it;
  }
  for (; it != windows_.end(); ++it) {
    if (it->parent == parent && same_class(it->class_name, class_name)) return it->handle;
  }
  return 0;
}

// WM_SETTEXT takes the text up to its first NUL.
void ShellWindows::set_window_text(WindowHandle window, const std::string& ansi_text) {
  ++calls_;
  ++texts_sent_;
  if (Window* w = lookup(window)) w->text = ansi_text.substr(0, ansi_text.find('\0'));
}

void ShellWindows::show_window(WindowHandle window, platform::ShowCommand command) {
  ++calls_;
  show_calls_.emplace_back(window, command);
  if (Window* w = lookup(window)) w->facts.visible = command != platform::ShowCommand::Hide;
}

namespace {

// The next top-level window after `window` in the order of [from, to).
template <typename Iterator>
WindowHandle next_top_level(Iterator from, Iterator to, WindowHandle window) {
  const auto it = std::find_if(from, to, [window](const auto& w) { return w.handle == window; });
  if (it == to || it->parent != 0) return 0;
  const auto next = std::find_if(it + 1, to, [](const auto& w) { return w.parent == 0; });
  return next == to ? 0 : next->handle;
}

}  // namespace

WindowHandle ShellWindows::window_beneath(WindowHandle window) const {
  return next_top_level(windows_.begin(), windows_.end(), window);
}

WindowHandle ShellWindows::window_above(WindowHandle window) const {
  return next_top_level(windows_.rbegin(), windows_.rend(), window);
}

void ShellWindows::raise(WindowHandle window) {
  const auto it = position_of(window);
  if (it == windows_.end() || it->parent != 0) return;
  Window moved = std::move(*it);
  windows_.erase(it);
  windows_.insert(moved.facts.topmost ? windows_.begin() : below_topmost(), std::move(moved));
}

void ShellWindows::put_beneath(WindowHandle window, WindowHandle above) {
  const Window* over = lookup(above);
  const auto it = position_of(window);
  if (!over || over->parent != 0 || it == windows_.end() || it->parent != 0 || window == above) return;
  const bool over_topmost = over->facts.topmost;
  Window moved = std::move(*it);
  windows_.erase(it);
  if (!over_topmost) moved.facts.topmost = false;
  if (over_topmost && !moved.facts.topmost) {
    windows_.insert(below_topmost(), std::move(moved));
    return;
  }
  windows_.insert(position_of(above) + 1, std::move(moved));
}

platform::WindowFacts ShellWindows::peek(WindowHandle window) const {
  const Window* w = lookup(window);
  return w ? w->facts : platform::WindowFacts{};
}

std::string ShellWindows::class_of(WindowHandle window) const {
  const Window* w = lookup(window);
  return w ? w->class_name : std::string();
}

namespace {

// The z-order as the program's own caption windows read it.
class SimulatedZOrder final : public core::ZOrder {
 public:
  explicit SimulatedZOrder(const ShellWindows& shell) : shell_(shell) {}
  std::uintptr_t beneath(std::uintptr_t window) override { return shell_.window_beneath(window); }
  std::uintptr_t above(std::uintptr_t window) override { return shell_.window_above(window); }
  bool is_caption_window(std::uintptr_t window) override {
    return shell_.class_of(window) == StartOverlays::kWindowClass;
  }
  bool is_topmost(std::uintptr_t window) override { return shell_.peek(window).topmost; }

 private:
  const ShellWindows& shell_;
};

}  // namespace

void StartOverlays::show(const std::vector<core::OverlayPlacement>& placements, std::u16string_view caption) {
  while (overlays_.size() < placements.size()) {
    // Made hidden, on top of the ordinary windows, as CreateWindowEx makes one.
    const WindowHandle window = shell_.add_top_level(std::string(kWindowClass));
    shell_.set_facts(window, {});
    overlays_.push_back({window});
  }
  for (std::size_t i = 0; i < overlays_.size(); ++i) {
    Overlay& overlay = overlays_[i];
    if (i < placements.size()) {
      place(overlay, placements[i], caption);
    } else if (overlay.state.hide()) {
      const core::OverlayPlacement& last = overlay.state.placement();
      shell_.set_facts(overlay.window, {.visible = false, .rect = last.rect, .topmost = last.topmost});
      raise(core::WindowEventKind::Hide);
    }
  }
  caption_ = placements.empty() ? std::u16string() : std::u16string(caption);
}

void StartOverlays::restack() {
  for (const Overlay& overlay : overlays_) {
    if (overlay.state.shown()) stand_above(overlay);
  }
}

// As the Win32 overlay: drawn anew where core's state says, made topmost or
// not with its taskbar, then put back above the taskbar as core says.
void StartOverlays::place(Overlay& overlay, const core::OverlayPlacement& placement, std::u16string_view caption) {
  const core::OverlayUpdate update = overlay.state.show(placement, caption);
  if (update.redraw) ++redraws_;
  shell_.set_facts(overlay.window, {.visible = true, .rect = placement.rect, .topmost = placement.topmost});
  if (update.move) raise(core::WindowEventKind::LocationChange);
  if (update.show) raise(core::WindowEventKind::Show);
  stand_above(overlay);
}

void StartOverlays::stand_above(const Overlay& overlay) {
  const core::OverlayPlacement& placement = overlay.state.placement();
  SimulatedZOrder z_order(shell_);
  const auto move = core::caption_window_move(z_order, overlay.window, placement.above, placement.topmost);
  if (!move) return;
  switch (move->to) {
    case core::ZOrderMove::To::Beneath:
      shell_.put_beneath(overlay.window, move->window);
      break;
    case core::ZOrderMove::To::Top:
    case core::ZOrderMove::To::Topmost:
      shell_.raise(overlay.window);
      break;
  }
}

std::vector<core::OverlayPlacement> StartOverlays::shown() const {
  std::vector<core::OverlayPlacement> placements;
  for (const Overlay& overlay : overlays_) {
    if (overlay.state.shown()) placements.push_back(overlay.state.placement());
  }
  return placements;
}

std::vector<WindowHandle> StartOverlays::windows() const {
  std::vector<WindowHandle> windows;
  for (const Overlay& overlay : overlays_) windows.push_back(overlay.window);
  return windows;
}

}  // namespace talvorin::sim
