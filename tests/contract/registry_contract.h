#pragma once
// The cases every Registry adapter passes: the Win32 one against Wine's
// registry, the simulated one on the host. A rule that only one of them kept
// would let the handler scenarios pass for a reason the exe does not share.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/registry_value.h"
#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

// What a case needs besides the port: a way around it, to lay values as
// another program would and to look at what the port stored.
class RegistryUnderTest {
 public:
  virtual ~RegistryUnderTest() = default;
  virtual platform::Registry& registry() = 0;
  // Under HKEY_CURRENT_USER, creating the key.
  virtual void put_raw(std::u16string_view path, std::u16string_view name, core::RegistryValueType type,
                       const std::vector<std::uint8_t>& bytes) = 0;
  virtual std::optional<core::RegistryValueType> stored_type(std::u16string_view path, std::u16string_view name) = 0;
  virtual std::size_t stored_size(std::u16string_view path, std::u16string_view name) = 0;
  virtual void remove_tree(std::u16string_view path) = 0;
};

inline constexpr std::u16string_view kContractRoot = u"Software\\Talvorin tests";
inline constexpr std::u16string_view kContractKey = u"Software\\Talvorin tests\\adapters";

inline std::vector<std::uint8_t> bytes_of(std::u16string_view units, std::size_t size) {
  std::vector<std::uint8_t> bytes = core::registry_string_bytes(units);
  bytes.resize(size);
  return bytes;
}

// String values read back as stored, whatever their shape.
inline void registry_reads(RegistryUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  using testing::show;
  using Type = core::RegistryValueType;
  under_test.remove_tree(kContractRoot);
  const std::u16string long_value(100000, u'x');
  struct Row {
    std::u16string_view name;
    Type type;
    std::vector<std::uint8_t> bytes;
    std::optional<std::u16string> expected;
  };
  const Row rows[] = {
      {u"plain", Type::String, bytes_of(u"abc", 8), u"abc"},
      {u"no terminator", Type::String, bytes_of(u"abc", 6), u"abc"},
      {u"odd count", Type::String, bytes_of(u"abc", 5), u"ab"},
      {u"empty", Type::String, bytes_of(u"", 2), u""},
      {u"no bytes", Type::String, {}, u""},
      {u"inner NUL", Type::String, bytes_of(std::u16string_view(u"a\0b", 3), 8), std::u16string(u"a\0b", 3)},
      {u"expandable", Type::ExpandString, bytes_of(u"%PATH%", 14), u"%PATH%"},
      {u"number", Type::Dword, {5, 0, 0, 0}, std::nullopt},
      {u"binary", Type::Binary, {'a', 'b'}, std::nullopt},
      {u"long", Type::String, core::registry_string_bytes(long_value), long_value},
  };
  for (const Row& row : rows) under_test.put_raw(kContractKey, row.name, row.type, row.bytes);

  platform::Registry& registry = under_test.registry();
  {
    const platform::RegistryKey key(registry, registry.open_for_read(core::RegistryRoot::CurrentUser, kContractKey));
    check(static_cast<bool>(key), "opened for reading");
    for (const Row& row : rows) {
      const auto value = registry.read_string(key.get(), row.name);
      check_equal(value.has_value(), row.expected.has_value(), "present: " + show(row.name));
      if (value && row.expected) check_equal(show(*value), show(*row.expected), "value of " + show(row.name));
    }
    check(!registry.read_string(key.get(), u"missing"), "a missing value reads as absent");
    check_equal(show(registry.read_string(key.get(), u"PLAIN").value_or(u"?")), show(u"abc"),
                "value names in any case");
  }
  under_test.remove_tree(kContractRoot);
}

// Writes, deletes, access and the null key.
inline void registry_writes(RegistryUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  using testing::show;
  under_test.remove_tree(kContractRoot);
  platform::Registry& registry = under_test.registry();
  const auto root = core::RegistryRoot::CurrentUser;

  check_equal(static_cast<long long>(registry.open_for_write(root, kContractKey)), 0LL, "a missing key is not opened");
  check_equal(static_cast<long long>(registry.open_for_read(root, kContractKey)), 0LL, "nor created by trying");

  const std::u16string text(100000, u'\u0416');
  {
    const platform::RegistryKey created(registry, registry.create(root, kContractKey));
    check(static_cast<bool>(created), "created with its parents");
    check(registry.write_string(created.get(), u"Text", text), "written");
    check(registry.write_string(created.get(), u"Gone", u"x"), "written");
    check(registry.delete_value(created.get(), u"Gone"), "deleted");
    check(!registry.delete_value(created.get(), u"Gone"), "a second delete finds nothing");
  }
  check(under_test.stored_type(kContractKey, u"Text") == core::RegistryValueType::String, "stored as REG_SZ");
  check_equal(under_test.stored_size(kContractKey, u"Text"), std::size_t{200002}, "the text and its NUL");
  {
    const platform::RegistryKey reading(registry, registry.open_for_read(root, kContractKey));
    check(!registry.write_string(reading.get(), u"Text", u"y"), "a key opened for reading refuses writes");
    check(!registry.delete_value(reading.get(), u"Text"), "and deletes");
    check_equal(show(registry.read_string(reading.get(), u"Text").value_or(u"?")), show(text), "read back whole");
  }
  {
    const platform::RegistryKey writing(registry, registry.open_for_write(root, kContractKey));
    check(static_cast<bool>(writing), "an existing key opens for writing");
    check(registry.write_string(writing.get(), u"TEXT", u"short"), "a value rewritten under another case");
    check_equal(under_test.stored_size(kContractKey, u"Text"), std::size_t{12}, "one value, now short");
    check(registry.delete_value(writing.get(), u"Text"), "deleted through a key opened for writing");
  }
  check(!under_test.stored_type(kContractKey, u"Text"), "gone");
  {
    const platform::RegistryKey again(registry, registry.create(root, kContractKey));
    check(static_cast<bool>(again), "creating an existing key opens it");
  }
  check(!registry.read_string(0, u"Text"), "nothing read through key 0");
  check(!registry.write_string(0, u"Text", u"x"), "nothing written through key 0");
  check(!registry.delete_value(0, u"Text"), "nothing deleted through key 0");
  registry.close(0);
  under_test.remove_tree(kContractRoot);
}

}  // namespace talvorin::contract
