#pragma once
// The cases every Links adapter passes: ShellExecuteA under Wine, which
// starts a program of the test's own, and the simulated shell on the host,
// which records what it was asked. The About window's links go through it.

#include <optional>
#include <string>

#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

// How the program the shell started was started.
struct Launch {
  std::string parameters;  // its command line after its own name
  std::string folder;      // its working folder
  int show = -1;           // the show command it was given; -1 for none
};

class LinksUnderTest {
 public:
  virtual ~LinksUnderTest() = default;
  virtual platform::Links& links() = 0;
  // A program that notes how it was started, and two folders that exist.
  virtual std::string program() = 0;
  virtual std::string folder(int which) = 0;
  // How the program was started by the last open(); nullopt when it was not.
  virtual std::optional<Launch> launched() = 0;
};

// The arguments reach the program as given: no verb is its default one, no
// parameters none. (What a target nothing opens does is the shell's own:
// Windows may show an error box owned by `owner`, so no case asks for it.)
inline void links_open_as_given(LinksUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  struct Row {
    std::optional<std::string> operation;
    std::optional<std::string> parameters;
    int folder;
    platform::ShowCommand show;
    const char* what;
  };
  const Row rows[] = {
      {std::nullopt, std::nullopt, 0, platform::ShowCommand::ShowNormal, "the default verb, as the links go"},
      {std::string("open"), std::string(R"(one "two three")"), 1, platform::ShowCommand::Hide,
       "a verb, parameters, another folder"},
  };
  for (const Row& row : rows) {
    const std::string folder = under_test.folder(row.folder);
    under_test.links().open(0, row.operation, under_test.program(), row.parameters, folder, row.show);
    const std::optional<Launch> launch = under_test.launched();
    if (!check(launch.has_value(), std::string(row.what) + ": started")) continue;
    check_equal(launch->parameters, row.parameters.value_or(""), std::string(row.what) + ": parameters");
    check_equal(launch->folder, folder, std::string(row.what) + ": folder");
    check_equal(launch->show, static_cast<int>(row.show), std::string(row.what) + ": show command");
  }
}

}  // namespace talvorin::contract
