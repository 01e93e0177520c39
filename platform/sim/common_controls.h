#pragma once

#include <cstdint>
#include <vector>

#include "platform/ports.h"

namespace talvorin::sim {

// Notes which classes the program asks the library for.
class CommonControls final : public platform::CommonControls {
 public:
  bool initialize(std::uint32_t classes) override {
    calls.push_back(classes);
    return true;
  }

  std::vector<std::uint32_t> calls;
};

}  // namespace talvorin::sim
