#include <gtest/gtest.h>

#include "core/autorun.h"

namespace talvorin::core {
namespace {

TEST(ExecutablePath, JoinsFolderNameAndExeAsTheyAre) {
  EXPECT_EQ(executable_path(u"C:\\Tools", u"talvorin"), u"C:\\Tools\\talvorin.exe");
  EXPECT_EQ(executable_path(u"C:\\", u"talvorin"), u"C:\\\\talvorin.exe");
  EXPECT_EQ(executable_path(u"D:\\\u041F\u0440\u043E\u0433", u"t"), u"D:\\\u041F\u0440\u043E\u0433\\t.exe");
}

TEST(AutorunCommand, QuotesOnlyPathsWithBlanks) {
  EXPECT_EQ(autorun_command(u"C:\\Tools\\talvorin.exe"), u"C:\\Tools\\talvorin.exe");
  EXPECT_EQ(autorun_command(u"C:\\Program Files\\Talvorin\\talvorin.exe"),
            u"\"C:\\Program Files\\Talvorin\\talvorin.exe\"");
  EXPECT_EQ(autorun_command(u"C:\\a\tb\\t.exe"), u"\"C:\\a\tb\\t.exe\"");
}

}  // namespace
}  // namespace talvorin::core
