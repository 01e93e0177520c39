#pragma once
// What the program asks of Windows, one small interface per kind of work.
// The exe binds them to Win32 calls; the host tests to a simulated Windows.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/autorun.h"
#include "core/geometry.h"
#include "core/product.h"
#include "core/shell_events.h"
#include "core/start_button.h"
#include "core/tray_record.h"
#include "platform/code_page.h"

namespace talvorin::platform {

using WindowHandle = std::uintptr_t;  // 0: no window

// ShowWindow commands the program uses.
enum class ShowCommand : std::int32_t { Hide = 0, ShowNormal = 1, Show = 5 };

// What the Start button's search reads of a window besides its class. A
// window that is gone reads as all zero.
struct WindowFacts {
  bool visible = false;             // its own visible style; a child's parent is looked at apart
  core::PixelRect rect{};           // on the screen
  bool owner_drawn_button = false;  // a button the shell draws itself
  bool topmost = false;             // among the topmost windows
  // The bounding box of a top-level window's window region, from the
  // window's top left corner; none where it has no region. A child's is
  // never read.
  std::optional<core::PixelRect> region{};
};

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
  // Asks the window's thread to show or hide it, and does not wait for it.
  virtual void show_window(WindowHandle window, ShowCommand command) = 0;
  // One trip to the window server: the program asks it of each window it
  // lays the caption over, and of their taskbars, on every tick.
  virtual WindowFacts facts(WindowHandle window) = 0;
  // The rectangle of the monitor that holds most of `rect`, or of the one
  // nearest to it.
  virtual core::PixelRect monitor_of(const core::PixelRect& rect) = 0;
  // The thread that made the window; 0 when it is gone.
  virtual std::uint32_t thread_of(WindowHandle window) = 0;
};

// Window events of the shell between the ticks. On Windows they are
// out-of-context WinEvents: the system queues them for the thread that
// asked, which hears them while it waits for messages.
class ShellWatch {
 public:
  using Listener = std::function<void(const core::WindowEvent&)>;

  virtual ~ShellWatch() = default;
  virtual std::uint32_t own_process() = 0;
  // The process that made the window; 0 when it is gone.
  virtual std::uint32_t process_of(WindowHandle window) = 0;
  // From now on the listener hears, on this thread, of each change of the
  // foreground window in any process, of each window of `process` shown,
  // hidden, destroyed, moved or moved in the z-order, and of each window of
  // the program's own shown, hidden or moved. Other events need not reach
  // it. What an earlier call asked for ends. False where the system
  // refused: then nothing comes.
  virtual bool watch(std::uint32_t process, Listener listener) = 0;
  // Nothing comes any more.
  virtual void stop() = 0;
};

// The program's own windows that show the caption over Start buttons that
// paint no text.
class StartOverlays {
 public:
  virtual ~StartOverlays() = default;
  // One overlay for each placement, in order, each showing the caption; any
  // overlay beyond them hides. What has not changed since the last call is
  // neither moved nor drawn again.
  virtual void show(const std::vector<core::OverlayPlacement>& placements, std::u16string_view caption) = 0;
  // Puts each overlay that shows back directly above the window its last
  // placement named, as show() does, where another window has come
  // between; nothing else is read or changed.
  virtual void restack() = 0;
  // Counts the changes seen so far of the display (its monitors, their
  // sizes and places), of a DPI, of the system's settings and of the theme:
  // while it stays the same, the monitors' rectangles need not be read
  // again, and no button moved for any of them.
  virtual std::uint32_t display_changes() const = 0;
};

// The notification area.
class Tray {
 public:
  virtual ~Tray() = default;
  // The record layout of this process's pointer size.
  virtual const core::TrayRecordLayout& layout() const = 0;
  virtual bool notify(core::TrayCommand command, const core::TrayRecordBytes& record) = 0;
};

// The icon's record in the tray's layout, its tip in the code page.
inline core::TrayRecordBytes tray_record(const core::TrayIcon& icon, const AnsiCodePage& code_page,
                                         const core::TrayRecordLayout& layout) {
  return icon.to_ansi(code_page.encode(icon.tip()), layout);
}

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
// handlers may run before show() returns. A box given no title is titled
// with the program's name (box_title).
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void show(std::u16string_view prompt, MessageBoxStyle style, std::u16string_view title) = 0;
};

inline std::u16string_view box_title(std::u16string_view title) { return title.empty() ? core::kProductName : title; }

// The common controls library, set up before the first window exists.
inline constexpr std::uint32_t kIccUserExClasses = 0x200;

class CommonControls {
 public:
  virtual ~CommonControls() = default;
  // InitCommonControlsEx with an 8-byte record and the given classes. False
  // when the library or its entry point could not be reached.
  virtual bool initialize(std::uint32_t classes) = 0;
};

// Drawing one line of text on a window's device context, the GDI way.
enum class DrawTextFormat : std::uint32_t { Draw = 0, CalcRect = 0x400 };

class TextDrawing {
 public:
  using DeviceContext = std::uintptr_t;
  using Brush = std::uintptr_t;

  virtual ~TextDrawing() = default;
  // OLE colour (RGB, or a system colour with the high bit set) to RGB, with
  // no palette. 0 when the translation fails.
  virtual std::uint32_t translate_color(std::uint32_t ole_color) = 0;
  // The system's button-face colour: the forms' own background.
  virtual std::uint32_t button_face_color() = 0;
  virtual Brush create_solid_brush(std::uint32_t color) = 0;
  virtual void delete_brush(Brush brush) = 0;
  virtual void set_text_color(DeviceContext dc, std::uint32_t color) = 0;
  virtual void fill_rect(DeviceContext dc, const core::PixelRect& rect, Brush brush) = 0;
  virtual void set_text_character_extra(DeviceContext dc, std::int32_t extra) = 0;
  // DrawTextA of the first `length` bytes. CalcRect only measures: it keeps
  // left and top and sets right and bottom to the extent of the text.
  virtual void draw_text(DeviceContext dc, const std::string& ansi_text, std::int32_t length, core::PixelRect& rect,
                         DrawTextFormat format) = 0;
};

// How many bytes of the text a draw_text call may touch: never past its end,
// and none for a negative length (which DrawTextA would take as "up to the
// NUL" and read on past a text that has none).
inline std::int32_t drawable_length(const std::string& ansi_text, std::int32_t length) {
  if (length <= 0) return 0;
  return ansi_text.size() < static_cast<std::size_t>(length) ? static_cast<std::int32_t>(ansi_text.size()) : length;
}

// The system's millisecond clock; it wraps every 49.7 days.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t milliseconds() = 0;
};

// Hands an address (a web page, a mailto: link) to the shell, which opens
// it with the user's program for it. The program reports nothing when none
// does; the shell may say so itself, in a box owned by `owner`.
class Links {
 public:
  virtual ~Links() = default;
  // ShellExecuteA with its arguments as given: no operation is the target's
  // default verb, no parameters none.
  virtual void open(WindowHandle owner, const std::optional<std::string>& ansi_operation,
                    const std::string& ansi_target, const std::optional<std::string>& ansi_parameters,
                    const std::string& ansi_folder, ShowCommand show) = 0;
};

}  // namespace talvorin::platform
