#include "platform/settings_store.h"

namespace talvorin::platform {

std::u16string settings_key_path(std::u16string_view application, std::u16string_view section) {
  std::u16string path(kSettingsRoot);
  path += u'\\';
  path += application;
  path += u'\\';
  path += section;
  return path;
}

std::u16string SettingsStore::get(std::u16string_view application, std::u16string_view section, std::u16string_view key,
                                  std::u16string_view fallback) {
  const RegistryKey handle(
      registry_, registry_.open_for_read(core::RegistryRoot::CurrentUser, settings_key_path(application, section)));
  if (handle) {
    if (auto text = registry_.read_string(handle.get(), key)) return *std::move(text);
  }
  return std::u16string(fallback);
}

bool SettingsStore::save(std::u16string_view application, std::u16string_view section, std::u16string_view key,
                         std::u16string_view text) {
  const RegistryKey handle(registry_,
                           registry_.create(core::RegistryRoot::CurrentUser, settings_key_path(application, section)));
  return handle && registry_.write_string(handle.get(), key, text);
}

}  // namespace talvorin::platform
