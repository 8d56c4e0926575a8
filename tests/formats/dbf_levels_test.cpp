// Tables of levels 3, 4 and 5 as other programs write them, built byte by byte here, and
// deleted records.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "formats/dbf_table.h"
#include "formats/dbf_test_fixture.h"
#include "support/export_fixture.h"

namespace ttp::test {
namespace {

using dbf::FieldType;
using dbf::Table;

const std::vector<OldField> kSolucFields = {
    {"DIA", 'N', 9},  {"HORA", 'N', 9},   {"PROF", 'C', 6},  {"HORAS", 'N', 18, 8},
    {"F", 'F', 6, 2}, {"ACTIVO", 'L', 1}, {"FECHA", 'D', 8},
};

// Records as another program leaves them: right-aligned numbers, blank for no value.
const std::vector<std::string> kSolucRecords = {
    std::string(" ") + "        1" + "        3" + "PROF1 " + "        1.50000000" + "  2.50" +
        "T" + "20241201",
    std::string(" ") + "         " + "       12" +
        "N\xFA\xF1"
        "ez " +
        "                  " + " -0.25" + "?" + "        ",
};

struct LevelCase {
    unsigned version, languageId;
    int level;
};

class DbfOldLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(DbfOldLevels, ReadsEveryValue) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    writeFile(file,
              oldTable(GetParam().version, GetParam().languageId, kSolucFields, kSolucRecords));
    Table table = Table::open(file);
    EXPECT_EQ(table.level(), GetParam().level);
    ASSERT_EQ(table.fields().size(), kSolucFields.size());
    const std::vector<FieldType> types = {
        FieldType::Integer, FieldType::Integer, FieldType::Character, FieldType::Float,
        FieldType::Float,   FieldType::Logical, FieldType::Other};
    for (std::size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(table.fields()[i].type, types[i]) << kSolucFields[i].name;
        EXPECT_EQ(table.fields()[i].width, kSolucFields[i].width);
        EXPECT_EQ(table.fields()[i].code, kSolucFields[i].code);
    }
    ASSERT_EQ(table.recordCount(), 2u);
    table.first();
    EXPECT_EQ(table.integer("DIA"), 1);
    EXPECT_EQ(table.integer("HORA"), 3);
    EXPECT_EQ(table.text("PROF"), "PROF1");
    EXPECT_EQ(table.text("HORAS"), "1.5");
    EXPECT_EQ(table.integer("HORAS"), 2);
    EXPECT_EQ(table.text("F"), "2.5");
    EXPECT_EQ(table.text("ACTIVO"), "True");
    EXPECT_EQ(table.text("FECHA"), "20241201");
    table.next();
    EXPECT_TRUE(table.isNull("DIA"));
    EXPECT_EQ(table.integer("DIA"), 0);
    EXPECT_EQ(table.text("DIA"), "");
    EXPECT_EQ(table.text("HORA"), "12");
    EXPECT_EQ(table.text("PROF"),
              "N\xFA\xF1"
              "ez");
    EXPECT_TRUE(table.isNull("HORAS"));
    EXPECT_EQ(table.text("F"), "-0.25");
    EXPECT_TRUE(table.isNull("ACTIVO"));
    EXPECT_EQ(table.text("FECHA"), "");
    table.next();
    EXPECT_TRUE(table.eof());
}

TEST_P(DbfOldLevels, AppendsInTheTablesOwnFormat) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    writeFile(file,
              oldTable(GetParam().version, GetParam().languageId, kSolucFields, kSolucRecords));
    {
        Table table = Table::open(file);
        table.append();
        table.setInteger("DIA", -42);
        table.setText("HORAS", "3.25");
        table.setText("F", "1");
        table.setLogical("ACTIVO", false);
        table.post();
    }
    const std::string bytes = readBytes(file);
    const std::size_t header = 32 + 32 * kSolucFields.size() + 1;
    const std::size_t record = kSolucRecords[0].size();
    EXPECT_EQ(byteOf(bytes, 0), GetParam().version);  // the level is kept
    EXPECT_EQ(le32(bytes, 4), 3u);
    EXPECT_EQ(bytes.substr(header + 2 * record, record),
              std::string(" ") + "      -42" + "         " + "      " + "        3.25000000" +
                  "  1.00" + "F" + "        ");
    EXPECT_EQ(bytes.back(), '\x1A');
}

INSTANTIATE_TEST_SUITE_P(Versions, DbfOldLevels,
                         ::testing::Values(LevelCase{0x03, 0x00, 3}, LevelCase{0x83, 0x00, 3},
                                           LevelCase{0x03, 0x58, 4}, LevelCase{0x8B, 0x00, 4},
                                           LevelCase{0xF5, 0x03, 5}),
                         [](const auto& info) {
                             char name[32];
                             std::snprintf(name, sizeof name, "version%02X_level%d",
                                           info.param.version, info.param.level);
                             return std::string(name);
                         });

TEST(DbfDeleted, CursorAndLocatePassOverDeletedRecords) {
    TempDir dir;
    const auto file = dir / "T.DBF";
    writeFile(file, oldTable(0x03, 0, {{"COD", 'C', 3}}, {"*uno", " dos", "*tre", " cua", "*cin"}));
    Table table = Table::open(file);
    EXPECT_EQ(table.recordCount(), 2u);
    std::vector<std::string> seen;
    std::vector<std::size_t> indexes;
    for (table.first(); !table.eof(); table.next()) {
        EXPECT_FALSE(table.isDeleted());
        seen.push_back(table.text("COD"));
        indexes.push_back(table.recordIndex());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"dos", "cua"}));
    EXPECT_EQ(indexes, (std::vector<std::size_t>{1, 3}));
    EXPECT_FALSE(table.locate("COD", "uno"));
    EXPECT_FALSE(table.locate("COD", "tre"));
    EXPECT_TRUE(table.locate("COD", "cua"));

    // Appending keeps the deleted records as they were.
    table.append();
    table.setText("COD", "sei");
    table.post();
    table.close();
    const std::string bytes = readBytes(file);
    EXPECT_EQ(bytes.substr(32 + 32 + 1), "*uno dos*tre cua*cin sei\x1A");
}

TEST(DbfDeleted, TableWithOnlyDeletedRecordsIsEmpty) {
    TempDir dir;
    const auto file = dir / "T.DBF";
    writeFile(file, oldTable(0x03, 0, {{"COD", 'C', 3}}, {"*uno"}));
    Table table = Table::open(file);
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.text("COD"), "");
    EXPECT_EQ(table.recordCount(), 0u);
}

TEST(DbfNumbers, ForeignNumberThatIsNoNumberIsAnError) {
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    writeFile(file, oldTable(0x03, 0, {{"DIA", 'N', 4}, {"HORAS", 'N', 6, 2}}, {" ***1  x.25"}));
    Table table = Table::open(file);
    for (const char* field : {"DIA", "HORAS"}) {
        try {
            (void)table.text(field);
            ADD_FAILURE() << field;
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), ::testing::HasSubstr(field));
            EXPECT_THAT(e.what(), ::testing::HasSubstr("SOLUC.DBF"));
        }
    }
}

}  // namespace
}  // namespace ttp::test
