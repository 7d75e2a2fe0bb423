// Times the compile run's project search (both masks, recursive) over a
// folder and prints what it found.
#include <chrono>
#include <cstdio>

#include "tornel/projectfile/dproj_parser.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: file_search_bench <folder>\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  auto clients = tornel::TDprojParser::FileSearch(argv[1], "C**.dproj", true);
  auto servers = tornel::TDprojParser::FileSearch(argv[1], "M**.dproj", true);
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("clients %zu, servers %zu, seconds %.3f\n", clients.size(), servers.size(), s);
  return 0;
}
