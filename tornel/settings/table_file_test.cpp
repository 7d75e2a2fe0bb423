#include "tornel/settings/table_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "platform/strings.h"
#include "testsupport/temp_dir.h"

namespace tornel {
namespace {

using testsupport::ReadAll;
using testsupport::TempDir;

std::vector<FieldDef> PropFields() {
  return {{"COD_PROP", FieldType::kText, 254, "Código"},
          {"NOM_PROP", FieldType::kText, 254, "Propiedad"},
          {"ACT_PROP", FieldType::kText, 1, "Activo"},
          {"VAL_PROP", FieldType::kText, 2048, "Valor"}};
}

MemTable Props() { return MemTable("cdsProjProp", PropFields()); }

// One row per call; a null in the list leaves that field null.
void AddRow(MemTable& t, std::vector<std::optional<std::string>> texts,
            std::optional<bool> flag = std::nullopt) {
  t.Append();
  size_t i = 0;
  for (const FieldDef& f : t.Fields()) {
    if (f.type == FieldType::kText) {
      if (i < texts.size() && texts[i]) t.SetText(f.name, *texts[i]);
      ++i;
    } else if (flag) {
      t.SetBool(f.name, *flag);
    }
  }
  t.Post();
}

std::vector<std::vector<FieldValue>> Contents(const MemTable& t) {
  std::vector<std::vector<FieldValue>> rows;
  for (int r = 0; r < t.RecordCount(); ++r) {
    rows.emplace_back();
    for (size_t f = 0; f < t.Fields().size(); ++f) rows.back().push_back(t.Value(r, f));
  }
  return rows;
}

TEST(TablaXml, RoundTripKeepsEveryValueNullsAndFieldDefinitions) {
  TempDir dir;
  std::string file = dir.Path("Tornel_cdsProjProp.xml");
  std::vector<FieldDef> fields = PropFields();
  fields.push_back({"USA_PKGE", FieldType::kBoolean, 0, ""});
  MemTable saved("cdsProjProp", fields);
  AddRow(saved, {"DCU_OUTPUT_CLI", "Directorio DCU - Cliente", "S", "C:\\MORVEL\\DCU\\CLI"}, true);
  AddRow(saved, {"EMPTY_AND_NULL", "", std::nullopt, ""}, false);
  AddRow(saved, {"ÑANDÚ €", "línea 1\r\nlínea 2\n\tfin\r", "N", " <&> \"q\" 'a' \x01\x1f "});
  AddRow(saved, {std::nullopt, std::nullopt, std::nullopt, std::nullopt});

  GuardarTablaXml(saved, file);
  std::string bytes = ReadAll(file);
  EXPECT_TRUE(bytes.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<table name=\"cdsProjProp\">"))
      << bytes;
  EXPECT_NE(bytes.find("<field name=\"ACT_PROP\" type=\"text\" size=\"1\" />"), std::string::npos);
  EXPECT_NE(bytes.find("<field name=\"USA_PKGE\" type=\"boolean\" />"), std::string::npos);

  MemTable loaded("cdsProjProp", fields);
  AddRow(loaded, {"STALE"});
  CargarTablaXml(loaded, file);
  EXPECT_EQ(Contents(loaded), Contents(saved));
  EXPECT_EQ(loaded.RecNo(), 0);

