#pragma once
// The fixed part of a version resource (VS_VERSIONINFO), read from its
// bytes as they lie in the executable: the program reads its own version
// without the version library, which is no KnownDLL and so could be planted
// beside the exe.

#include <cstdint>
#include <optional>
#include <span>

namespace talvorin::core {

struct FileVersion {
  int major = 0;
  int minor = 0;
  bool operator==(const FileVersion&) const = default;
};

// The file version's major and minor numbers, or nothing for a block that
// is cut short, is not a version block or has no fixed part.
std::optional<FileVersion> file_version_of(std::span<const std::uint8_t> block);

}  // namespace talvorin::core
