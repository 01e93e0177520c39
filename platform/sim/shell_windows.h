#pragma once
// Simulated shell windows: top-level windows in z-order with children, each
// with a class, a text and a visibility. Class names compare without regard
// to case.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"

namespace talvorin::sim {

using platform::WindowHandle;

class ShellWindows final : public platform::ShellWindows {
 public:
  // A new top-level window goes on top of the z-order, as a freshly
  // created one does. The searches take no title, as the program's pass
  // none: a window's title never hides it from them.
  WindowHandle add_top_level(std::string class_name, std::string text = {});
  WindowHandle add_child(WindowHandle parent, std::string class_name, std::string text = {});
  void remove(WindowHandle window);

  // The taskbar with its Start button, as the shell makes and titles them.
  WindowHandle add_taskbar();
  // The desktop's icon view under a new top-level window of the class
  // ("Progman", or "WorkerW" once the shell has moved it); returns the list view.
  WindowHandle add_desktop(std::string top_class);

  std::string text_of(WindowHandle window) const;
  std::size_t texts_sent() const { return texts_sent_; }
  bool visible(WindowHandle window) const;
  // Every ShowWindow call, in order.
  const std::vector<std::pair<WindowHandle, platform::ShowCommand>>& show_calls() const { return show_calls_; }

  WindowHandle find_window(std::string_view class_name) override;
  WindowHandle find_child_window(WindowHandle parent, std::string_view class_name) override;
  void set_window_text(WindowHandle window, const std::string& ansi_text) override;
  WindowHandle find_next_window(WindowHandle parent, WindowHandle after, std::string_view class_name) override;
  void show_window(WindowHandle window, platform::ShowCommand command) override;

 private:
  struct Window {
    WindowHandle handle;
    WindowHandle parent;
    std::string class_name;
    std::string text;
    bool visible = true;
  };
  const Window* lookup(WindowHandle window) const;
  Window* lookup(WindowHandle window);

  std::vector<Window> windows_;  // front: top of the z-order
  WindowHandle next_handle_ = 0x100;
  std::size_t texts_sent_ = 0;
  std::vector<std::pair<WindowHandle, platform::ShowCommand>> show_calls_;
};

}  // namespace talvorin::sim
