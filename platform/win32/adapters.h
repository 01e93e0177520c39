#pragma once
// The ports bound to Windows itself. Each call passes the arguments the
// program has always passed; no result is interpreted beyond what the port
// promises.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/ansi.h"
#include "platform/ports.h"

namespace talvorin::platform::win32 {

// The shell's windows through the narrow functions.
class ShellWindows final : public platform::ShellWindows {
 public:
  WindowHandle find_window(std::string_view class_name) override;
  WindowHandle find_child_window(WindowHandle parent, std::string_view class_name) override;
  void set_window_text(WindowHandle window, const std::string& ansi_text) override;
  WindowHandle find_next_window(WindowHandle parent, WindowHandle after, std::string_view class_name) override;
  void show_window(WindowHandle window, ShowCommand command) override;
};

// Shell_NotifyIconA with the 88-byte record.
class Tray final : public platform::Tray {
 public:
  const core::TrayRecordLayout& layout() const override;
  bool notify(core::TrayCommand command, const core::TrayRecordBytes& record) override;
};

// The system's ANSI code page (CP_ACP), with its own substitutes for
// characters it cannot hold.
class AnsiCodePage final : public core::AnsiCodePage {
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

}  // namespace talvorin::platform::win32