  // Saving what was loaded gives the same file.
  GuardarTablaXml(loaded, file);
  EXPECT_EQ(ReadAll(file), bytes);
}

TEST(TablaXml, LoadMatchesFieldsByNameAndCutsToTheDeclaredSize) {
  TempDir dir;
  std::string file = dir.Path("t.xml");
  // Written by a table whose fields differ from the declared ones: wider
  // ACT_PROP and VAL_PROP, an extra field, and no NOM_PROP.
  MemTable wide("cdsProjProp", {{"VAL_PROP", FieldType::kText, 5000, ""},
                                {"EXTRA", FieldType::kText, 10, ""},
                                {"ACT_PROP", FieldType::kText, 10, ""},
                                {"COD_PROP", FieldType::kText, 254, ""}});
  std::string long_value;
  for (int i = 0; i < 3000; ++i) long_value += (i % 2 ? "é" : "x");
  AddRow(wide, {long_value, "ignored", "SN", "DCU_OUTPUT_CLI"});
  GuardarTablaXml(wide, file);

  MemTable t = Props();
  CargarTablaXml(t, file);
  ASSERT_EQ(t.RecordCount(), 1);
  EXPECT_EQ(t.Text("COD_PROP"), "DCU_OUTPUT_CLI");
  EXPECT_TRUE(t.IsNull("NOM_PROP"));
  EXPECT_EQ(t.Text("ACT_PROP"), "S");
  EXPECT_EQ(platform::Utf8Length(t.Text("VAL_PROP")), 2048u);
  EXPECT_EQ(t.Text("VAL_PROP"), platform::Utf8Left(long_value, 2048));
}

TEST(TablaXml, NoFileOrBlankNameLeavesTheTableEmpty) {
  TempDir dir;
  for (std::string file : {dir.Path("missing.xml"), std::string(" "), dir.path()}) {
    MemTable t = Props();
    AddRow(t, {"OLD"});
    EXPECT_NO_THROW(CargarTablaXml(t, file)) << file;
    EXPECT_EQ(t.RecordCount(), 0) << file;
  }
  MemTable t = Props();
  AddRow(t, {"A"});
  EXPECT_NO_THROW(GuardarTablaXml(t, "  "));
  EXPECT_TRUE(platform::ListDirectory(dir.path()).empty());
}

TEST(TablaXml, UnloadableFileIsKeptAsBackupDeletedAndReported) {
  struct Case {
    const char* what;
    std::string content;
  } cases[] = {
      {"not well-formed", "<table name=\"cdsProjProp\"><rows><row COD_PROP=\"A\">"},
      {"empty", ""},
      {"other root", "<?xml version=\"1.0\"?><Tornel><INIC/></Tornel>"},
      {"bad Boolean", "<table><rows><row USA_PKGE=\"yes\"/></rows></table>"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string file = dir.Write("Tornel_cdsProjProp.xml", c.content);
    dir.Write("Tornel_cdsProjProp.xml.bak", "older backup");
    std::vector<FieldDef> fields = PropFields();
    fields.push_back({"USA_PKGE", FieldType::kBoolean, 0, ""});
    MemTable t("cdsProjProp", fields);
    AddRow(t, {"OLD"});
    try {
      CargarTablaXml(t, file);
      ADD_FAILURE() << c.what << ": loaded";
    } catch (const platform::Error& e) {
      EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << c.what << ": " << e.what();
    }
    EXPECT_EQ(t.RecordCount(), 0) << c.what;
    EXPECT_FALSE(platform::FileExists(file)) << c.what;
    EXPECT_EQ(ReadAll(file + ".bak"), c.content) << c.what;
  }

  // Without a copy the broken file is not dropped.
  TempDir dir;
  std::string file = dir.Write("t.xml", "<table>");
  std::string bak = dir.Write("t.xml.bak", "older backup");
  ASSERT_EQ(::chmod(bak.c_str(), 0444), 0);
  MemTable t = Props();
  EXPECT_THROW(CargarTablaXml(t, file), platform::EDOMParseError);
  EXPECT_EQ(ReadAll(file), "<table>");
  EXPECT_EQ(ReadAll(bak), "older backup");
}

TEST(TablaXml, SavePostsThePendingRow) {
  TempDir dir;
  std::string file = dir.Path("t.xml");
  MemTable t = Props();
  AddRow(t, {"A"});
  t.Edit();
  t.SetText("ACT_PROP", "N");
  t.Append();
  t.SetText("COD_PROP", "B");
  GuardarTablaXml(t, file);
  EXPECT_EQ(t.GetState(), MemTable::State::kBrowse);

  MemTable loaded = Props();
  CargarTablaXml(loaded, file);
  EXPECT_EQ(Contents(loaded), Contents(t));
  ASSERT_EQ(loaded.RecordCount(), 2);
  EXPECT_EQ(loaded.Text("ACT_PROP"), "N");
}

TEST(TablaXml, SaveFailureReachesTheCallerAndKeepsTheOldFile) {
  TempDir dir;
  MemTable t = Props();
  AddRow(t, {"A"});
  EXPECT_THROW(GuardarTablaXml(t, dir.Path("gone/t.xml")), platform::EFCreateError);

  std::string file = dir.Write("t.xml", "old");
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_THROW(GuardarTablaXml(t, file), platform::EFCreateError);
  EXPECT_EQ(ReadAll(file), "old");

  MemTable odd("odd", {{"1ST", FieldType::kText, 5, ""}});
  EXPECT_THROW(GuardarTablaXml(odd, dir.Path("odd.xml")), ETableFileError);
}

TEST(PrimeraLetraMayuscula, FirstCharacterOfTheTrimmedTextUpperCased) {
  struct Case {
    const char* text;
    char want;
  } cases[] = {
      {"S", 'S'}, {"s", 'S'}, {"  no ", 'N'}, {"\tsí", 'S'},
      {"", '\0'}, {"   ", '\0'}, {"1", '1'}, {"x", 'X'},
  };
  for (const auto& c : cases) EXPECT_EQ(PrimeraLetraMayuscula(c.text), c.want) << "[" << c.text << "]";
}

}  // namespace
}  // namespace tornel
