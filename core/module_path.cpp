#include "core/module_path.h"

namespace talvorin::core {

std::u16string folder_of(std::u16string_view module_path) {
  const std::size_t slash = module_path.find_last_of(u'\\');
  if (slash == std::u16string_view::npos) return {};
  const std::u16string_view folder = module_path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == u':') return std::u16string(module_path.substr(0, slash + 1));
  return std::u16string(folder);
}

std::u16string base_name_of(std::u16string_view module_path) {
  const std::size_t slash = module_path.find_last_of(u'\\');
  std::u16string_view name = slash == std::u16string_view::npos ? module_path : module_path.substr(slash + 1);
  const std::size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string_view::npos) name = name.substr(0, dot);
  return std::u16string(name);
}

}  // namespace talvorin::core
