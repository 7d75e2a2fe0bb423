#include "tornel/build/output_capture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "testsupport/temp_dir.h"

namespace tornel {
namespace {

using testsupport::TempDir;

std::string Script(const TempDir& t, const std::string& name, const std::string& body) {
  std::string p = t.Write(name, "#!/bin/sh\n" + body);
  ::chmod(p.c_str(), 0755);
  return p;
}

TEST(EjecutarComando, TheLogHoldsTheLastCommandsOutputExactly) {
  TempDir t;
  t.MakeDir("proj dir");
  // Output and errors interleaved, a line far longer than one read, Windows
  // code-page bytes, a 0 byte in the middle of a line.
  std::string script = Script(t, "rsvars.bat",
                              "echo \"args:$1|$2\"\necho \"cwd:$(pwd)\"\necho aviso >&2\n"
                              "head -c 5000 /dev/zero | tr '\\0' 'a'; printf ' error E1\\r\\n'\n"
                              "printf 'Versi\\363n\\000 sigue\\n'\n");
  CompileLog log;
  log.Append("previous command");
  int clears = 0;
  std::string seen;
  log.on_change = [&](bool cleared, std::string_view text) {
    if (cleared) ++clears;
    seen.append(text);
  };
  auto r = EjecutarComando(script, {"Release", "CGN A.dproj"}, t.Path("proj dir"), log, {});
  ASSERT_TRUE(r.started);
  std::string want = "args:Release|CGN A.dproj\ncwd:" + t.Path("proj dir") + "\naviso\n" +
                     std::string(5000, 'a') + " error E1\r\nVersión sigue\n";
  EXPECT_EQ(log.Text(), want);
  EXPECT_EQ(seen, want);
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(platform::CurrentDirectory().find("proj dir"), std::string::npos);
}

TEST(EjecutarComando, AScriptThatCannotStartLeavesAnEmptyLogAndSaysWhy) {
  TempDir t;
  CompileLog log;
  log.Append("old");
  auto missing = EjecutarComando(t.Path("rsvars.bat"), {"Release", "x.dproj"}, t.path(), log, {});
  EXPECT_FALSE(missing.started);
  EXPECT_FALSE(missing.start_error.empty());
  EXPECT_EQ(log.Text(), "");

  std::string not_exec = t.Write("plain.bat", "#!/bin/sh\necho hi\n");
  auto denied = EjecutarComando(not_exec, {}, t.path(), log, {});
  EXPECT_FALSE(denied.started);
  EXPECT_FALSE(denied.start_error.empty());
}

}  // namespace
}  // namespace tornel
