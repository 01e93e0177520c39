#include "core/tray_record.h"

#include <algorithm>
#include <string>

namespace talvorin::core {

namespace {

void put(TrayRecordBytes& bytes, std::size_t offset, std::size_t width, std::uint64_t value) {
  for (std::size_t i = 0; i < width; ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

}  // namespace

std::uint64_t TrayRecordBytes::field(std::size_t offset, std::size_t width) const {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width && offset + i < size_; ++i) {
    value |= static_cast<std::uint64_t>(bytes_[offset + i]) << (8 * i);
  }
  return value;
}

void TrayIcon::set_tip(std::u16string_view text) {
  szTip.fill(u' ');
  const std::size_t n = std::min(text.size(), kTrayTipLength);
  std::copy_n(text.begin(), n, szTip.begin());
  if (n < kTrayTipLength) szTip[n] = u'\0';
}

void TrayIcon::fill_for_add(std::uint64_t owner, std::uint64_t icon, std::u16string_view tip) {
  hWnd = owner;
  uID = kTrayIconId;
  uFlags = kTrayFlagMessage | kTrayFlagIcon | kTrayFlagTip;
  uCallbackMessage = kTrayCallbackMessage;
  hIcon = icon;
  set_tip(tip);
}

void TrayIcon::fill_for_delete(std::uint64_t owner) {
  hWnd = owner;
  uID = kTrayIconId;
}

TrayRecordBytes TrayIcon::to_ansi(std::string_view ansi_tip, const TrayRecordLayout& layout) const {
  TrayRecordBytes bytes(layout.size);
  put(bytes, 0, 4, layout.size);
  put(bytes, layout.hwnd, layout.handle_width, hWnd);
  put(bytes, layout.id, 4, uID);
  put(bytes, layout.flags, 4, uFlags);
  put(bytes, layout.callback_message, 4, uCallbackMessage);
  put(bytes, layout.icon, layout.handle_width, hIcon);
  const std::size_t n = std::min(ansi_tip.size(), kTrayTipLength);
  std::copy_n(ansi_tip.begin(), n, bytes.data() + layout.tip);
  return bytes;
}

void TrayPresence::add_answered(bool accepted, std::u16string_view tip) {
  if (accepted) {
    shown_ = true;
    owed_.reset();
  } else if (!shown_) {
    owed_ = std::u16string(tip);
  }
}

void TrayPresence::modify_answered(bool accepted) {
  if (!accepted) return;
  shown_ = true;
  owed_.reset();
}

void TrayPresence::deleted() {
  shown_ = false;
  owed_.reset();
}

}  // namespace talvorin::core
