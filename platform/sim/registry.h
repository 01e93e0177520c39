#pragma once
// A simulated registry: two roots of keys holding typed values, keys that
// must exist to be opened, roots that may refuse writing, and a log of what
// the program changed. The program keeps one key open at a time: opening a
// key while another is still open throws std::logic_error, so a test sees it.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/registry_value.h"
#include "platform/ports.h"
#include "platform/sim/journal.h"

namespace talvorin::sim {

using core::RegistryRoot;

using ValueType = core::RegistryValueType;

// A value as it lies in a key: its type and its bytes, whatever their shape.
struct StoredValue {
  ValueType type;
  std::vector<std::uint8_t> bytes;
};

class Registry final : public platform::Registry {
 public:
  // Set-up and inspection for tests; these ignore access rights.
  void add_key(RegistryRoot root, std::u16string_view path);
  void put(RegistryRoot root, std::u16string_view path, std::u16string_view name, std::u16string_view data,
           ValueType type = ValueType::String);
  // Stores bytes as another program might have: no NUL, an odd count, any type.
  void put_raw(RegistryRoot root, std::u16string_view path, std::u16string_view name, ValueType type,
               std::vector<std::uint8_t> bytes);
  // The key, its subkeys and their values go.
  void remove_tree(RegistryRoot root, std::u16string_view path);
  bool has_key(RegistryRoot root, std::u16string_view path) const;
  std::optional<StoredValue> stored(RegistryRoot root, std::u16string_view path, std::u16string_view name) const;
  std::optional<std::u16string> get(RegistryRoot root, std::u16string_view path, std::u16string_view name) const;
  void deny_writes(RegistryRoot root) { read_only_.insert(root); }
  std::size_t open_keys() const { return handles_.size(); }
  // Each change the program made: "set HKCU\path\name=data" or "delete HKLM\path\name".
  const std::vector<std::u16string>& changes() const { return changes_; }
  // Journals the opens and closes too ("open HKLM\path", "close HKLM\path"),
  // besides the changes. A failed open is journalled as "open ... failed".
  void attach(Journal& journal, bool with_opens = false) {
    journal_ = &journal;
    journal_opens_ = with_opens;
  }

  Key open_for_write(RegistryRoot root, std::u16string_view path) override;
  Key create(RegistryRoot root, std::u16string_view path) override;
  Key open_for_read(RegistryRoot root, std::u16string_view path) override;
  void close(Key key) override;
  std::optional<std::u16string> read_string(Key key, std::u16string_view name) override;
  bool write_string(Key key, std::u16string_view name, std::u16string_view text) override;
  bool delete_value(Key key, std::u16string_view name) override;

 private:
  struct Value {
    std::u16string name;  // as first written
    StoredValue stored;
  };
  struct KeyData {
    std::map<std::u16string, Value> values;  // by lower-cased name
  };
  struct Handle {
    RegistryRoot root;
    std::u16string path;  // lower-cased
    bool writable;
  };

  KeyData* find(RegistryRoot root, std::u16string_view path);
  const KeyData* find(RegistryRoot root, std::u16string_view path) const;
  KeyData& make(RegistryRoot root, std::u16string_view path);
  Key open(RegistryRoot root, std::u16string_view path, bool writable);
  Key refuse(RegistryRoot root, std::u16string_view path);
  void expect_none_open() const;
  const Handle* handle(Key key) const;
  void record(std::u16string change);

  std::map<std::pair<RegistryRoot, std::u16string>, KeyData> keys_;
  std::map<Key, Handle> handles_;
  std::set<RegistryRoot> read_only_;
  std::vector<std::u16string> changes_;
  Key next_key_ = 0x80;
  Journal* journal_ = nullptr;
  bool journal_opens_ = false;
};

}  // namespace talvorin::sim
