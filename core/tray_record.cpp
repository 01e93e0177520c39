#include "core/tray_record.h"

#include <algorithm>
#include <string>

namespace talvorin::core {

namespace {

void put_u32(TrayRecordBytes& bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

constexpr std::size_t kTipOffset = 24;

}  // namespace

void TrayIcon::set_tip(std::u16string_view text) {
  szTip.fill(u' ');
  const std::size_t n = std::min(text.size(), kTrayTipLength);
  std::copy_n(text.begin(), n, szTip.begin());
  if (n < kTrayTipLength) szTip[n] = u'\0';
}

void TrayIcon::fill_for_add(std::uint32_t owner, std::uint32_t icon, std::u16string_view tip) {
  cbSize = kTrayRecordSize;
  hWnd = owner;
  uID = kTrayIconId;
  uFlags = kTrayFlagMessage | kTrayFlagIcon | kTrayFlagTip;
  uCallbackMessage = kTrayCallbackMessage;
  hIcon = icon;
  set_tip(tip);
}

void TrayIcon::fill_for_delete(std::uint32_t owner) {
  cbSize = kTrayRecordSize;
  hWnd = owner;
  uID = kTrayIconId;
}

TrayRecordBytes TrayIcon::to_ansi(const AnsiCodePage& code_page) const {
  TrayRecordBytes bytes{};
  put_u32(bytes, 0, cbSize);
  put_u32(bytes, 4, hWnd);
  put_u32(bytes, 8, uID);
  put_u32(bytes, 12, uFlags);
  put_u32(bytes, 16, uCallbackMessage);
  put_u32(bytes, 20, hIcon);
  // A double-byte code page can make the tip longer than its field: the
  // field keeps what fits.
  const std::string tip = code_page.encode(std::u16string_view(szTip.data(), szTip.size()));
  const std::size_t n = std::min(tip.size(), kTrayTipLength);
  std::copy_n(tip.begin(), n, bytes.begin() + kTipOffset);
  return bytes;
}

}  // namespace talvorin::core
