#include "tornel/settings/mem_table.h"

#include <gtest/gtest.h>

#include "platform/strings.h"

namespace tornel {
namespace {

using State = MemTable::State;

MemTable Props() {
  return MemTable("cdsProjProp", {{"COD_PROP", FieldType::kText, 254, "Código"},
                                  {"ACT_PROP", FieldType::kText, 1, "Activo"},
                                  {"VAL_PROP", FieldType::kText, 2048, "Valor"},
                                  {"USA_PKGE", FieldType::kBoolean, 0, ""}});
}

void AddRow(MemTable& t, const std::string& code, const std::string& active) {
  t.Append();
  t.SetText("COD_PROP", code);
  t.SetText("ACT_PROP", active);
  t.Post();
}

TEST(MemTable, RefusesBadDeclarations) {
  std::vector<FieldDef> twice = {{"A", FieldType::kText, 5, ""}, {"A", FieldType::kText, 5, ""}};
  std::vector<FieldDef> sizeless = {{"A", FieldType::kText, 0, ""}};
  std::vector<FieldDef> flag = {{"B", FieldType::kBoolean, 0, ""}};
  EXPECT_THROW(MemTable("t", twice), ETableError);
  EXPECT_THROW(MemTable("t", sizeless), ETableError);
  EXPECT_NO_THROW(MemTable("t", flag));
}

TEST(MemTable, AppendEditPostAndCancel) {
  MemTable t = Props();
  EXPECT_EQ(t.RecordCount(), 0);
  EXPECT_TRUE(t.Eof());

  t.Append();
  EXPECT_EQ(t.GetState(), State::kInsert);
  t.SetText("COD_PROP", "DCU_OUTPUT_CLI");
  EXPECT_EQ(t.Text("COD_PROP"), "DCU_OUTPUT_CLI");  // the pending row is readable
  EXPECT_EQ(t.RecordCount(), 0);
  t.Post();
  EXPECT_EQ(t.GetState(), State::kBrowse);
  EXPECT_EQ(t.RecordCount(), 1);
  EXPECT_EQ(t.RecNo(), 0);
  EXPECT_FALSE(t.Eof());

  t.Append();
  t.SetText("COD_PROP", "dropped");
  t.Cancel();
  EXPECT_EQ(t.RecordCount(), 1);
  EXPECT_EQ(t.Text("COD_PROP"), "DCU_OUTPUT_CLI");

  t.Edit();
  EXPECT_EQ(t.GetState(), State::kEdit);
  t.SetText("COD_PROP", "changed");
  t.Cancel();
  EXPECT_EQ(t.Text("COD_PROP"), "DCU_OUTPUT_CLI");

  t.Edit();
  t.SetText("COD_PROP", "changed");
  t.Post();
  EXPECT_EQ(t.Text("COD_PROP"), "changed");
  EXPECT_EQ(t.RecordCount(), 1);

  // Appending while another row is pending posts that row first.
  t.Append();
  t.SetText("COD_PROP", "second");
  t.Append();
  t.Cancel();
  EXPECT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(t.Text("COD_PROP"), "second");
}

TEST(MemTable, TextIsCutToTheFieldSizeInCharacters) {
  struct Case {
    const char* field;
    std::string value;
    std::string want;
  } cases[] = {
      {"ACT_PROP", "SN", "S"},
      {"ACT_PROP", "ñN", "ñ"},
      {"ACT_PROP", "", ""},
      {"COD_PROP", std::string("AB\0CD", 5), "AB"},
      {"VAL_PROP", std::string(2048, 'x'), std::string(2048, 'x')},
  };
  MemTable t = Props();
  t.Append();
  for (const auto& c : cases) {
    t.SetText(c.field, c.value);
    EXPECT_EQ(t.Text(c.field), c.want) << c.field << " <- " << c.value.substr(0, 20);
  }

  std::string long_value;
  for (int i = 0; i < 3000; ++i) long_value += "é";
  t.SetText("VAL_PROP", long_value);
  EXPECT_EQ(platform::Utf8Length(t.Text("VAL_PROP")), 2048u);
  EXPECT_EQ(t.Text("VAL_PROP"), long_value.substr(0, 2 * 2048));
}

TEST(MemTable, NullIsApartFromEmptyAndFalse) {
  MemTable t = Props();
  EXPECT_TRUE(t.IsNull("COD_PROP"));  // no row at all
  t.Append();
  EXPECT_TRUE(t.IsNull("COD_PROP"));
  EXPECT_TRUE(t.IsNull("USA_PKGE"));
  EXPECT_EQ(t.Text("COD_PROP"), "");
  EXPECT_FALSE(t.Bool("USA_PKGE"));

  t.SetText("COD_PROP", "");
  t.SetBool("USA_PKGE", false);
  EXPECT_FALSE(t.IsNull("COD_PROP"));
  EXPECT_FALSE(t.IsNull("USA_PKGE"));
  t.SetBool("USA_PKGE", true);
  EXPECT_TRUE(t.Bool("USA_PKGE"));
  t.Post();
  EXPECT_EQ(t.Value(0, t.FieldIndex("COD_PROP")), FieldValue(std::string()));
  EXPECT_EQ(t.Value(0, t.FieldIndex("USA_PKGE")), FieldValue(true));
  EXPECT_EQ(t.Value(0, t.FieldIndex("VAL_PROP")), FieldValue());

  t.Edit();
  t.SetNull("USA_PKGE");
  t.Post();
  EXPECT_TRUE(t.IsNull("USA_PKGE"));
}

TEST(MemTable, MisuseThrowsNamingTheTableAndField) {
  MemTable t = Props();
  AddRow(t, "A", "S");
  try {
    t.Text("cod_prop");  // names are exact
    FAIL() << "unknown field accepted";
  } catch (const ETableError& e) {
    EXPECT_NE(std::string(e.what()).find("cod_prop"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("cdsProjProp"), std::string::npos) << e.what();
    EXPECT_STREQ(e.ClassName(), "ETableError");
  }
  EXPECT_THROW(t.Locate("NOPE", "A"), ETableError);
  EXPECT_THROW(t.SetText("COD_PROP", "B"), ETableError);  // not appending or editing
  t.Edit();
  EXPECT_THROW(t.SetText("USA_PKGE", "True"), ETableError);
  EXPECT_THROW(t.SetBool("COD_PROP", true), ETableError);
  EXPECT_THROW(t.Bool("COD_PROP"), ETableError);
  EXPECT_THROW(t.Text("USA_PKGE"), ETableError);
  t.Cancel();
  EXPECT_THROW(t.MoveTo(1), ETableError);
  EXPECT_THROW(t.Value(1, 0), ETableError);

  MemTable empty = Props();
  EXPECT_THROW(empty.Edit(), ETableError);
  EXPECT_THROW(empty.Delete(), ETableError);
}

TEST(MemTable, CursorWalksLocatesAndDeletes) {
  MemTable t = Props();
  AddRow(t, "DCU_OUTPUT_CLI", "S");
  AddRow(t, "DCU_OUTPUT_SRV", "N");
  AddRow(t, "PRG_OUTPUT_CLI", "");

  std::vector<std::string> walked;
  for (t.First(); !t.Eof(); t.Next()) walked.push_back(t.Text("COD_PROP"));
  EXPECT_EQ(walked, (std::vector<std::string>{"DCU_OUTPUT_CLI", "DCU_OUTPUT_SRV", "PRG_OUTPUT_CLI"}));
  EXPECT_EQ(t.RecNo(), 2);  // the last row stays current after the walk

  EXPECT_TRUE(t.Locate("COD_PROP", "DCU_OUTPUT_SRV"));
  EXPECT_EQ(t.RecNo(), 1);
  EXPECT_EQ(t.Text("ACT_PROP"), "N");
  EXPECT_FALSE(t.Locate("COD_PROP", "dcu_output_cli"));
  EXPECT_FALSE(t.Locate("COD_PROP", "DCU_OUTPUT"));
  EXPECT_EQ(t.RecNo(), 1);

  // A pending edit is posted before the search, so it can be found.
  t.Edit();
  t.SetText("COD_PROP", "EDITED");
  EXPECT_TRUE(t.Locate("COD_PROP", "EDITED"));
  EXPECT_EQ(t.GetState(), State::kBrowse);

  t.Append();
  t.Delete();  // drops the new row only
  EXPECT_EQ(t.RecordCount(), 3);

  t.MoveTo(2);
  t.Delete();
  EXPECT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(t.RecNo(), 1);
  EXPECT_EQ(t.Text("COD_PROP"), "EDITED");
  t.First();
  t.Delete();
  EXPECT_EQ(t.Text("COD_PROP"), "EDITED");
  t.Delete();
  EXPECT_EQ(t.RecordCount(), 0);
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecNo(), -1);

  AddRow(t, "X", "S");
  t.Append();
  t.EmptyTable();
  EXPECT_EQ(t.RecordCount(), 0);
  EXPECT_EQ(t.GetState(), State::kBrowse);
  EXPECT_TRUE(t.Eof());
}

}  // namespace
}  // namespace tornel
