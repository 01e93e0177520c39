#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ports.h"

namespace talvorin::sim {

class CommonControls final : public platform::CommonControls {
 public:
  bool initialize(std::uint32_t classes) override {
    calls.push_back(classes);
    if (available) set_up_ |= classes;
    return available;
  }

  // Whether a window of the class can be made: the one class of the
  // library's the program asks for, once a call has set it up.
  bool can_make(std::u16string_view class_name) const {
    return class_name == u"ComboBoxEx32" && (set_up_ & platform::kIccUserExClasses) != 0;
  }

  bool available = true;
  std::vector<std::uint32_t> calls;

 private:
  std::uint32_t set_up_ = 0;
};

}  // namespace talvorin::sim
