// The project-file parser: loading, the summary, and both writers on
// whatever document the input holds.
#include <exception>

#include "fuzz/fuzz_support.h"
#include "tornel/projectfile/dproj_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchFile(".dproj", data, size);
  try {
    tornel::TDprojParser parser(path);
    parser.ValidPackages = {"SMORVELOPR"};
    try {
      parser.GetInfo();
    } catch (const std::exception&) {
    }
    parser.SetFileVersion({24, 0, 1, 1});
    parser.SetProductVersion({24, 0, 0, 0});
    try {
      parser.ChangeVersion(true);
    } catch (const std::exception&) {
    }
    try {
      parser.SetXMLPropertyValue("Base\\S*\\!\\=", "Icon_MainIcon", "M:\\Morvel.ico");
    } catch (const std::exception&) {
    }
    tornel::TDprojParser again(path);  // what was saved must load again
  } catch (const std::exception&) {
  }
  return 0;
}
