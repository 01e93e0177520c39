#pragma once
// Where the autostart value goes: it is moved between the Run key, whose
// values Windows starts at log-on, and a parking key of the same path with a
// trailing hyphen, which Windows ignores.

#include <string>
#include <string_view>
#include <vector>

namespace talvorin::core {

enum class RegistryRoot { CurrentUser, LocalMachine };

inline constexpr std::u16string_view kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::u16string_view kParkingKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run-";

// Write the value into one key, then delete it from the other: a value that
// could not be written stays where it was, so no move loses it. A trimmed
// profile may lack the user's key, which the program may make; the machine's
// keys are never made, nor written where the user may not.
struct AutorunMove {
  RegistryRoot root;
  std::u16string_view delete_from;
  std::u16string_view write_to;
  bool create_missing_target;
};

std::vector<AutorunMove> enable_autorun_moves();
// The machine-wide keys as always, and the current user's too: that is where
// enabling put the value, and an ordinary user cannot write the machine's.
std::vector<AutorunMove> disable_autorun_moves();

// Folder, a backslash, the executable's base name and ".exe", joined as they
// are: a drive root gives two backslashes in a row.
std::u16string executable_path(std::u16string_view folder, std::u16string_view base_name);

// The data of the Run value: a path with a blank is quoted, so that Windows
// cannot take its first word for the program to start.
std::u16string autorun_command(std::u16string_view path);

}  // namespace talvorin::core
