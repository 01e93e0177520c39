// The registry: values read, written and deleted as the scenarios need.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <utility>

#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {

namespace {

struct KeyPath {
  HKEY root;
  std::wstring path;
};

// A string value as stored, or why there is none.
struct StoredText {
  std::optional<std::wstring> text;
  std::wstring why;
};

}  // namespace

static std::optional<KeyPath> split_key(const std::wstring& full) {
  const auto slash = full.find(L'\\');
  const std::wstring root = full.substr(0, slash);
  const std::wstring rest = slash == std::wstring::npos ? L"" : full.substr(slash + 1);
  if (root == L"HKCU") return KeyPath{HKEY_CURRENT_USER, rest};
  if (root == L"HKLM") return KeyPath{HKEY_LOCAL_MACHINE, rest};
  return std::nullopt;
}

static StoredText read_text(const std::wstring& key_name, const std::wstring& value_name) {
  const auto key = split_key(key_name);
  if (!key) return {std::nullopt, L"bad key"};
  DWORD type = 0;
  DWORD size = 0;
  if (::RegGetValueW(key->root, key->path.c_str(), value_name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS) {
    return {std::nullopt, L"absent"};
  }
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  ::RegGetValueW(key->root, key->path.c_str(), value_name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(),
                 &size);
  if (type != REG_SZ) return {std::nullopt, L"type " + std::to_wstring(type)};
  data.resize(std::wcslen(data.c_str()));
  return {std::move(data), {}};
}

int cmd_reg_get(Args args) {
  if (args.size() < 2) return kUsage;
  const StoredText stored = read_text(args[0], args[1]);
  print(stored.text ? L"value " + *stored.text : stored.why);
  return stored.text ? kOk : kMismatch;
}

// For values too long to print: "length N fnv HHHHHHHH" (FNV-1a over the
// UTF-16 code units).
int cmd_reg_summary(Args args) {
  if (args.size() < 2) return kUsage;
  const StoredText stored = read_text(args[0], args[1]);
  if (!stored.text) {
    print(stored.why);
    return kMismatch;
  }
  std::uint32_t hash = 2166136261U;
  for (const wchar_t c : *stored.text) hash = (hash ^ static_cast<std::uint16_t>(c)) * 16777619U;
  wchar_t hex[9] = {};
  std::swprintf(hex, 9, L"%08X", static_cast<unsigned>(hash));
  print(L"length " + std::to_wstring(stored.text->size()) + L" fnv " + hex);
  return kOk;
}

static bool write_text(const std::wstring& key_name, const std::wstring& value_name, const std::wstring& text) {
  const auto key = split_key(key_name);
  if (!key) return false;
  HKEY raw = nullptr;
  if (::RegCreateKeyExW(key->root, key->path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  e2e::unique_hkey opened(raw);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(opened.get(), value_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

int cmd_reg_set(Args args) {
  if (args.size() < 3) return kUsage;
  return write_text(args[0], args[1], args[2]) ? kOk : missing(args[0]);
}

// reg-set-repeated KEY NAME UNIT LENGTH: UNIT over and over, cut at LENGTH
// UTF-16 code units; for texts longer than a command line.
int cmd_reg_set_repeated(Args args) {
  if (args.size() < 4 || args[2].empty()) return kUsage;
  const auto length = static_cast<std::size_t>(parse_long(args[3]));
  std::wstring text;
  text.reserve(length + args[2].size());
  while (text.size() < length) text += args[2];
  text.resize(length);
  return write_text(args[0], args[1], text) ? kOk : missing(args[0]);
}

int cmd_reg_make_key(Args args) {
  if (args.empty()) return kUsage;
  const auto key = split_key(args[0]);
  if (!key) return kUsage;
  HKEY raw = nullptr;
  if (::RegCreateKeyExW(key->root, key->path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return missing(args[0]);
  }
  e2e::unique_hkey opened(raw);
  return kOk;
}

// With a value name: deletes that value; without: the key and all below it.
int cmd_reg_delete(Args args) {
  if (args.empty()) return kUsage;
  const auto key = split_key(args[0]);
  if (!key) return kUsage;
  if (args.size() >= 2) {
    ::RegDeleteKeyValueW(key->root, key->path.c_str(), args[1].c_str());
  } else {
    ::RegDeleteTreeW(key->root, key->path.c_str());
    ::RegDeleteKeyW(key->root, key->path.c_str());
  }
  return kOk;
}

}  // namespace tdriver
