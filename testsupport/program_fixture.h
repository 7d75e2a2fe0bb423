// Program folders for packager tests: the source tree of one program of the
// product (client and server project folders, group project, project files),
// its compiled client program, server, service and service host as small PE
// files carrying the given versions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace testsupport {

// This year's release version (the year in two digits, then 0.1.1), so that
// fixtures raise no warning about an old version.
std::array<uint16_t, 4> ThisYearsVersion();

struct ProgramSpec {
  std::string code = "GNABCDE";  // 7 characters; the first two are the module
  std::array<uint16_t, 4> version = ThisYearsVersion();  // of the client program and the server
  bool group_project = true;
  bool client_program = true;  // the compiled client program ("C<code>.sdml")
  bool server = true;          // the compiled server ("M<code>.exe")
  std::string release = "Win32";  // release folder platform of the compiled files
  bool service = false;           // service folder with its compiled libraries
  int inicializa_server = 9;      // occurrences in the service's data library source
  bool service_host = false;      // "M<code>S.exe" in its own release folder
  // Program files, a client unit with its main form (titled notes, PDF
  // export) and the server's data module, all clean.
  bool sources = true;
};

// Creates parent/<code> with the program's tree and answers its path.
std::string BuildProgram(const std::string& parent, const ProgramSpec& spec);

}  // namespace testsupport
