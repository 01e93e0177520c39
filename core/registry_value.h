#pragma once
// How a string value lies in the registry. Other programs (and people with
// regedit) store such values in any shape: without the terminating NUL, with
// an odd byte count, with NULs inside. The program reads them all one way,
// whether the registry is the real one or the simulated one.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvorin::core {

// The value types the program meets, numbered as Windows numbers them.
enum class RegistryValueType : std::uint32_t { String = 1, ExpandString = 2, Binary = 3, Dword = 4 };

// The stored bytes of a string value as UTF-16 text: little-endian units, an
// odd last byte dropped, and one terminating NUL, where the writer stored
// one, not part of the text. NULs before it stay.
std::u16string registry_string_from_bytes(std::span<const std::uint8_t> bytes);

// What writing a string value stores: the text's units, little-endian, and
// its terminating NUL.
std::vector<std::uint8_t> registry_string_bytes(std::u16string_view text);

}  // namespace talvorin::core
