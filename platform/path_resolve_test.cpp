#include "platform/path_resolve.h"

#include <gtest/gtest.h>

#include "testsupport/temp_dir.h"

namespace platform {
namespace {

TEST(ResolveCase, FindsTheFolderAndFileThatDifferOnlyInCase) {
  testsupport::TempDir t;
  t.Write("Fuentes/GNABCDE/MGNABCDE/MGNABCDE.dproj", "x");
  struct Case {
    std::string asked;
    std::string want;
  } cases[] = {
      {t.Path("fuentes/gnabcde/mgnabcde/mgnabcde.DPROJ"), t.Path("Fuentes/GNABCDE/MGNABCDE/MGNABCDE.dproj")},
      {t.Path("Fuentes/GNABCDE"), t.Path("Fuentes/GNABCDE")},
      {t.Path("FUENTES/gnabcde/"), t.Path("Fuentes/GNABCDE/")},
      {t.Path("fuentes/nada/x"), t.Path("fuentes/nada/x")},  // no such path: unchanged
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveCase(c.asked), c.want) << c.asked;
}

}  // namespace
}  // namespace platform
