#include "paquel/checks/program_file.h"

#include <gtest/gtest.h>

#include "paquel/checks/check_error.h"
#include "platform/error.h"
#include "testsupport/temp_dir.h"

namespace paquel {
namespace {

using List = std::vector<std::string>;

TEST(DesglosarDpr, UsesClauseItemsWithTheirFormTwins) {
  testsupport::TempDir t;
  struct Case {
    const char* name;
    std::string text;
    List want;  // relative to the program file's folder
  } cases[] = {
      {"the clause up to the first semicolon",
       "program X;\r\n\r\nuses\r\n  Forms,\r\n  UFoo in 'UFoo.pas' {Foo},\r\n"
       "  UBar in '..\\Comun\\UBar.pas';\r\n  UAfter in 'UAfter.pas';\r\n",
       {"UFoo.pas", "ufoo.dfm", "../Comun/UBar.pas", "../comun/ubar.dfm"}},
      {"a commented entry still counts, LF ends",
       "program X;\nuses\n  // UOld in 'UOld.pas',\n  UPasivos in 'UPasivos.pas';\n",
       {"UOld.pas", "uold.dfm", "UPasivos.pas", "upasivos.dfm"}},
      {"drive M: only for the unit that is warned about",
       "program X;\nuses\n  URERRLQ2 in 'M:\\Comun\\URERRLQ2.pas',\n  UCom in 'm:\\Comun\\UCom.pas',\n"
       "  UMine in 'UMine.pas';\n",
       {"M:/Comun/URERRLQ2.pas", "UMine.pas", "umine.dfm"}},
      {"uses on the first line is not found", "uses\n  UFoo in 'UFoo.pas';\n", {}},
      {"uses with other text on its line", "program X;\nuses Forms, UFoo in 'UFoo.pas';\n", {}},
      {"Uses in other case", "program X;\nUses\n  UFoo in 'UFoo.pas';\n", {}},
      {"a clause that never closes runs to the end", "program X;\nuses\n  UA in 'UA.pas',\n  UB in 'UB",
       {"UA.pas", "ua.dfm", "UB", "ub.dfm"}},
      {"an empty quoted path", "program X;\nuses\n  UA in '';\n", {"", ".dfm"}},
  };
  for (const auto& c : cases) {
    std::string dpr = t.Write("fuente/CGNABCDE.dpr", c.text);
    List got;
    DesglosarDpr(dpr, "GNABCDE", got);
    List want;
    for (const std::string& w : c.want) want.push_back(t.Path("fuente/") + w);
    EXPECT_EQ(got, want) << c.name;
  }
}

TEST(DesglosarDpr, ServerProgramFileMustSetTheTitle) {
  testsupport::TempDir t;
  List got;
  std::string ok = t.Write("s/mgnabcde.DPR", "begin\r\n  application.title := 'Servidor';\r\nend.\r\n");
  EXPECT_NO_THROW(DesglosarDpr(ok, "GNABCDE", got));
  std::string bad = t.Write("s/MGNABCDE.dpr", "program M;\r\nuses\r\n  UX in 'UX.pas';\r\nbegin\r\nend.\r\n");
  try {
    DesglosarDpr(bad, "GNABCDE", got);
    FAIL();
  } catch (const EPaquel& e) {
    EXPECT_STREQ(e.what(),
                 "En el servidor, en la configuracion del proyecto no ha asignado la propiedad "
                 "appearance -> title");
  }
  EXPECT_TRUE(got.empty());
  EXPECT_THROW(DesglosarDpr(t.Path("s/none.dpr"), "GNABCDE", got), platform::EFOpenError);
}

}  // namespace
}  // namespace paquel
