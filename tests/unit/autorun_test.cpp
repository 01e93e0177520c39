#include "core/autorun.h"

#include <gtest/gtest.h>

namespace talvorin::core {
namespace {

TEST(ExecutablePath, JoinsFolderNameAndExeAsTheyAre) {
  EXPECT_EQ(executable_path(u"C:\\Tools", u"talvorin"), u"C:\\Tools\\talvorin.exe");
  EXPECT_EQ(executable_path(u"C:\\", u"talvorin"), u"C:\\\\talvorin.exe");
  EXPECT_EQ(executable_path(u"D:\\Прог", u"t"), u"D:\\Прог\\t.exe");
}

TEST(AutorunCommand, QuotesOnlyPathsWithBlanks) {
  EXPECT_EQ(autorun_command(u"C:\\Tools\\talvorin.exe"), u"C:\\Tools\\talvorin.exe");
  EXPECT_EQ(autorun_command(u"C:\\Program Files\\Talvorin\\talvorin.exe"),
            u"\"C:\\Program Files\\Talvorin\\talvorin.exe\"");
  EXPECT_EQ(autorun_command(u"C:\\a\tb\\t.exe"), u"\"C:\\a\tb\\t.exe\"");
}

}  // namespace
}  // namespace talvorin::core
