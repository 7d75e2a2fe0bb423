#include "testsupport/fake_tools.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testsupport {
namespace {

std::string WriteExecutable(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out || ::chmod(path.c_str(), 0755) != 0) throw std::runtime_error("cannot write " + path);
  return path;
}

}  // namespace

std::string WriteFakeBuildScript(const std::string& dir) {
  return WriteExecutable(dir + "/rsvars.bat",
                         "#!/bin/sh\n"
                         "echo \"$(pwd)|$1|$2\" >> \"$(dirname \"$0\")/builds.log\"\n"
                         "if [ -f \"$2.salida\" ]; then cat \"$2.salida\"; fi\n"
                         "exit 0\n");
}

std::vector<std::string> BuildsLog(const std::string& dir) {
  std::vector<std::string> lines;
  std::ifstream in(dir + "/builds.log");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string WriteFakePackager(const std::string& dir) {
  return WriteExecutable(dir + "/Paquel",
                         "#!/bin/sh\necho \"$*\" > \"$(dirname \"$0\")/paquel.tmp\"\n"
                         "mv \"$(dirname \"$0\")/paquel.tmp\" \"$(dirname \"$0\")/paquel.started\"\n");
}

std::string WaitForPackager(const std::string& dir) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(dir + "/paquel.started");
    if (in) {
      std::stringstream ss;
      ss << in.rdbuf();
      return ss.str();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return {};
}

}  // namespace testsupport
