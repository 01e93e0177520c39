#pragma once
// What the program asks of Windows, one small interface per kind of work.
// The exe binds them to Win32 calls; the host tests to a simulated Windows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ansi.h"
#include "core/autorun.h"
#include "core/tray_record.h"

namespace talvorin::platform {

using WindowHandle = std::uintptr_t;  // 0: no window

// ShowWindow commands the program uses.
enum class ShowCommand : std::int32_t { Hide = 0, Show = 5 };

// Windows of the shell, looked up by class and never kept.
class ShellWindows {
 public:
  virtual ~ShellWindows() = default;
  // First top-level window of the class (case-insensitive), or 0.
  virtual WindowHandle find_window(std::string_view class_name) = 0;
  // First child of the class under parent; with parent 0, the first
  // top-level window of the class. 0 when there is none.
  virtual WindowHandle find_child_window(WindowHandle parent, std::string_view class_name) = 0;
  // WM_SETTEXT with a NUL-terminated ANSI text. A handle of 0 reaches no window.
  virtual void set_window_text(WindowHandle window, const std::string& ansi_text) = 0;
  // The next window of the class after `after` (0: from the first): a child
  // of parent, or with parent 0 a top-level window in z-order. 0 at the end.
  virtual WindowHandle find_next_window(WindowHandle parent, WindowHandle after, std::string_view class_name) = 0;
  virtual void show_window(WindowHandle window, ShowCommand command) = 0;
};

// The notification area.
class Tray {
 public:
  virtual ~Tray() = default;
  // The record layout of this process's pointer size.
  virtual const core::TrayRecordLayout& layout() const = 0;
  virtual bool notify(core::TrayCommand command, const core::TrayRecordBytes& record) = 0;
};

// The registry, as far as the program uses it. Keys are opaque handles; 0
// means the key could not be opened, and every call on 0 does nothing.
class Registry {
 public:
  using Key = std::uintptr_t;

  virtual ~Registry() = default;
  // Opens an existing key for writing; never creates one.
  virtual Key open_for_write(core::RegistryRoot root, std::u16string_view path) = 0;
  // Opens the key for reading and writing, creating it and its parents.
  virtual Key create(core::RegistryRoot root, std::u16string_view path) = 0;
  // Opens an existing key for reading.
  virtual Key open_for_read(core::RegistryRoot root, std::u16string_view path) = 0;
  virtual void close(Key key) = 0;

  // A string value (REG_SZ or REG_EXPAND_SZ, taken as stored) without its
  // terminating NUL. nullopt when absent or of another type.
  virtual std::optional<std::u16string> read_string(Key key, std::u16string_view name) = 0;
  // Writes REG_SZ: the whole text and its terminating NUL.
  virtual bool write_string(Key key, std::u16string_view name, std::u16string_view text) = 0;
  virtual bool delete_value(Key key, std::u16string_view name) = 0;
};

// A registry key that is closed when it goes out of scope.
class RegistryKey {
 public:
  RegistryKey(Registry& registry, Registry::Key key) : registry_(&registry), key_(key) {}
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept : registry_(other.registry_), key_(other.key_) { other.key_ = 0; }
  RegistryKey& operator=(RegistryKey&&) = delete;
  ~RegistryKey() {
    if (key_ != 0) registry_->close(key_);
  }

  Registry::Key get() const { return key_; }
  explicit operator bool() const { return key_ != 0; }

 private:
  Registry* registry_;
  Registry::Key key_;
};

// Message box styles the program uses.
enum class MessageBoxStyle : std::uint32_t { Ok = 0 };

// A modal message box. Events keep arriving while it is open, so other
// handlers may run before show() returns.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void show(std::u16string_view prompt, MessageBoxStyle style, std::u16string_view title) = 0;
};

// The common controls library, set up before the first window exists.
inline constexpr std::uint32_t kIccUserExClasses = 0x200;

class CommonControls {
 public:
  virtual ~CommonControls() = default;
  // InitCommonControlsEx with an 8-byte record and the given classes. False
  // when the library or its entry point could not be reached.
  virtual bool initialize(std::uint32_t classes) = 0;
};

// Everything the program reaches through the ports, bundled for the forms.
struct Ports {
  ShellWindows& shell;
  Tray& tray;
  Registry& registry;
  CommonControls& common_controls;
  const core::AnsiCodePage& code_page;
};

}  // namespace talvorin::platform
