#pragma once
// The tray icon record kept by the settings window, and the ANSI form the
// shell is handed for each call: 88 bytes in a 32-bit process, 104 in a
// 64-bit one, where the two handles are 8 bytes wide and aligned.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvorin::core {

inline constexpr std::size_t kTrayTipLength = 64;
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayCallbackMessage = 0x200;  // arrives as a mouse move

enum TrayFlags : std::uint32_t {
  kTrayFlagMessage = 1,
  kTrayFlagIcon = 2,
  kTrayFlagTip = 4,
};

// The program itself only adds and deletes; the tray's contract also holds
// the simulated shell to Windows' answer to a change of an icon.
enum class TrayCommand : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

// Where each field of the first-version ANSI record lies in one kind of
// process. The shell takes the record in the layout of the caller's own
// pointer size.
struct TrayRecordLayout {
  std::uint32_t size;
  std::size_t handle_width;
  std::size_t hwnd;
  std::size_t id;
  std::size_t flags;
  std::size_t callback_message;
  std::size_t icon;
  std::size_t tip;
};

inline constexpr TrayRecordLayout kTrayLayout32{88, 4, 4, 8, 12, 16, 20, 24};
inline constexpr TrayRecordLayout kTrayLayout64{104, 8, 8, 16, 20, 24, 32, 40};

// The record's bytes in one layout; room for the larger of the two.
class TrayRecordBytes {
 public:
  static constexpr std::size_t kCapacity = kTrayLayout64.size;

  explicit TrayRecordBytes(std::size_t size) : size_(size) {}

  std::uint8_t* data() { return bytes_.data(); }
  const std::uint8_t* data() const { return bytes_.data(); }
  std::size_t size() const { return size_; }
  std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
  std::uint8_t& operator[](std::size_t i) { return bytes_[i]; }
  const std::uint8_t* begin() const { return bytes_.data(); }
  const std::uint8_t* end() const { return bytes_.data() + size_; }

  // Little-endian field of width bytes at offset.
  std::uint64_t field(std::size_t offset, std::size_t width) const;

  friend bool operator==(const TrayRecordBytes& a, const TrayRecordBytes& b) {
    return a.size_ == b.size_ && std::equal(a.begin(), a.end(), b.begin());
  }

 private:
  std::array<std::uint8_t, kCapacity> bytes_{};
  std::size_t size_;
};

struct TrayIcon {
  std::uint64_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uint64_t hIcon = 0;
  std::array<char16_t, kTrayTipLength> szTip{};

  // The text, one NUL, then blanks; a text of 64 characters or more is cut
  // to 64 and keeps no NUL, as the record has always been filled.
  void set_tip(std::u16string_view text);

  // Everything an add needs; the owner and the picture are read by the caller
  // right before the call.
  void fill_for_add(std::uint64_t owner, std::uint64_t icon, std::u16string_view tip);
  // A delete needs only the owner and the id; the rest stays.
  void fill_for_delete(std::uint64_t owner);

  // The whole tip field, NUL and blanks included.
  std::u16string_view tip() const { return {szTip.data(), szTip.size()}; }
  // The record with the tip as the code page gave it back; a double-byte
  // code page can make it longer than its field, which keeps what fits.
  // The size field always holds the layout's own size.
  TrayRecordBytes to_ansi(std::string_view ansi_tip, const TrayRecordLayout& layout) const;
};

// Whether the shell holds the icon, as far as its answers tell, and whether
// an add is still owed. At log-on the program often starts before Explorer
// answers, and Shell_NotifyIcon gives up after a few seconds: a hidden
// program whose add was refused has no other way to the user, so the add is
// asked for again until the shell takes it. A refusal while the icon is
// known to be there is the shell declining a second add of the same icon,
// and owes nothing.
class TrayPresence {
 public:
  // The shell's answer to an add with this tip.
  void add_answered(bool accepted, std::u16string_view tip);
  // An owed add was refused again, and a modify of the icon was asked: a
  // shell that took an earlier add after the call had stopped waiting for
  // it takes the modify, and holds the icon already.
  void modify_answered(bool accepted);
  // The program deleted the icon.
  void deleted();
  // A new taskbar holds none of the old one's icons.
  void shell_restarted() { shown_ = false; }
  // The tip of the add still owed.
  const std::optional<std::u16string>& owed() const { return owed_; }

 private:
  bool shown_ = false;
  std::optional<std::u16string> owed_;
};

}  // namespace talvorin::core
