#include "core/autorun.h"

namespace talvorin::core {

std::vector<AutorunMove> enable_autorun_moves() {
  return {{RegistryRoot::CurrentUser, kParkingKey, kRunKey, /*create_missing_target=*/true}};
}

std::vector<AutorunMove> disable_autorun_moves() {
  return {
      {RegistryRoot::LocalMachine, kRunKey, kParkingKey, /*create_missing_target=*/false},
      {RegistryRoot::CurrentUser, kRunKey, kParkingKey, /*create_missing_target=*/true},
  };
}

std::u16string executable_path(std::u16string_view folder, std::u16string_view base_name) {
  std::u16string path(folder);
  path += u'\\';
  path += base_name;
  path += u".exe";
  return path;
}

std::u16string autorun_command(std::u16string_view path) {
  if (path.find_first_of(u" \t") == std::u16string_view::npos) return std::u16string(path);
  std::u16string quoted;
  quoted.reserve(path.size() + 2);
  quoted += u'"';
  quoted += path;
  quoted += u'"';
  return quoted;
}

}  // namespace talvorin::core
