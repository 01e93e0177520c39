#include "core/module_path.h"

#include <gtest/gtest.h>

namespace talvorin::core {
namespace {

TEST(ModulePath, FolderAndNameOfTheExecutable) {
  struct Case {
    std::u16string_view path, folder, name;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Talvorin\\talvorin.exe", u"C:\\Program Files\\Talvorin", u"talvorin"},
      {u"C:\\talvorin.exe", u"C:\\", u"talvorin"},
      {u"D:\\tools\\tal.v2.exe", u"D:\\tools", u"tal.v2"},
      {u"\\\\server\\share\\talvorin.exe", u"\\\\server\\share", u"talvorin"},
      {u"E:\\dir.d\\talvorin", u"E:\\dir.d", u"talvorin"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(folder_of(c.path), c.folder);
    EXPECT_EQ(base_name_of(c.path), c.name);
  }
}

}  // namespace
}  // namespace talvorin::core
