#pragma once
// One record, in order, of what the program did to the simulated tray and
// registry, for tests that care which came first.

#include <string>
#include <vector>

namespace talvorin::sim {

struct Journal {
  std::vector<std::u16string> entries;
  void add(std::u16string entry) { entries.push_back(std::move(entry)); }
};

}  // namespace talvorin::sim
