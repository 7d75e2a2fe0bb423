// Kills a process that keeps rewriting large files, many times and at
// varied moments, and checks that each file is always whole: the old
// content or the new one, never a mix or a stump.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "testsupport/temp_dir.h"

extern char** environ;

namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

// Starts the victim, lets it run for the given time, kills it hard.
void RunAndKill(const std::vector<std::string>& args, std::chrono::milliseconds after) {
  std::vector<char*> argv;
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  ASSERT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
  std::this_thread::sleep_for(after);
  ::kill(pid, SIGKILL);
  int status;
  ::waitpid(pid, &status, 0);
}

TEST(CrashSafety, AKilledWriterLeavesTheOldOrTheNewFile) {
  TempDir t;
  std::string file = t.Path("Tornel.xml");
  std::mt19937 rng(7);
  int checked = 0;
  for (int round = 0; round < 25; ++round) {
    RunAndKill({CRASH_VICTIM, "file", file}, std::chrono::milliseconds(20 + rng() % 180));
    if (!platform::FileExists(file)) continue;  // killed before the first rename
    std::string bytes = ReadAll(file);
    ASSERT_EQ(bytes.size(), 8u << 20) << "round " << round;
    EXPECT_TRUE(bytes == std::string(8 << 20, 'a') || bytes == std::string(8 << 20, 'b'))
        << "round " << round;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

TEST(CrashSafety, AKilledArchiveWriterLeavesAWholeArchive) {
  TempDir t;
  std::string a = t.Write("a.bin", std::string(6 << 20, 'a'));
  std::string b = t.Write("b.bin", std::string(6 << 20, 'b') + "b");
  std::string zip = t.Path("GGNABCDE_V26.0.1.1.zip");
  std::mt19937 rng(11);
  int checked = 0;
  for (int round = 0; round < 15; ++round) {
    RunAndKill({CRASH_VICTIM, "zip", zip, a, b}, std::chrono::milliseconds(30 + rng() % 250));
    if (!platform::FileExists(zip)) continue;
    std::string out;
    auto r = platform::RunCaptured(
        "/usr/bin/unzip", {"-t", "-qq", zip}, t.path(), [&](std::string_view s) { out.append(s); }, {});
    EXPECT_EQ(r.exit_code, 0) << "round " << round << ": " << out;
    ++checked;
  }
  EXPECT_GT(checked, 5);
}

}  // namespace
