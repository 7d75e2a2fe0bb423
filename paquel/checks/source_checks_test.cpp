#include "paquel/checks/source_checks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "testsupport/temp_dir.h"

namespace paquel {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

// Form and unit texts written line by line, CR LF between lines as the IDE
// saves them.
std::string Text(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

std::string UnitWarning(const std::string& file, const std::string& rule) {
  return "El Arhivo " + file + rule;
}

const std::string kDesign =
    " esta llamando la funcion DesignReport y es posible que no este comentareada, verifique ...";
const std::string kHandle = " tiene aun el handle(gHandleTareas) , verifique...";
const std::string kDnm =
    " esta usando la DNmLibre en el cliente es posible que no le funcione los llamados a esa "
    "libreria, verifique ...";
const std::string kQuick = " esta haciendo uso de QuickReport, verifique ...";
const std::string kAppTag =
    " esta usando la variable global Application.Tag verifique que se este asignando o Cambielo "
    "...";
const std::string kDbTables = " tiene entre los uses la libreria DBTables, verifique...";
const std::string kValorEscrito =
    " el llamando a la funcion ValorEscrito es obsoleto, se deben agregar mas parametros, "
    "verifique ...";
const std::string kQuemado = " tiene un TO-DO con la constante \"cQuemado\", verifique ...";

bool Untouched(const EstadoFuentes& e) {
  return !e.gBoSoloServ && !e.gBoExistPDF && !e.gBoExistFrx && !e.gBoExistFunctDRpt &&
         !e.gBoTituloNota && e.gSlObjCone.empty();
}

class SourceChecks : public ::testing::Test {
 protected:
  int Check(const std::string& name, std::string_view bytes, const std::string& kind = "Cliente") {
    return validador.ValidarConexion(dir.Write(name, bytes), kind, mensajes, estado);
  }
  // The messages added since the last call.
  Lines Taken() {
    Lines out = mensajes.Lines();
    out.erase(out.begin(), out.begin() + static_cast<long>(seen));
    seen = mensajes.Lines().size();
    return out;
  }

  testsupport::TempDir dir;
  const ValidadorFuentes validador;
  EstadoFuentes estado;
  TPqStringList mensajes;
  size_t seen = 0;
};

TEST(EsLineaDeObjeto, ObjectOrInheritAnywhereWithoutRegardToCase) {
  struct Case {
    const char* line;
    bool header;
  } cases[] = {
      {"object DmCon: SDCOMConnection", true},
      {"  inherited FrmGnAbcde: TFrmGnAbcde", true},
      {"\tOBJECT", true},
      {"    item", false},
      {"  inline FraDatos: TFraDatos", false},
      {"  DataSet = CdsObjectos", true},  // a property line that names an object
      {"  Caption = 'Objeto heredado'", false},
      {"  Hint = 'Inheritance'", true},
      {"end", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(EsLineaDeObjeto(c.line), c.header) << c.line;
}

TEST_F(SourceChecks, UnitRulesWarnWithTheirTextsAndKinds) {
  struct Case {
    const char* text;
    const char* kind;
    Lines rules;
  } cases[] = {
      {"frxRpt.DesignReport;", "Cliente", {kDesign}},
      {"frxRpt.DesignReport;\r\n// frxRpt.DesignReport", "Cliente", {}},
      {"Self.frxRpt.designreport;\r\n//  Self . frxRpt.DesignReport;", "Cliente", {}},
      {"frxRpt.DesignReport;\r\n//.DesignReport", "Cliente", {}},
      {"frxRpt.DesignReport;\r\n// DesignReport", "Cliente", {kDesign}},
      {"frxRpt.DesignReport;\r\n// a.b.c.DesignReport", "Cliente", {kDesign}},
      {"// frxRpt.DesignReportX", "Cliente", {kDesign}},
      {"{ frxRpt.DesignReport }", "Cliente", {kDesign}},
      {"frxRpt.DesignReport;", "Servidor", {}},
      {"if GHANDLETAREAS <> 0 then", "Cliente", {kHandle}},
      {"if gHandleTareas <> 0 then", "Servidor", {}},
      {"uses DNmLibre;", "Cliente", {kDnm}},
      {"uses DNmLibre;", "Servidor", {}},
      {"uses QuickRpt, QRCtrls, QRExport, URERRLQ2;", "Cliente", {kQuick}},
      {"uses qrexport;", "Cliente", {kQuick}},
      {"uses QuickRpt;", "Servidor", {}},
      {"x := Application.Tag;", "Servidor", {kAppTag}},
      {"x := Application_Tag;", "Servidor", {kAppTag}},
      {"x := Application\r\nTag;", "Servidor", {}},
      {"x := Application.Tag;", "Cliente", {}},
      {"uses DBTables;", "Servidor", {kDbTables}},
      {"uses dbtables;", "Cliente", {kDbTables}},
      {"s := ValorEscrito(X);", "Servidor", {kValorEscrito}},
      {"s := valorescrito(nTotal_1);", "Cliente", {kValorEscrito}},
      {"s := ValorEscrito(X, Y);", "Cliente", {}},
      {"s := ValorEscrito( X );", "Cliente", {}},
      {"{ TODO: quitar cQuemado }", "Cliente", {kQuemado}},
      {"{\r\n  todo revisar CQUEMADO }", "Servidor", {kQuemado}},
      {"{ TODO revisar\r\n  cQuemado }", "Cliente", {}},
      {"{ TODO quitar cQuemadoX }", "Cliente", {}},
      {"// TODO quitar cQuemado", "Cliente", {}},
      {"procedure Nada;", "Cliente", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Check("UGnAbcde.pas", c.text, c.kind), 0) << c.text;
    Lines expected;
    for (const std::string& rule : c.rules) expected.push_back(UnitWarning("UGnAbcde.pas", rule));
    EXPECT_EQ(Taken(), expected) << c.text << " / " << c.kind;
  }
  EXPECT_TRUE(Untouched(estado));
}

TEST_F(SourceChecks, UnitWarningsComeInRuleOrder) {
  const std::string unit = Text({
      "uses DBTables, QuickRpt, DNmLibre;",
      "{ TODO cQuemado }",
      "s := ValorEscrito(X); frxRpt.DesignReport; gHandleTareas := 0;",
  });
  EXPECT_EQ(Check("dir/UGnAbcde.pas", unit), 0);
  const std::string f = "UGnAbcde.pas";
  EXPECT_THAT(Taken(), ElementsAre(UnitWarning(f, kDesign), UnitWarning(f, kHandle),
                                   UnitWarning(f, kDnm), UnitWarning(f, kQuick),
                                   UnitWarning(f, kDbTables), UnitWarning(f, kValorEscrito),
                                   UnitWarning(f, kQuemado)));
}

TEST_F(SourceChecks, ReportPreviewCallCountsOnlyAfterAReportWasSeen) {
  const std::string unit = "CvAsignarRptPreview(frxRpt);";
  Check("UGnA.pas", unit);
  EXPECT_FALSE(estado.gBoExistFunctDRpt);

  Check("UGnB.dfm", Text({"object FrmB: TFrmB", "  object frxRpt: TfrxReport", "  end", "end"}));
  EXPECT_TRUE(estado.gBoExistFrx);
  Check("UGnB.pas", unit, "Servidor");
  EXPECT_FALSE(estado.gBoExistFunctDRpt);
  Check("UGnB.pas", unit);
  EXPECT_TRUE(estado.gBoExistFunctDRpt);
  Check("UGnC.pas", "procedure Nada;");
  EXPECT_TRUE(estado.gBoExistFunctDRpt);
}

TEST_F(SourceChecks, ResultCodesOfClientForms) {
  struct Case {
    const char* name;
    std::string form;
    int code;
    Lines obj_cone;
  } cases[] = {
      {"plain", Text({"object FrmA: TFrmA", "  Caption = 'A'", "end"}), 0, {}},
      {"open connection",
       Text({"object DmA: TDataModule", "  object DmCon: SDCOMConnection", "    Connected = True",
             "  end", "  object CdsA: SClientDataSet", "    Active = True", "  end", "end"}),
       1, {}},
      {"open database", Text({"object DbA: SDatabase", "  connected = true", "end"}), 1, {}},
      {"connection of an unchecked kind",
       Text({"object FrmA: TForm", "  object Con: TADOConnection", "    Connected = True",
             "  end", "end"}),
       0, {}},
      {"connected without blanks",
       Text({"object DmCon: SDCOMConnection", "  Connected=True", "end"}), 0, {}},
      {"active SClientDataSet",
       Text({"object FrmA: TFrmA", "  object CdsUno: SClientDataSet", "    Active = True", "  end",
             "  object CdsDos: sclientdataset", "    Active = True", "  end", "end"}),
       3, {"CdsUno", "CdsDos"}},
      {"inactive or other property",
       Text({"object CdsUno: SClientDataSet", "  Active=True", "  ReadOnlyActive = True", "end"}),
       0, {}},
      {"CdsGnEmpre active",
       Text({"object FrmA: TFrmA", "  object CdsUno: SClientDataSet", "    Active = True", "  end",
             "  object CdsGnEmpre: TClientDataSet", "    Active = True", "  end",
             "  object CdsDos: SClientDataSet", "    Active = True", "  end", "end"}),
       8, {"CdsUno"}},
      {"CdsGnEmpre spelled otherwise",
       Text({"object cdsGnEmpre: TClientDataSet", "  Active = True", "end"}), 0, {}},
      {"OnCreate nil",
       Text({"inherited FrmGnAbcde: TFrmGnAbcde", "  OnCreate = Nil ",
             "  object CdsUno: SClientDataSet", "    Active = True", "  end", "end"}),
       6, {}},
      {"OnCreate handler",
       Text({"inherited FrmGnAbcde: TFrmGnAbcde", "  OnCreate = FormCreate",
             "  object CdsUno: SClientDataSet", "    Active = True", "  end", "end"}),
       7, {}},
      {"OnCreate after an active data set",
       Text({"object FrmA: TfrmA", "  object CdsUno: SClientDataSet", "    Active = True",
             "  end", "  object FrmHija: TFrmHija", "    OnCreate = nil", "  end", "end"}),
       6, {"CdsUno"}},
      {"OnCreate of an unchecked kind",
       Text({"object FrmA: TForm", "  OnCreate = nil", "end"}), 0, {}},
  };
  for (const Case& c : cases) {
    estado = EstadoFuentes{};
    estado.gBoTituloNota = true;
    EXPECT_EQ(Check("UGnA.dfm", c.form), c.code) << c.name;
    EXPECT_EQ(estado.gSlObjCone, c.obj_cone) << c.name;
    EXPECT_THAT(Taken(), IsEmpty()) << c.name;
  }
}

TEST_F(SourceChecks, ObjectNamesComeFromTheHeaderLine) {
  struct Case {
    const char* header;
    const char* name;
  } cases[] = {
      {"object CdsDatos: SClientDataSet", "CdsDatos"},
      {"  inherited CdsDatos : SClientDataSet", "CdsDatos"},
      {"\tOBJECT   CdsDatos:SClientDataSet", "CdsDatos"},
      {"object CdsItems: SClientDataSet", "Cdss"},  // the first "ITEM" goes wherever it stands
  };
  for (const Case& c : cases) {
    estado = EstadoFuentes{};
    estado.gBoTituloNota = true;
    EXPECT_EQ(Check("UGnA.dfm", Text({c.header, "  Active = True", "end"})), 3) << c.header;
    EXPECT_THAT(estado.gSlObjCone, ElementsAre(c.name));
  }
}

TEST_F(SourceChecks, AnEmbeddedFrameBelongsToTheObjectBeforeIt) {
  estado.gBoTituloNota = true;
  const std::string inline_frame =
      Text({"object FrmA: TForm", "  object CdsUno: SClientDataSet", "  inline FraDatos: TFraDatos",
            "    Active = True", "  end", "end"});
  EXPECT_EQ(Check("UGnA.dfm", inline_frame), 3);
  EXPECT_THAT(estado.gSlObjCone, ElementsAre("CdsUno"));

  estado.gSlObjCone.clear();
  const std::string object_frame =
      Text({"object FrmA: TForm", "  object CdsUno: SClientDataSet", "  object FraDatos: TFraDatos",
            "    Active = True", "  end", "end"});
  EXPECT_EQ(Check("UGnA.dfm", object_frame), 0);
  EXPECT_THAT(estado.gSlObjCone, IsEmpty());
}

TEST_F(SourceChecks, NotesTitleFreesLaterFormsOfTheProgram) {
  const std::string plain_form =
      Text({"object FrmA: TFrmA", "  object CdsUno: SClientDataSet", "    Active = True", "  end",
            "end"});
  EXPECT_EQ(Check("UGnA.dfm", plain_form), 2);
  EXPECT_FALSE(estado.gBoTituloNota);
  EXPECT_THAT(estado.gSlObjCone, IsEmpty());  // no data set is judged while the title is missing

  const std::string untitled =
      Text({"object FrmB: TForm", "  object Notas: TMNotas", "    Lineas = 3", "  end", "end"});
  EXPECT_EQ(Check("UGnB.dfm", untitled), 2);
  EXPECT_FALSE(estado.gBoTituloNota);

  const std::string titled =
      Text({"object FrmMain: TFrmMain", "  object Notas: TMNotas", "    TituloForma = 'Abc'",
            "  end", "  object DbA: SQuery", "  end", "end"});
  EXPECT_EQ(Check("UGnAbcde.dfm", titled), 0);
  EXPECT_TRUE(estado.gBoTituloNota);

  EXPECT_EQ(Check("UGnC.dfm", plain_form), 3);
  EXPECT_THAT(estado.gSlObjCone, ElementsAre("CdsUno"));
  EXPECT_THAT(Taken(), IsEmpty());
}

TEST_F(SourceChecks, ServerFormsReportFieldsAndAncestorReferences) {
  const std::string form = Text({
      "object DmGnAbcde: TDataModule",
      "  object CdsXNOM: TStringField",
      "    FieldKind = fkLookup",
      "  end",
      "  object CdsXCAL: TStringField",
      "    FieldKind = FKCALCULATED",
      "  end",
      "  object QryUno: SQuery",
      "    SQL.Strings = ( 'select * from mdmrancestrodmr' )",
      "  end",
      "  object Etiqueta: TLabel",
      "    FieldKind = fkLookup",
      "  end",
      "  object CdsUno: SClientDataSet",
      "    Active = True",
      "    OnCreate = nil",
      "  end",
      "end",
  });
  EXPECT_EQ(Check("DmGnAbcde.dfm", form, "Servidor"), 0);
  EXPECT_THAT(Taken(),
              ElementsAre("El campo CdsXNOM tipo fkLookup existe en el servidor Verifique...",
                          "El campo CdsXCAL tipo fkCalculated existe en el servidor Verifique..."));
  EXPECT_THAT(estado.gSlObjCone, ElementsAre("QryUno"));
  EXPECT_FALSE(estado.gBoTituloNota);

  EXPECT_EQ(Check("DmCon.dfm", Text({"object DmCon: SDCOMConnection", "  Connected = True", "end"}),
                  "Servidor"),
            1);

  // The same fields in a client form are no concern.
  estado = EstadoFuentes{};
  estado.gBoTituloNota = true;
  EXPECT_EQ(Check("UGnAbcde.dfm", form), 6);
  EXPECT_THAT(Taken(), IsEmpty());
  EXPECT_THAT(estado.gSlObjCone, ElementsAre("CdsUno"));
}

TEST_F(SourceChecks, ReportPreviewMustDisallowEditing) {
  estado.gBoTituloNota = true;
  const std::string form = Text({
      "object FrmA: TForm",
      "  object frxUno: TfrxReport",
      "    PreviewOptions.Buttons = [pbPrint, pbZoom]",
      "    PreviewOptions.Zoom = 1.000000000000000000",
      "  end",
      "  object frxDos: TfrxReport",
      "    PreviewOptions.AllowEdit = False",
      "    PreviewOptions.Buttons = [pbPrint]",
      "  end",
      "  object frxTres: TfrxReport",
      "    ReportOptions.Name = 'sin vista previa'",
      "  end",
      "  object CdsPrev: SClientDataSet",
      "    PreviewOptions.Buttons = [pbPrint]",
      "  end",
      "end",
  });
  EXPECT_EQ(Check("dir/UGnA.dfm", form), 0);
  EXPECT_THAT(Taken(), ElementsAre("En el arhivo UGnA.dfm el objeto frxUno en la propiedad "
                                   "PreviewOptions no tiene en false la opción AllowEdit, "
                                   "verifique..."));
  EXPECT_TRUE(estado.gBoExistFrx);
  EXPECT_FALSE(estado.gBoExistPDF);
}

TEST_F(SourceChecks, ExportAndReportFlagsAfterTheScanOfClientForms) {
  const std::string stopped_early = Text({
      "object DmCon: SDCOMConnection",
      "  Connected = True",
      "end",
      "object frxPDF: TfrxPDFExport",
      "end",
      "object frxRpt: TfrxReport",
      "end",
  });
  EXPECT_EQ(Check("UGnA.dfm", stopped_early, "Servidor"), 1);
  EXPECT_FALSE(estado.gBoExistPDF);
  EXPECT_FALSE(estado.gBoExistFrx);
  EXPECT_EQ(Check("UGnA.dfm", stopped_early), 1);
  EXPECT_TRUE(estado.gBoExistPDF);
  EXPECT_TRUE(estado.gBoExistFrx);

  // Once seen, a flag stays for the program.
  EXPECT_EQ(Check("UGnB.dfm", Text({"object FrmB: TForm", "end"})), 0);
  EXPECT_TRUE(estado.gBoExistPDF);
  EXPECT_TRUE(estado.gBoExistFrx);
}

TEST_F(SourceChecks, BinaryFormIsNotRead) {
  const std::string binary =
      "TPF0\x0BTFrmGnAbcde\x0A" "FrmGnAbcde\x04Left\x02\x00\x03Top\x02\x00\x0ATfrxReport\x00\xFF"s;
  for (const char* kind : {"Cliente", "Servidor"}) {
    EXPECT_EQ(Check("UGnAbcde.dfm", binary, kind), 0);
    EXPECT_THAT(Taken(), ElementsAre(std::string("No se puedo validar el archivo!, en el ") + kind +
                                     " el archivo UGnAbcde.dfm, No se encuentre como texto, "
                                     "valide la propiedad Text Dfm"));
  }
  EXPECT_TRUE(Untouched(estado));
}

TEST_F(SourceChecks, UnreadableFilesAddTwoLines) {
  const std::string missing = dir.Path("UFalta.dfm");
  EXPECT_EQ(validador.ValidarConexion(missing, "Cliente", mensajes, estado), 0);
  Lines lines = Taken();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "No se pudo validar el archivo " + missing);
  EXPECT_NE(lines[1].find(missing), std::string::npos) << lines[1];

  // The file is read before its kind is known.
  const std::string other = dir.Path("Notas.txt");
  EXPECT_EQ(validador.ValidarConexion(other, "Servidor", mensajes, estado), 0);
  EXPECT_EQ(Taken().front(), "No se pudo validar el archivo " + other);

  for (const char* empty : {"", "\xEF\xBB\xBF"}) {
    const std::string path = dir.Write("UVacia.dfm", empty);
    EXPECT_EQ(validador.ValidarConexion(path, "Cliente", mensajes, estado), 0);
    lines = Taken();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "No se pudo validar el archivo " + path);
    EXPECT_FALSE(lines[1].empty());
  }

  // An empty unit or a file of another kind has nothing to report.
  EXPECT_EQ(Check("UVacia.pas", ""), 0);
  EXPECT_EQ(Check("Notas.txt", "object X: SDCOMConnection\r\nConnected = True\r\n"), 0);
  EXPECT_THAT(Taken(), IsEmpty());
}

TEST_F(SourceChecks, ClientFilesOfAServerOnlyProgramAreSkipped) {
  estado.gBoSoloServ = true;
  EXPECT_EQ(validador.ValidarConexion(dir.Path("UFalta.dfm"), "Cliente", mensajes, estado), 0);
  EXPECT_EQ(Check("UGnA.pas", "gHandleTareas := 0;"), 0);
  EXPECT_THAT(Taken(), IsEmpty());
  EXPECT_EQ(Check("DmGnA.pas", "uses DBTables;", "Servidor"), 0);
  EXPECT_THAT(Taken(), ElementsAre(UnitWarning("DmGnA.pas", kDbTables)));
}

TEST_F(SourceChecks, LinesCarryTheProgramPrefixAndPathsIgnoreCase) {
  mensajes.SetCodProg("MGNABCDE");
  dir.Write("CGnAbcde/UGnAbcde.pas", "uses DBTables;");
  EXPECT_EQ(validador.ValidarConexion(dir.Path("cgnabcde/ugnabcde.PAS"), "Cliente", mensajes,
                                      estado),
            0);
  EXPECT_THAT(Taken(), ElementsAre("MGNABCDE : El Arhivo ugnabcde.PAS" + kDbTables));
}

TEST_F(SourceChecks, EncodingsAndLineEnds) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"Windows-1252 CR LF",
       "object CdsVersi\xF3n: TStringField\r\n  FieldKind = fkLookup\r\nend\r\n"},
      {"Windows-1252 LF", "object CdsVersi\xF3n: TStringField\n  FieldKind = fkLookup\nend\n"},
      {"UTF-8 LF", "object CdsVersi\xC3\xB3n: TStringField\n  FieldKind = fkLookup\nend"},
      {"UTF-8 BOM CR LF",
       "\xEF\xBB\xBFobject CdsVersi\xC3\xB3n: TStringField\r\n  FieldKind = fkLookup\r\nend\r\n"},
      {"UTF-8 BOM CR",
       "\xEF\xBB\xBFobject CdsVersi\xC3\xB3n: TStringField\r  FieldKind = fkLookup\rend"},
      {"UTF-16 LE BOM", "\xFF\xFEo\0b\0j\0e\0c\0t\0 \0C\0d\0s\0V\0e\0r\0s\0i\0\xF3\0n\0:\0 "
                        "\0T\0S\0t\0r\0i\0n\0g\0F\0i\0e\0l\0d\0\n\0f\0k\0L\0o\0o\0k\0u\0p\0"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Check("DmGnAbcde.dfm", c.bytes, "Servidor"), 0) << c.name;
    EXPECT_THAT(Taken(), ElementsAre("El campo CdsVersi\xC3\xB3n tipo fkLookup existe en el "
                                     "servidor Verifique..."))
        << c.name;
  }

  // A lone CR ends a line too, so "." never spans one.
  EXPECT_EQ(Check("DmGnAbcde.pas", "x := Application\rTag;", "Servidor"), 0);
  EXPECT_EQ(Check("DmGnAbcde.pas", "x := Application\nTag;", "Servidor"), 0);
  EXPECT_EQ(Check("UGnAbcde.pas", "{ TODO revisar\r cQuemado }"), 0);
  EXPECT_THAT(Taken(), IsEmpty());
  EXPECT_EQ(Check("UGnAbcde.pas", "{ TODO revisar cQuemado en la versi\xF3n }"), 0);
  EXPECT_THAT(Taken(), ElementsAre(UnitWarning("UGnAbcde.pas", kQuemado)));
}

TEST_F(SourceChecks, LargeFilesInLinearTime) {
  estado.gBoTituloNota = true;
  std::string form = "object FrmA: TFrmA\r\n";
  for (int i = 0; i < 100000; ++i) form += "  Tag = " + std::to_string(i) + "\r\n";
  form += "  Hint = '" + std::string(4 << 20, 'x') + "'\r\n";
  form += "  object CdsUltimo: SClientDataSet\r\n    Active = True\r\n  end\r\nend\r\n";

  // A "//" followed by a long run of blanks once took time quadratic in the
  // run's length.
  std::string unit = "frxRpt.DesignReport;\r\n//";
  unit += std::string(1 << 20, ' ');
  for (int i = 0; i < 100000; ++i) unit += "\r\n";
  unit += "frxRpt.Tag := 0;\r\n";

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Check("UGnA.dfm", form), 3);
  EXPECT_EQ(Check("UGnA.pas", unit), 0);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_THAT(estado.gSlObjCone, ElementsAre("CdsUltimo"));
  EXPECT_THAT(Taken(), ElementsAre(UnitWarning("UGnA.pas", kDesign)));
  EXPECT_LT(seconds, 30.0);
}

}  // namespace
}  // namespace paquel
