#include "platform/own_paths.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/paths.h"

namespace platform {
namespace {

TEST(OwnPaths, SiblingFilesAreNamedAfterTheExecutable) {
  std::string exe = ExecutablePath();
  ASSERT_TRUE(FileExists(exe));
  EXPECT_EQ(ExtractFileName(exe), "platform_test");
  EXPECT_EQ(ExecutableDir(), ExtractFilePath(exe));
  // The test executable has no extension, like the programs on this system.
  EXPECT_EQ(SiblingFile(".xml"), exe + ".xml");
  EXPECT_EQ(SiblingFile("_cdsProjProp.xml"), exe + "_cdsProjProp.xml");
}

}  // namespace
}  // namespace platform
