#include "tornel/build/handoff.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/error.h"
#include "platform/files.h"
#include "testsupport/temp_dir.h"

namespace tornel {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

TEST(DirectorioPadre, TheFolderThatHoldsThePath) {
  EXPECT_EQ(DirectorioPadre("/Fuentes/GN/CGNABC/CGNABC.dproj"), "/Fuentes/GN/CGNABC/");
  EXPECT_EQ(DirectorioPadre("/Fuentes/GN/CGNABC/"), "/Fuentes/GN/");
  EXPECT_EQ(DirectorioPadre("/Fuentes/GN"), "/Fuentes/");
  EXPECT_EQ(DirectorioPadre("/Fuentes"), "/");
  EXPECT_EQ(DirectorioPadre("rel/x"), platform::CurrentDirectory() + "/rel/");
}

class Handoff : public ::testing::Test {
 protected:
  std::string Exe() const { return dir_.path() + "/"; }
  void WritePackager() {
    std::string p = dir_.Write("Paquel", "#!/bin/sh\necho \"$*\" > \"$(dirname \"$0\")/started.txt\"\n");
    ::chmod(p.c_str(), 0755);
  }
  bool WaitForStart() const {
    for (int i = 0; i < 200; ++i) {
      if (platform::FileExists(dir_.Path("started.txt"))) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  TempDir dir_;
};

TEST_F(Handoff, WritesBothKeysKeepsTheRestAndStartsThePackager) {
  WritePackager();
  std::string ini = dir_.Write("Paquel.ini",
                               "[CONFIG]\r\nRUTAPROG=old\r\nVERFCONN=1\r\n[ProgrSinCli]\r\nGNX=1\r\n");
  auto r = EjecutarEmpaquetador(Exe(), "/Fuentes con blancos", "/Fuentes con blancos/GN/CGNABC/CGNABC.dproj");
  EXPECT_EQ(r.outcome, HandoffResult::Outcome::kStarted);
  EXPECT_EQ(ReadAll(ini),
            "[CONFIG]\r\nRUTAPROG=/Fuentes con blancos\r\nVERFCONN=1\r\n"
            "RUTADEST=/Fuentes con blancos/Compilado\r\n[ProgrSinCli]\r\nGNX=1\r\n");
  ASSERT_TRUE(WaitForStart());
  EXPECT_EQ(ReadAll(dir_.Path("started.txt")), "S\n");
}

TEST_F(Handoff, SkippedWithoutPackagerSettingsOrProject) {
  std::string ini = dir_.Write("Paquel.ini", "[CONFIG]\nRUTAPROG=old\n");
  EXPECT_EQ(EjecutarEmpaquetador(Exe(), "/src", "/src/GN/CGNA/CGNA.dproj").outcome,
            HandoffResult::Outcome::kSkipped);
  EXPECT_EQ(ReadAll(ini), "[CONFIG]\nRUTAPROG=old\n");

  WritePackager();
  EXPECT_EQ(EjecutarEmpaquetador(Exe(), "/src", "").outcome, HandoffResult::Outcome::kSkipped);
  EXPECT_EQ(ReadAll(ini), "[CONFIG]\nRUTAPROG=old\n");

  std::remove(ini.c_str());
  EXPECT_EQ(EjecutarEmpaquetador(Exe(), "/src", "/src/GN/CGNA/CGNA.dproj").outcome,
            HandoffResult::Outcome::kSkipped);
  EXPECT_FALSE(platform::FileExists(ini));
}

TEST_F(Handoff, UnwritableSettingsFailBeforeThePackagerStarts) {
  WritePackager();
  std::string ini = dir_.Write("Paquel.ini", "[CONFIG]\n");
  ::chmod(ini.c_str(), 0444);
  EXPECT_THROW(EjecutarEmpaquetador(Exe(), "/src", "/src/GN/CGNA/CGNA.dproj"), platform::Error);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(platform::FileExists(dir_.Path("started.txt")));
}

}  // namespace
}  // namespace tornel
