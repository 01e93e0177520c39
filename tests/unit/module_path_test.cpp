#include "core/module_path.h"

#include <gtest/gtest.h>

#include <string>

#include "core/autorun.h"

namespace talvorin::core {
namespace {

// What the program reports as its folder and name, and the autostart
// path made from them again.
TEST(ModulePath, FolderAndNameOfTheExecutable) {
  struct Case {
    std::u16string_view path, folder, name, joined;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Talvorin\\talvorin.exe", u"C:\\Program Files\\Talvorin", u"talvorin",
       u"C:\\Program Files\\Talvorin\\talvorin.exe"},
      {u"C:\\talvorin.exe", u"C:\\", u"talvorin", u"C:\\\\talvorin.exe"},
      {u"D:\\tools\\tal.v2.exe", u"D:\\tools", u"tal.v2", u"D:\\tools\\tal.v2.exe"},
      {u"\\\\server\\share\\talvorin.exe", u"\\\\server\\share", u"talvorin", u"\\\\server\\share\\talvorin.exe"},
      {u"E:\\dir.d\\talvorin", u"E:\\dir.d", u"talvorin", u"E:\\dir.d\\talvorin.exe"},
  };
  for (const Case& c : cases) {
    const std::u16string folder = folder_of(c.path);
    const std::u16string name = base_name_of(c.path);
    EXPECT_EQ(folder, c.folder);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(executable_path(folder, name), c.joined);
  }
}

}  // namespace
}  // namespace talvorin::core
