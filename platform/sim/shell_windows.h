#pragma once
// Simulated shell windows: top-level windows in z-order with children, each
// with a class and a text. Class names compare without regard to case.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace talvorin::sim {

using platform::WindowHandle;

class ShellWindows final : public platform::ShellWindows {
 public:
  // A new top-level window goes on top of the z-order, as a freshly
  // created one does.
  WindowHandle add_top_level(std::string class_name);
  WindowHandle add_child(WindowHandle parent, std::string class_name);
  void remove(WindowHandle window);

  // The taskbar with its Start button, as the shell makes it.
  WindowHandle add_taskbar();

  std::string text_of(WindowHandle window) const;
  std::size_t texts_sent() const { return texts_sent_; }

  WindowHandle find_window(std::string_view class_name) override;
  WindowHandle find_child_window(WindowHandle parent, std::string_view class_name) override;
  void set_window_text(WindowHandle window, const std::string& ansi_text) override;

 private:
  struct Window {
    WindowHandle handle;
    WindowHandle parent;
    std::string class_name;
    std::string text;
  };
  const Window* lookup(WindowHandle window) const;

  std::vector<Window> windows_;  // front: top of the z-order
  WindowHandle next_handle_ = 0x100;
  std::size_t texts_sent_ = 0;
};

}  // namespace talvorin::sim
