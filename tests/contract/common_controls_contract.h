#pragma once
// The cases every CommonControls adapter passes: the Win32 one against
// Wine's comctl32, the simulated one on the host. The settings window sets
// the library up before its first window and says so when it cannot.

#include <string_view>

#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

class CommonControlsUnderTest {
 public:
  virtual ~CommonControlsUnderTest() = default;
  virtual platform::CommonControls& controls() = 0;
  // A window of the class can be made in this process now.
  virtual bool can_make(std::u16string_view class_name) = 0;
};

// The library is reached each time it is asked, and the classes asked for
// can be made afterwards. (Wine's comctl32 has them from its load on, so
// only Windows would show a class missing for want of the call.)
inline void common_controls_set_up(CommonControlsUnderTest& under_test) {
  using testing::check;
  check(under_test.controls().initialize(platform::kIccUserExClasses), "the library reached");
  check(under_test.controls().initialize(platform::kIccUserExClasses), "and again, as a second window asks");
  check(under_test.can_make(u"ComboBoxEx32"), "the extended combo box's class there");
}

}  // namespace talvorin::contract
