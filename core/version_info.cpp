#include "core/version_info.h"

#include <string_view>

namespace talvorin::core {

namespace {

constexpr std::u16string_view kVersionKey = u"VS_VERSION_INFO";
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
// VS_FIXEDFILEINFO: signature, structure version, then the file version's
// high double word (major << 16 | minor).
constexpr std::size_t kFixedSize = 52;
constexpr std::size_t kFileVersionHigh = 8;
// wLength, wValueLength, wType.
constexpr std::size_t kHeaderSize = 6;

std::uint16_t word_at(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t double_word_at(std::span<const std::uint8_t> bytes, std::size_t at) {
  return word_at(bytes, at) | (static_cast<std::uint32_t>(word_at(bytes, at + 2)) << 16);
}

}  // namespace

std::optional<FileVersion> file_version_of(std::span<const std::uint8_t> block) {
  if (block.size() < kHeaderSize) return std::nullopt;
  // The block's own length bounds everything read from it.
  const std::size_t length = word_at(block, 0);
  if (length < kHeaderSize || length > block.size()) return std::nullopt;
  block = block.first(length);
  if (word_at(block, 2) < kFixedSize) return std::nullopt;

  std::size_t at = kHeaderSize;
  for (const char16_t expected : kVersionKey) {
    if (at + 2 > block.size() || word_at(block, at) != expected) return std::nullopt;
    at += 2;
  }
  if (at + 2 > block.size() || word_at(block, at) != 0) return std::nullopt;
  at += 2;
  at = (at + 3) & ~std::size_t{3};  // the value starts on a 32-bit boundary

  if (at + kFixedSize > block.size() || double_word_at(block, at) != kFixedSignature) return std::nullopt;
  const std::uint32_t high = double_word_at(block, at + kFileVersionHigh);
  return FileVersion{static_cast<int>(high >> 16), static_cast<int>(high & 0xFFFF)};
}

}  // namespace talvorin::core
