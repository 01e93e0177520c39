#pragma once
// The running executable's folder and name, as the program reports them,
// taken from its full module path.

#include <string>
#include <string_view>

namespace talvorin::core {

// The folder without its trailing backslash, except for a drive root,
// which keeps it ("C:\"). A path with no backslash has no folder.
std::u16string folder_of(std::u16string_view module_path);

// The file name without its extension.
std::u16string base_name_of(std::u16string_view module_path);

}  // namespace talvorin::core
