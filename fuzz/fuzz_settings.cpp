// The settings store, the table file and the ini files, on any file.
#include <exception>

#include "fuzz/fuzz_support.h"
#include "platform/ini_file.h"
#include "tornel/driver/tables.h"
#include "tornel/settings/table_file.h"
#include "tornel/settings/xml_ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    tornel::TMXmlIniFile ini(fuzz::ScratchFile(".xml", data, size));
    ini.ReadString("INIC", "RUTPROJ", "");
    ini.ReadInteger("INIC", "VERPROD", 24);
    ini.ReadBool("INIC", "CHKBUILD", false);
    ini.WriteString("INIC", "RUTPROJ", "x");
    ini.UpdateFile();
  } catch (const std::exception&) {
  }
  try {
    tornel::MemTable table = tornel::MakeCdsProjProp();
    tornel::CargarTablaXml(table, fuzz::ScratchFile("_t.xml", data, size));
  } catch (const std::exception&) {
  }
  try {
    platform::IniFile ini(fuzz::ScratchFile(".ini", data, size));
    ini.ReadString("CONFIG", "RUTAPROG", "");
    ini.ReadInteger("CONFIG", "EMPMASIVO", 0);
    for (const std::string& s : ini.ReadSections()) ini.ReadSection(s);
    ini.WriteString("CONFIG", "RUTADEST", "/x");
    ini.WriteString("Nueva", "K", "v");
  } catch (const std::exception&) {
  }
  return 0;
}
