#pragma once

#include <cstdint>
#include <vector>

#include "platform/ports.h"

namespace talvorin::sim {

class CommonControls final : public platform::CommonControls {
 public:
  bool initialize(std::uint32_t classes) override {
    calls.push_back(classes);
    return available;
  }

  bool available = true;
  std::vector<std::uint32_t> calls;
};

}  // namespace talvorin::sim
