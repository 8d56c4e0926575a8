// Our dBase engine against an independent one, Free Pascal's TDbf: TDbf reads what we
// write, and we read what TDbf writes at the levels another program may use.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "formats/text.h"
#include "interop/peer.h"
#include "support/export_fixture.h"

namespace ttp::test {
namespace {

using dbf::FieldDef;
using dbf::FieldType;
using dbf::Table;

const char* dataTypeOf(FieldType type) {
    switch (type) {
        case FieldType::Integer:
            return "Integer";
        case FieldType::Float:
            return "Float";
        case FieldType::Logical:
            return "Boolean";
        default:
            return "String";
    }
}

// Writes three rows into an open table, each field with a value chosen by its type, row
// and position, and returns what TDbf should show for each (no value: nullopt).
std::vector<PeerRecord> fillRows(Table& table) {
    std::vector<PeerRecord> expected;
    const std::string accented = text::toAnsi("Ñá");
    for (int r = 0; r < 3; ++r) {
        table.append();
        PeerRecord shown;
        for (std::size_t i = 0; i < table.fields().size(); ++i) {
            const FieldDef& f = table.fields()[i];
            std::optional<std::string> value;
            switch (f.type) {
                case FieldType::Character:
                    if ((i + r) % 3 != 2) {
                        // Longer than the field: cut to its width.
                        const std::string full =
                            accented + f.name + std::to_string(r) +
                            std::string(static_cast<std::size_t>(f.width), 'z');
                        table.setText(f.name, full);
                        value = full.substr(0, static_cast<std::size_t>(f.width));
                    }
                    break;
                case FieldType::Integer:
                    if (r < 2) {
                        const std::int64_t n = r == 0 ? 2147483647 - static_cast<int>(i)
                                                      : -(static_cast<std::int64_t>(i) * 1000 + 7);
                        table.setInteger(f.name, n);
                        value = std::to_string(n);
                    }
                    break;
                case FieldType::Float:
                    if (r < 2) {
                        table.setText(f.name, r == 0 ? "1234.125" : "-0,5");
                        value = r == 0 ? "1234.125" : "-0.5";
                    }
                    break;
                case FieldType::Logical:
                    if (r < 2) {
                        table.setLogical(f.name, r == 0);
                        value = r == 0 ? "True" : "False";
                    }
                    break;
                default:
                    break;
            }
            shown[f.name] = value;
        }
        table.post();
        expected.push_back(shown);
    }
    return expected;
}

void expectPeerSees(const std::filesystem::path& file, const std::vector<FieldDef>& fields,
                    const std::vector<PeerRecord>& records) {
    const PeerDump dump = peerDump(file);
    EXPECT_EQ(dump.level, 7);
    ASSERT_EQ(dump.fields.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        SCOPED_TRACE(fields[i].name);
        const PeerField& seen = dump.fields[i];
        EXPECT_EQ(seen.name, fields[i].name);
        EXPECT_EQ(seen.dataType, dataTypeOf(fields[i].type));
        switch (fields[i].type) {
            case FieldType::Character:
                EXPECT_EQ(seen.code, 'C');
                EXPECT_EQ(seen.width, fields[i].width);
                break;
            case FieldType::Integer:
                EXPECT_EQ(seen.code, 'I');
                EXPECT_EQ(seen.width, 4);
                break;
            case FieldType::Float:
                EXPECT_EQ(seen.code, 'N');
                EXPECT_EQ(seen.width, 18);
                EXPECT_EQ(seen.decimals, 8);
                break;
            case FieldType::Logical:
                EXPECT_EQ(seen.code, 'L');
                break;
            default:
                break;
        }
    }
    EXPECT_EQ(dump.records, records);
}

class StagingTableForTdbf : public ::testing::TestWithParam<const staging::TableDef* (*)()> {};

TEST_P(StagingTableForTdbf, ReadsNamesTypesWidthsAndValues) {
    const staging::TableDef& def = *GetParam()();
    TempDir dir;
    staging::rebuild(dir.path(), def);
    std::vector<PeerRecord> expected;
    {
        Table table = staging::open(dir.path(), def.name);
        expected = fillRows(table);
    }
    expectPeerSees(staging::tableFile(dir.path(), def.name), def.fields, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, StagingTableForTdbf,
    ::testing::Values([] { return &staging::asignomt(); }, [] { return &staging::proft(); },
                      [] { return &staging::aulat(); }, [] { return &staging::diashorast(); },
                      [] { return &staging::grupost(); }, [] { return &staging::asigt(); }),
    [](const auto& info) { return std::string(info.param()->name); });

TEST(TdbfReadsOurs, EveryTypeLongNamesAndEveryCodePageByte) {
    TempDir dir;
    const auto file = dir / "TIPOS.DBF";
    const std::string longName = "NOMBRE_DE_CAMPO_MUY_LARGO_31_CH";
    ASSERT_EQ(longName.size(), 31u);
    const std::vector<FieldDef> fields = {
        {longName, FieldType::Character, 254}, {"X", FieldType::Character, 1},
        {"ENTERO", FieldType::Integer},        {"REAL", FieldType::Float},
        {"SI_NO", FieldType::Logical},
    };
    Table::create(file, fields);
    std::string everyByte;  // every printable Windows-1252 byte, then more than fits
    for (int c = 0x20; c < 0x100; ++c) {
        if (c != 0x7F && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) {
            everyByte += static_cast<char>(c);
        }
    }
    everyByte += everyByte;
    std::vector<PeerRecord> expected;
    {
        Table table = Table::open(file);
        table.append();
        table.setText(longName, everyByte);
        table.setText("X", "  ");
        table.setInteger("ENTERO", -2147483647);
        table.setText("REAL", "-98765.4321");
        table.setLogical("SI_NO", true);
        table.post();
        expected.push_back({{longName, everyByte.substr(0, 254)},
                            {"X", std::nullopt},
                            {"ENTERO", "-2147483647"},
                            {"REAL", "-98765.4321"},
                            {"SI_NO", "True"}});
        table.append();
        table.setText(longName, "  delante");
        table.setText("X", "xy");
        table.setInteger("ENTERO", 0);
        table.setText("REAL", "0");
        table.setLogical("SI_NO", false);
        table.post();
        expected.push_back({{longName, "  delante"},
                            {"X", "x"},
                            {"ENTERO", "0"},
                            {"REAL", "0"},
                            {"SI_NO", "False"}});
    }
    expectPeerSees(file, fields, expected);
}

// TDbf writes; our engine reads.
class TdbfWritesTable : public ::testing::TestWithParam<int> {};

TEST_P(TdbfWritesTable, EveryValueReadsBack) {
    const int level = GetParam();
    TempDir dir;
    const auto file = dir / "GENERICA.DBF";
    ASSERT_TRUE(peerCreates(level, file, "NOMBRE:S:12;CANT:I:0;HORAS:F:0;ACTIVO:B:0;CODIGO:S:3",
                            {text::toAnsi("Núñez Peña;42;2.5;T;abc"), ";-17;;F;",
                             text::toAnsi("  sangría;;-0.125;;xyzw"), ";123456789;1e6;T;1"}));
    Table table = Table::open(file);
    EXPECT_EQ(table.level(), level);
    ASSERT_EQ(table.fields().size(), 5u);
    const std::vector<FieldType> types = {FieldType::Character, FieldType::Integer,
                                          FieldType::Float, FieldType::Logical,
                                          FieldType::Character};
    for (std::size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(table.fields()[i].type, types[i]) << table.fields()[i].name;
    }
    EXPECT_EQ(table.fields()[1].code, level == 7 ? 'I' : 'N');

    struct Row {
        std::string nombre, cant, horas, activo, codigo;
    };
    const std::vector<Row> expected = {
        {"Núñez Peña", "42", "2.5", "True", "abc"},
        {"", "-17", "", "False", ""},
        {"  sangría", "", "-0.125", "", "xyz"},
        {"", "123456789", "1000000", "True", "1"},
    };
    ASSERT_EQ(table.recordCount(), expected.size());
    std::size_t i = 0;
    for (table.first(); !table.eof(); table.next(), ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(text::toUtf8(table.text("NOMBRE")), expected[i].nombre);
        EXPECT_EQ(table.text("CANT"), expected[i].cant);
        EXPECT_EQ(table.isNull("CANT"), expected[i].cant.empty());
        EXPECT_EQ(table.text("HORAS"), expected[i].horas);
        EXPECT_EQ(table.text("ACTIVO"), expected[i].activo);
        EXPECT_EQ(table.text("CODIGO"), expected[i].codigo);
    }
    table.first();
    EXPECT_EQ(table.integer("CANT"), 42);
    EXPECT_EQ(table.integer("HORAS"), 3);  // 2.5 rounded half away from zero
    EXPECT_TRUE(table.locate("CODIGO", "xyz"));
    EXPECT_EQ(table.integer("HORAS"), 0);  // -0.125 rounded
}

TEST_P(TdbfWritesTable, SolucReadsBackWithItsFields) {
    const int level = GetParam();
    TempDir dir;
    const auto file = dir / "SOLUC.DBF";
    ASSERT_EQ(runWriting(quoted(TDBF_PEER) + " soluc " + std::to_string(level) + " " +
                             quoted(file.string()),
                         text::toAnsi("5;6;1;AUL1;LEN;2B;Núñez;M;BACH;2;B;TUT;111\n"
                                      "0;;;;;;;;;;;;\n")),
              0);
    Table table = staging::open(dir.path(), "SOLUC");
    std::vector<std::string> names;
    for (const auto& f : table.fields()) names.push_back(f.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"DIA", "HORA", "MARCO", "AULA", "ASIG", "CODGRUPO", "PROF",
                                        "TURNO", "NIVEL", "CURSO", "GRUPO", "TAREA", "SESIONES"}));
    ASSERT_EQ(table.recordCount(), 2u);
    EXPECT_EQ(table.integer("DIA"), 5);
    EXPECT_EQ(table.integer("HORA"), 6);
    EXPECT_EQ(table.text("MARCO"), "1");
    EXPECT_EQ(table.text("AULA"), "AUL1");
    EXPECT_EQ(text::toUtf8(table.text("PROF")), "Núñez");
    EXPECT_EQ(table.text("SESIONES"), "111");
    table.next();
    EXPECT_EQ(table.integer("DIA"), 0);
    EXPECT_TRUE(table.isNull("HORA"));
    EXPECT_EQ(table.text("AULA"), "");
}

INSTANTIATE_TEST_SUITE_P(Levels, TdbfWritesTable, ::testing::Values(3, 4, 7),
                         [](const auto& info) { return "level" + std::to_string(info.param); });

// What TDbf makes of a table our engine later appends to: both engines agree on it.
TEST(TdbfAndUs, WeAppendToATdbfTableAndTdbfReadsIt) {
    TempDir dir;
    const auto file = dir / "MIXTA.DBF";
    ASSERT_TRUE(peerCreates(4, file, "NOMBRE:S:6;CANT:I:0;HORAS:F:0", {"uno;1;1.5"}));
    {
        Table table = Table::open(file);
        table.append();
        table.setText("NOMBRE", "dos");
        table.setInteger("CANT", -2);
        table.setText("HORAS", "2.25");
        table.post();
    }
    const PeerDump dump = peerDump(file);
    ASSERT_EQ(dump.records.size(), 2u);
    EXPECT_EQ(dump.records[1], (PeerRecord{{"NOMBRE", "dos"}, {"CANT", "-2"}, {"HORAS", "2.25"}}));
    EXPECT_EQ(dump.records[0], (PeerRecord{{"NOMBRE", "uno"}, {"CANT", "1"}, {"HORAS", "1.5"}}));
}

}  // namespace
}  // namespace ttp::test
