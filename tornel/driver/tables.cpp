#include "tornel/driver/tables.h"

namespace tornel {

MemTable MakeCdsGrpFuente() {
  using T = FieldType;
  return MemTable("CdsGrpFuente", {
                                      {"COD_GSRC", T::kText, 32, "Proyecto"},
                                      {"NOM_FUEN", T::kText, 512, "Nombre"},
                                      {"NOM_PCLI", T::kText, 32, "NOM_PCLI"},
                                      {"VER_CLIE", T::kText, 32, "Versión Cliente"},
                                      {"PAC_KAGE", T::kText, 64, "Paquetes Usados"},
                                      {"NEW_VCLI", T::kText, 32, "Nva. Versión Cliente"},
                                      {"RUT_CLIE", T::kText, 1024, "RUT_CLIE"},
                                      {"NOM_PSRV", T::kText, 32, "NOM_PSRV"},
                                      {"VER_SERV", T::kText, 32, "Versión Servidor"},
                                      {"NEW_VSER", T::kText, 32, "Nva. Versión Servidor"},
                                      {"RUT_SERV", T::kText, 1024, "RUT_SERV"},
                                      {"VER_PROD", T::kText, 32, "VER_PROD"},
                                      {"USA_PKGE", T::kBoolean, 0, "USA_PKGE"},
                                  });
}

MemTable MakeCdsProjProp() {
  using T = FieldType;
  return MemTable("cdsProjProp", {
                                     {"COD_PROP", T::kText, 254, "Código"},
                                     {"NOM_PROP", T::kText, 254, "Propiedad"},
                                     {"ACT_PROP", T::kText, 1, "Activo"},
                                     {"VAL_PROP", T::kText, 2048, "Valor"},
                                 });
}

void AgregarPropiedadesPorDefecto(MemTable& cdsProjProp) {
  struct Row {
    const char* code;
    const char* name;
    const char* value;
  } rows[] = {
      {"DCU_OUTPUT_CLI", "Directorio DCU - Cliente", "C:\\MORVEL\\DCU\\CLI"},
      {"DCU_OUTPUT_SRV", "Directorio DCU - Servidor", "C:\\MORVEL\\DCU\\SRV"},
      {"PRG_OUTPUT_CLI", "Salida Programa - Cliente", "C:\\MORVEL\\RIVU\\NM\\BIN1"},
  };
  for (const Row& r : rows) {
    cdsProjProp.Append();
    cdsProjProp.SetText("COD_PROP", r.code);
    cdsProjProp.SetText("NOM_PROP", r.name);
    cdsProjProp.SetText("ACT_PROP", "S");
    cdsProjProp.SetText("VAL_PROP", r.value);
    cdsProjProp.Post();
  }
}

}  // namespace tornel
