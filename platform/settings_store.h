#pragma once
// The per-user settings store: texts under an application, a section and a
// key, kept where programs of this kind have always kept them, so values
// stored by earlier versions keep working.

#include <string>
#include <string_view>

#include "platform/ports.h"

namespace talvorin::platform {

inline constexpr std::u16string_view kSettingsRoot = u"Software\\VB and VBA Program Settings";

std::u16string settings_key_path(std::u16string_view application, std::u16string_view section);

class SettingsStore {
 public:
  explicit SettingsStore(Registry& registry) : registry_(registry) {}

  // The stored text, also when it is empty; the default for an absent key
  // or a value that is not text.
  std::u16string get(std::u16string_view application, std::u16string_view section, std::u16string_view key,
                     std::u16string_view fallback = {});
  // False when the text could not be written; what was stored before stays.
  bool save(std::u16string_view application, std::u16string_view section, std::u16string_view key,
            std::u16string_view text);

 private:
  Registry& registry_;
};

}  // namespace talvorin::platform
