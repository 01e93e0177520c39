#include "platform/autorun_registry.h"

#include <vector>

namespace talvorin::platform {

namespace {

// A key that cannot be opened, whether missing or denied, leaves its step
// without effect and the next step runs; only a value that was written is
// taken out of the key it leaves.
void run_moves(Registry& registry, const std::vector<core::AutorunMove>& moves, std::u16string_view path,
               std::u16string_view value_name) {
  const std::u16string command = core::autorun_command(path);
  for (const core::AutorunMove& move : moves) {
    bool written = false;
    {
      const RegistryKey to(registry, move.create_missing_target ? registry.create(move.root, move.write_to)
                                                                : registry.open_for_write(move.root, move.write_to));
      written = registry.write_string(to.get(), value_name, command);
    }
    if (!written) continue;
    const RegistryKey from(registry, registry.open_for_write(move.root, move.delete_from));
    registry.delete_value(from.get(), value_name);
  }
}

}  // namespace

void EnableAutorun(Registry& registry, std::u16string_view path, std::u16string_view value_name) {
  run_moves(registry, core::enable_autorun_moves(), path, value_name);
}

void DisableAutorun(Registry& registry, std::u16string_view path, std::u16string_view value_name) {
  run_moves(registry, core::disable_autorun_moves(), path, value_name);
}

}  // namespace talvorin::platform
