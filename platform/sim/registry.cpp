#include "platform/sim/registry.h"

#include <stdexcept>
#include <utility>

namespace talvorin::sim {

namespace {

std::u16string lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

std::u16string describe(RegistryRoot root, std::u16string_view path) {
  std::u16string text(root == RegistryRoot::CurrentUser ? u"HKCU\\" : u"HKLM\\");
  text += path;
  return text;
}

std::u16string describe(RegistryRoot root, std::u16string_view path, std::u16string_view name) {
  std::u16string text = describe(root, path);
  text += u'\\';
  text += name;
  return text;
}

}  // namespace

Registry::KeyData* Registry::find(RegistryRoot root, std::u16string_view path) {
  const auto it = keys_.find({root, lower(path)});
  return it == keys_.end() ? nullptr : &it->second;
}

const Registry::KeyData* Registry::find(RegistryRoot root, std::u16string_view path) const {
  const auto it = keys_.find({root, lower(path)});
  return it == keys_.end() ? nullptr : &it->second;
}

Registry::KeyData& Registry::make(RegistryRoot root, std::u16string_view path) {
  // Every parent exists too.
  for (std::size_t pos = path.find(u'\\'); pos != std::u16string_view::npos; pos = path.find(u'\\', pos + 1)) {
    keys_[{root, lower(path.substr(0, pos))}];
  }
  return keys_[{root, lower(path)}];
}

void Registry::add_key(RegistryRoot root, std::u16string_view path) { make(root, path); }

void Registry::put(RegistryRoot root, std::u16string_view path, std::u16string_view name, std::u16string_view data,
                   ValueType type) {
  put_raw(root, path, name, type, core::registry_string_bytes(data));
}

void Registry::put_raw(RegistryRoot root, std::u16string_view path, std::u16string_view name, ValueType type,
                       std::vector<std::uint8_t> bytes) {
  make(root, path).values[lower(name)] = Value{std::u16string(name), StoredValue{type, std::move(bytes)}};
}

void Registry::remove_tree(RegistryRoot root, std::u16string_view path) {
  const std::u16string key = lower(path);
  std::erase_if(keys_, [&](const auto& entry) {
    const auto& [entry_root, entry_path] = entry.first;
    return entry_root == root && (entry_path == key || entry_path.starts_with(key + u'\\'));
  });
}

bool Registry::has_key(RegistryRoot root, std::u16string_view path) const { return find(root, path) != nullptr; }

std::optional<std::u16string> Registry::get(RegistryRoot root, std::u16string_view path,
                                            std::u16string_view name) const {
  const KeyData* key = find(root, path);
  if (!key) return std::nullopt;
  const auto it = key->values.find(lower(name));
  if (it == key->values.end()) return std::nullopt;
  return core::registry_string_from_bytes(it->second.stored.bytes);
}

std::optional<StoredValue> Registry::stored(RegistryRoot root, std::u16string_view path,
                                            std::u16string_view name) const {
  const KeyData* key = find(root, path);
  if (!key) return std::nullopt;
  const auto it = key->values.find(lower(name));
  if (it == key->values.end()) return std::nullopt;
  return it->second.stored;
}

void Registry::expect_none_open() const {
  if (!handles_.empty()) throw std::logic_error("a registry key was opened while another one was still open");
}

Registry::Key Registry::open(RegistryRoot root, std::u16string_view path, bool writable) {
  expect_none_open();
  const Key key = next_key_++;
  handles_[key] = Handle{root, lower(path), writable};
  if (journal_ && journal_opens_) journal_->add(u"open " + describe(root, lower(path)));
  return key;
}

Registry::Key Registry::refuse(RegistryRoot root, std::u16string_view path) {
  expect_none_open();
  if (journal_ && journal_opens_) journal_->add(u"open " + describe(root, lower(path)) + u" failed");
  return 0;
}

const Registry::Handle* Registry::handle(Key key) const {
  const auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

Registry::Key Registry::open_for_write(RegistryRoot root, std::u16string_view path) {
  if (read_only_.contains(root) || !find(root, path)) return refuse(root, path);
  return open(root, path, true);
}

Registry::Key Registry::create(RegistryRoot root, std::u16string_view path) {
  if (read_only_.contains(root)) return refuse(root, path);
  make(root, path);
  return open(root, path, true);
}

Registry::Key Registry::open_for_read(RegistryRoot root, std::u16string_view path) {
  if (!find(root, path)) return refuse(root, path);
  return open(root, path, false);
}

void Registry::record(std::u16string change) {
  if (journal_) journal_->add(change);
  changes_.push_back(std::move(change));
}

void Registry::close(Key key) {
  const auto it = handles_.find(key);
  if (it == handles_.end()) return;
  if (journal_ && journal_opens_) journal_->add(u"close " + describe(it->second.root, it->second.path));
  handles_.erase(it);
}

std::optional<std::u16string> Registry::read_string(Key key, std::u16string_view name) {
  const Handle* h = handle(key);
  if (!h) return std::nullopt;
  const KeyData* data = find(h->root, h->path);
  if (!data) return std::nullopt;
  const auto it = data->values.find(lower(name));
  if (it == data->values.end()) return std::nullopt;
  const StoredValue& value = it->second.stored;
  if (value.type != ValueType::String && value.type != ValueType::ExpandString) return std::nullopt;
  return core::registry_string_from_bytes(value.bytes);
}

bool Registry::write_string(Key key, std::u16string_view name, std::u16string_view text) {
  const Handle* h = handle(key);
  if (!h || !h->writable) return false;
  KeyData* data = find(h->root, h->path);
  if (!data) return false;
  data->values[lower(name)] =
      Value{std::u16string(name), StoredValue{ValueType::String, core::registry_string_bytes(text)}};
  record(u"set " + describe(h->root, h->path, name) + u"=" + std::u16string(text));
  return true;
}

bool Registry::delete_value(Key key, std::u16string_view name) {
  const Handle* h = handle(key);
  if (!h || !h->writable) return false;
  KeyData* data = find(h->root, h->path);
  if (!data || data->values.erase(lower(name)) == 0) return false;
  record(u"delete " + describe(h->root, h->path, name));
  return true;
}

}  // namespace talvorin::sim
