#pragma once
// The ports bound to Windows itself. Each call passes the arguments the
// program has always passed; no result is interpreted beyond what the port
// promises.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/popup_menu.h"
#include "platform/ports.h"
#include "platform/win32/handles.h"

namespace talvorin::platform::win32 {

class ErrorReport;

inline HWND as_hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle as_handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// The shell's windows through the narrow functions.
class ShellWindows final : public platform::ShellWindows {
 public:
  WindowHandle find_window(std::string_view class_name) override;
  WindowHandle find_child_window(WindowHandle parent, std::string_view class_name) override;
  void set_window_text(WindowHandle window, const std::string& ansi_text) override;
  WindowHandle find_next_window(WindowHandle parent, WindowHandle after, std::string_view class_name) override;
  void show_window(WindowHandle window, ShowCommand command) override;
  WindowFacts facts(WindowHandle window) override;
  core::PixelRect monitor_of(const core::PixelRect& rect) override;
  std::uint32_t thread_of(WindowHandle window) override;
};

// Out-of-context WinEvent hooks, heard on the thread that set them. A hook
// procedure gets no context of its own, so one watch at a time listens:
// the last to call watch().
class ShellWatch final : public platform::ShellWatch {
 public:
  explicit ShellWatch(ErrorReport& errors) : errors_(errors) {}
  ShellWatch(const ShellWatch&) = delete;
  ShellWatch& operator=(const ShellWatch&) = delete;
  ~ShellWatch() override { stop(); }

  std::uint32_t own_process() override;
  std::uint32_t process_of(WindowHandle window) override;
  bool watch(std::uint32_t process, Listener listener) override;
  void stop() override;

 private:
  static void CALLBACK hear(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                            DWORD time) noexcept;

  ErrorReport& errors_;
  Listener listener_;
  std::uint32_t process_ = 0;
  unique_hwineventhook foreground_;
  unique_hwineventhook shown_to_reordered_;
  unique_hwineventhook moved_;
  unique_hwineventhook own_;
  static inline ShellWatch* listening_ = nullptr;
};

// The caption over Start buttons that paint none: top-level windows of the
// program's own, each laid over one button.
class StartOverlays final : public platform::StartOverlays {
 public:
  explicit StartOverlays(ErrorReport& errors);
  StartOverlays(const StartOverlays&) = delete;
  StartOverlays& operator=(const StartOverlays&) = delete;
  ~StartOverlays() override;

  void show(const std::vector<core::OverlayPlacement>& placements, std::u16string_view caption) override;
  void restack() override;
  std::uint32_t display_changes() const override { return display_changes_; }

  class Overlay;
  class Owner;

 private:
  ErrorReport& errors_;
  std::uint32_t display_changes_ = 0;
  std::unique_ptr<Owner> owner_;
  std::vector<std::unique_ptr<Overlay>> overlays_;
};

// The calls around a popup menu: the pointer, the foreground window and
// the menu's own loop.
class PopupMenuCalls final : public platform::PopupMenuCalls {
 public:
  ScreenPoint cursor_position() override;
  WindowHandle foreground_window() override;
  void set_foreground_window(WindowHandle window) override;
  bool window_shown(WindowHandle window) override;
  std::uint32_t track_popup_menu(MenuHandle menu, std::uint32_t flags, ScreenPoint at, WindowHandle owner) override;
  void post_null(WindowHandle window) override;
};

// MessageBoxW with no owner: the box runs its own loop, and timers and tray
// callbacks of the program keep arriving while it is open.
class MessageBoxes final : public platform::MessageBoxes {
 public:
  void show(std::u16string_view prompt, MessageBoxStyle style, std::u16string_view title) override;
};

// Shell_NotifyIconA with the 88-byte record.
class Tray final : public platform::Tray {
 public:
  const core::TrayRecordLayout& layout() const override;
  bool notify(core::TrayCommand command, const core::TrayRecordBytes& record) override;
};

// The system's ANSI code page (CP_ACP), with its own substitutes for
// characters it cannot hold.
class AnsiCodePage final : public platform::AnsiCodePage {
 public:
  std::string encode(std::u16string_view text) const override;
  std::u16string decode(std::string_view bytes) const override;
};

// The registry through the wide functions. A key is the HKEY as a number.
class Registry final : public platform::Registry {
 public:
  Key open_for_write(core::RegistryRoot root, std::u16string_view path) override;
  Key create(core::RegistryRoot root, std::u16string_view path) override;
  Key open_for_read(core::RegistryRoot root, std::u16string_view path) override;
  void close(Key key) override;

  std::optional<std::u16string> read_string(Key key, std::u16string_view name) override;
  bool write_string(Key key, std::u16string_view name, std::u16string_view text) override;
  bool delete_value(Key key, std::u16string_view name) override;
};

class CommonControls final : public platform::CommonControls {
 public:
  bool initialize(std::uint32_t classes) override;
};

// GDI on the device context of a window.
class GdiTextDrawing final : public platform::TextDrawing {
 public:
  std::uint32_t translate_color(std::uint32_t ole_color) override;
  std::uint32_t button_face_color() override;
  Brush create_solid_brush(std::uint32_t color) override;
  void delete_brush(Brush brush) override;
  void set_text_color(DeviceContext dc, std::uint32_t color) override;
  void fill_rect(DeviceContext dc, const core::PixelRect& rect, Brush brush) override;
  void set_text_character_extra(DeviceContext dc, std::int32_t extra) override;
  void draw_text(DeviceContext dc, const std::string& ansi_text, std::int32_t length, core::PixelRect& rect,
                 DrawTextFormat format) override;
};

// timeGetTime.
class MultimediaClock final : public platform::Clock {
 public:
  std::uint32_t milliseconds() override;
};

class ShellLinks final : public platform::Links {
 public:
  void open(WindowHandle owner, const std::optional<std::string>& ansi_operation, const std::string& ansi_target,
            const std::optional<std::string>& ansi_parameters, const std::string& ansi_folder,
            ShowCommand show) override;
};

}  // namespace talvorin::platform::win32
