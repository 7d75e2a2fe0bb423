#include "platform/process.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/files.h"
#include "testsupport/temp_dir.h"

namespace platform {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

std::string Executable(const TempDir& t, std::string_view name, std::string_view content) {
  std::string path = t.Write(name, content);
  ::chmod(path.c_str(), 0755);
  return path;
}

std::string Script(const TempDir& t, std::string_view name, std::string_view body) {
  return Executable(t, name, "#!/bin/sh\n" + std::string(body));
}

struct Captured {
  CaptureResult result;
  std::string output;
  int pumps = 0;
};

Captured Capture(const std::string& program, const std::vector<std::string>& args = {},
                 const std::string& working_dir = "") {
  Captured c;
  c.result = RunCaptured(
      program, args, working_dir, [&](std::string_view bytes) { c.output.append(bytes); },
      [&] { ++c.pumps; });
  return c;
}

int OpenDescriptors() {
  int n = 0;
  for (int fd = 0; fd < 1024; ++fd)
    if (::fcntl(fd, F_GETFD) != -1) ++n;
  return n;
}

std::string CurrentDir() {
  char buf[4096];
  return ::getcwd(buf, sizeof buf) ? buf : "";
}

TEST(RunCaptured, OutputArgumentsFolderAndExitCode) {
  TempDir t;
  std::string folder = t.MakeDir("work dir");
  std::string script = Script(t, "a b/run.sh",
                              "echo out1\n"
                              "echo err1 >&2\n"
                              "echo out2\n"
                              "printf '%s\\n' \"$@\"\n"
                              "pwd\n"
                              "exit 7\n");
  std::string cwd_before = CurrentDir();
  int fds_before = OpenDescriptors();
  Captured c = Capture(script, {"two words", "say \"hi\"", "it's", ""}, folder);
  ASSERT_TRUE(c.result.started) << c.result.start_error;
  EXPECT_EQ(c.result.exit_code, 7);
  EXPECT_EQ(c.output, "out1\nerr1\nout2\ntwo words\nsay \"hi\"\nit's\n\n" + folder + "\n");
  EXPECT_EQ(CurrentDir(), cwd_before);
  EXPECT_EQ(OpenDescriptors(), fds_before);

  // Without a folder the child starts in ours.
  Captured inherited = Capture(Script(t, "pwd.sh", "pwd\n"));
  EXPECT_EQ(inherited.output, cwd_before + "\n");
  EXPECT_EQ(inherited.result.exit_code, 0);
}

TEST(RunCaptured, LargeOutputAndZeroBytesArriveUnchanged) {
  TempDir t;
  std::string data(1 << 20, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 % 251);
  std::string file = t.Write("data.bin", data);
  Captured c = Capture(Script(t, "cat.sh", "head -c 1048576 \"$1\"\nprintf 'a\\000b'\n"), {file});
  ASSERT_TRUE(c.result.started) << c.result.start_error;
  ASSERT_EQ(c.output.size(), data.size() + 3);
  EXPECT_TRUE(c.output == data + std::string("a\0b", 3));
}

TEST(RunCaptured, ChildEndEndsCaptureEvenWhileGrandchildHoldsThePipe) {
  TempDir t;
  std::string pid_file = t.Path("grandchild.pid");
  std::string script = Script(t, "bg.sh",
                              "sleep 30 &\n"
                              "echo $! > \"$1\"\n"
                              "echo before\n"
                              "sleep 0.2\n"
                              "echo after\n"
                              "exit 3\n");
  // A slow consumer: the child writes its last line and ends while the first
  // one is still being handled, so that line is only in the pipe by then.
  std::string output;
  auto on_output = [&](std::string_view bytes) {
    if (output.empty()) std::this_thread::sleep_for(std::chrono::seconds(1));
    output.append(bytes);
  };
  auto start = std::chrono::steady_clock::now();
  CaptureResult r = RunCaptured(script, {pid_file}, "", on_output, [] {});
  auto took = std::chrono::steady_clock::now() - start;
  if (FileExists(pid_file)) ::kill(std::stoi(ReadAll(pid_file)), SIGTERM);
  ASSERT_TRUE(r.started) << r.start_error;
  EXPECT_LT(took, std::chrono::seconds(10));
  EXPECT_EQ(output, "before\nafter\n");
  EXPECT_EQ(r.exit_code, 3);
}

TEST(RunCaptured, PumpRunsWhileTheChildWaits) {
  TempDir t;
  Captured c = Capture(Script(t, "sleep.sh", "sleep 1\n"));
  ASSERT_TRUE(c.result.started) << c.result.start_error;
  EXPECT_GE(c.pumps, 3);
}

TEST(RunCaptured, ProgramsThatCannotStartReportWhyAndGiveNoOutput) {
  TempDir t;
  std::string not_executable = t.Write("plain.sh", "#!/bin/sh\necho no\n");
  std::string bad_interpreter = Executable(t, "bad.sh", "#!/nonexistent/shell\necho no\n");
  std::string good = Script(t, "good.sh", "echo no\n");
  struct Case {
    std::string name, program, working_dir;
  } cases[] = {
      {"missing program", t.Path("missing"), ""},
      {"not executable", not_executable, ""},
      {"bad interpreter", bad_interpreter, ""},
      {"folder", t.path(), ""},
      {"missing working folder", good, t.Path("no such folder")},
  };
  int fds_before = OpenDescriptors();
  for (const auto& c : cases) {
    Captured r = Capture(c.program, {}, c.working_dir);
    EXPECT_FALSE(r.result.started) << c.name;
    EXPECT_FALSE(r.result.start_error.empty()) << c.name;
    EXPECT_EQ(r.output, "") << c.name;
  }
  EXPECT_EQ(OpenDescriptors(), fds_before);
}

TEST(RunCaptured, SignalEndIsReportedAsOneHundredTwentyEightPlusSignal) {
  TempDir t;
  Captured c = Capture(Script(t, "kill.sh", "echo bye\nkill -TERM $$\n"));
  ASSERT_TRUE(c.result.started) << c.result.start_error;
  EXPECT_EQ(c.result.exit_code, 128 + SIGTERM);
  EXPECT_EQ(c.output, "bye\n");
}

TEST(StartDetached, StartsTheProgramAndReportsFailures) {
  TempDir t;
  std::string marker = t.Path("marker file");
  std::string script = Script(t, "detached.sh", "printf '%s' \"$2\" > \"$1\"\n");
  int fds_before = OpenDescriptors();
  DetachedResult r = StartDetached(script, {marker, "two words"});
  ASSERT_TRUE(r.started) << r.error;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!(FileExists(marker) && ReadAll(marker) == "two words") &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(FileExists(marker));
  EXPECT_EQ(ReadAll(marker), "two words");

  DetachedResult missing = StartDetached(t.Path("missing"), {});
  EXPECT_FALSE(missing.started);
  EXPECT_FALSE(missing.error.empty());
  EXPECT_EQ(OpenDescriptors(), fds_before);
}

}  // namespace
}  // namespace platform
