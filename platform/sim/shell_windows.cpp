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

WindowHandle ShellWindows::add_top_level(std::string class_name) {
  const WindowHandle handle = next_handle_++;
  windows_.insert(windows_.begin(), Window{handle, 0, std::move(class_name), {}});
  return handle;
}

WindowHandle ShellWindows::add_child(WindowHandle parent, std::string class_name) {
  const WindowHandle handle = next_handle_++;
  windows_.push_back(Window{handle, parent, std::move(class_name), {}});
  return handle;
}

void ShellWindows::remove(WindowHandle window) {
  std::erase_if(windows_, [window](const Window& w) { return w.handle == window || w.parent == window; });
}

WindowHandle ShellWindows::add_taskbar() {
  const WindowHandle taskbar = add_top_level("Shell_TrayWnd");
  add_child(taskbar, "Button");
  return taskbar;
}

const ShellWindows::Window* ShellWindows::lookup(WindowHandle window) const {
  const auto it = std::find_if(windows_.begin(), windows_.end(), [window](const Window& w) { return w.handle == window; });
  return it == windows_.end() ? nullptr : &*it;
}

std::string ShellWindows::text_of(WindowHandle window) const {
  const Window* w = lookup(window);
  return w ? w->text : std::string();
}

WindowHandle ShellWindows::find_window(std::string_view class_name) {
  return find_child_window(0, class_name);
}

WindowHandle ShellWindows::find_child_window(WindowHandle parent, std::string_view class_name) {
  for (const Window& w : windows_) {
    if (w.parent == parent && same_class(w.class_name, class_name)) return w.handle;
  }
  return 0;
}

void ShellWindows::set_window_text(WindowHandle window, const std::string& ansi_text) {
  ++texts_sent_;
  const auto it = std::find_if(windows_.begin(), windows_.end(), [window](const Window& w) { return w.handle == window; });
  if (it != windows_.end()) it->text = ansi_text;
}

}  // namespace talvorin::sim
