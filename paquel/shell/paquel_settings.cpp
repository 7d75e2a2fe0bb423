#include "paquel/shell/paquel_settings.h"

namespace paquel {
namespace {

constexpr const char* kConfig = "CONFIG";

bool ReadBool(const platform::IniFile& ini, const char* key, bool default_value) {
  return ini.ReadInteger(kConfig, key, default_value ? 1 : 0) != 0;
}

}  // namespace

PaquelSettings LeerConfiguracion(const platform::IniFile& ini) {
  PaquelSettings d;
  PaquelSettings s;
  s.RUTAPROG = ini.ReadString(kConfig, "RUTAPROG", d.RUTAPROG);
  s.RUTADEST = ini.ReadString(kConfig, "RUTADEST", d.RUTADEST);
  s.VERFCONN = ReadBool(ini, "VERFCONN", d.VERFCONN);
  s.DELDCOMP = ReadBool(ini, "DELDCOMP", d.DELDCOMP);
  s.INCLUWCF = ReadBool(ini, "INCLUWCF", d.INCLUWCF);
  s.SUGNOMB = ReadBool(ini, "SUGNOMB", d.SUGNOMB);
  s.DIRREPO = ini.ReadString(kConfig, "DIRREPO", d.DIRREPO);
  s.MOVFUENTE = ReadBool(ini, "MOVFUENTE", d.MOVFUENTE);
  s.EMPMASIVO = ReadBool(ini, "EMPMASIVO", d.EMPMASIVO);
  s.COMPRIMIR = ReadBool(ini, "COMPRIMIR", d.COMPRIMIR);
  return s;
}

void EscribirConfiguracion(platform::IniFile& ini, const PaquelSettings& s) {
  ini.WriteString(kConfig, "RUTAPROG", s.RUTAPROG);
  ini.WriteString(kConfig, "RUTADEST", s.RUTADEST);
  ini.WriteInteger(kConfig, "VERFCONN", s.VERFCONN);
  ini.WriteInteger(kConfig, "DELDCOMP", s.DELDCOMP);
  ini.WriteInteger(kConfig, "INCLUWCF", s.INCLUWCF);
  ini.WriteInteger(kConfig, "SUGNOMB", s.SUGNOMB);
  ini.WriteInteger(kConfig, "MOVFUENTE", s.MOVFUENTE);
  ini.WriteString(kConfig, "DIRREPO", s.DIRREPO);
  ini.WriteInteger(kConfig, "EMPMASIVO", s.EMPMASIVO);
}

}  // namespace paquel
