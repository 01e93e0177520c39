#include <windows.h>

#include <algorithm>
#include <span>
#include <vector>

#include "core/registry_value.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide.h"

namespace talvorin::platform::win32 {

namespace {

HKEY root_key(core::RegistryRoot root) {
  switch (root) {
    case core::RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case core::RegistryRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
  }
  return nullptr;
}

HKEY as_hkey(Registry::Key key) { return reinterpret_cast<HKEY>(key); }
Registry::Key as_key(HKEY key) { return reinterpret_cast<Registry::Key>(key); }

Registry::Key open_existing(core::RegistryRoot root, std::u16string_view path, REGSAM access) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root_key(root), to_wide(path).c_str(), 0, access, &key) != ERROR_SUCCESS) return 0;
  return as_key(key);
}

}  // namespace

Registry::Key Registry::open_for_write(core::RegistryRoot root, std::u16string_view path) {
  return open_existing(root, path, KEY_WRITE);
}

Registry::Key Registry::create(core::RegistryRoot root, std::u16string_view path) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(root_key(root), to_wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return 0;
  }
  return as_key(key);
}

Registry::Key Registry::open_for_read(core::RegistryRoot root, std::u16string_view path) {
  return open_existing(root, path, KEY_READ);
}

void Registry::close(Key key) {
  if (key != 0) ::RegCloseKey(as_hkey(key));
}

std::optional<std::u16string> Registry::read_string(Key key, std::u16string_view name) {
  if (key == 0) return std::nullopt;
  const std::wstring value_name = to_wide(name);
  std::vector<BYTE> bytes(256);
  // Another writer may grow the value between two calls: ask again until it fits.
  for (;;) {
    DWORD type = REG_NONE;
    auto size = static_cast<DWORD>(bytes.size());
    const LONG result = ::RegQueryValueExW(as_hkey(key), value_name.c_str(), nullptr, &type, bytes.data(), &size);
    if (result == ERROR_MORE_DATA) {
      bytes.resize(std::max<std::size_t>(size, bytes.size() * 2));
      continue;
    }
    if (result != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    return core::registry_string_from_bytes(std::span(bytes).first(size));
  }
}

bool Registry::write_string(Key key, std::u16string_view name, std::u16string_view text) {
  if (key == 0) return false;
  const std::vector<std::uint8_t> data = core::registry_string_bytes(text);
  return ::RegSetValueExW(as_hkey(key), to_wide(name).c_str(), 0, REG_SZ, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool Registry::delete_value(Key key, std::u16string_view name) {
  if (key == 0) return false;
  return ::RegDeleteValueW(as_hkey(key), to_wide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace talvorin::platform::win32
