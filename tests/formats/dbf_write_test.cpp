// Tables our engine creates: the level 7 layout on disk, the bytes of each field type, and
// the rules for values written and read.
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

using dbf::FieldDef;
using dbf::FieldType;
using dbf::Table;
using ::testing::HasSubstr;

const std::vector<FieldDef> kFields = {
    {"NOMBRE", FieldType::Character, 10},
    {"CANTIDAD", FieldType::Integer},
    {"HORAS", FieldType::Float},
    {"ACTIVO", FieldType::Logical},
    {"PD_HORADESDE", FieldType::Character, 8},
};
// Where each field starts in a record, after the deletion flag: 1, 11, 15, 33, 34.
constexpr std::size_t kHeaderLength = 68 + 5 * 48 + 1;
constexpr std::size_t kRecordLength = 1 + 10 + 4 + 18 + 1 + 8;

struct NewTable {
    TempDir dir;
    std::filesystem::path file = dir / "PRUEBA.DBF";
    NewTable() { Table::create(file, kFields); }

    // The bytes of field `[at, at + width)` of record `index` as they are on disk.
    std::string onDisk(std::size_t index, std::size_t at, std::size_t width) const {
        return readBytes(file).substr(kHeaderLength + index * kRecordLength + at, width);
    }
};

TEST(DbfCreate, WritesTheLevelSevenHeader) {
    NewTable t;
    const std::string bytes = readBytes(t.file);
    ASSERT_EQ(bytes.size(), kHeaderLength + 1);
    EXPECT_EQ(byteOf(bytes, 0), 0x04u);
    EXPECT_GE(byteOf(bytes, 1), 100u);  // years since 1900
    EXPECT_THAT(byteOf(bytes, 2), ::testing::AllOf(::testing::Ge(1u), ::testing::Le(12u)));
    EXPECT_THAT(byteOf(bytes, 3), ::testing::AllOf(::testing::Ge(1u), ::testing::Le(31u)));
    EXPECT_EQ(le32(bytes, 4), 0u);
    EXPECT_EQ(le16(bytes, 8), kHeaderLength);
    EXPECT_EQ(le16(bytes, 10), kRecordLength);
    EXPECT_EQ(bytes.substr(32, 32), std::string("DBWINWE0") + std::string(24, '\0'));

    struct Descriptor {
        std::string name;
        char code;
        unsigned width, decimals;
    };
    const std::vector<Descriptor> expected = {{"NOMBRE", 'C', 10, 0},
                                              {"CANTIDAD", 'I', 4, 0},
                                              {"HORAS", 'N', 18, 8},
                                              {"ACTIVO", 'L', 1, 0},
                                              {"PD_HORADESDE", 'C', 8, 0}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::size_t at = 68 + 48 * i;
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(bytes.substr(at, 32),
                  expected[i].name + std::string(32 - expected[i].name.size(), '\0'));
        EXPECT_EQ(bytes[at + 32], expected[i].code);
        EXPECT_EQ(byteOf(bytes, at + 33), expected[i].width);
        EXPECT_EQ(byteOf(bytes, at + 34), expected[i].decimals);
    }
    EXPECT_EQ(bytes[kHeaderLength - 1], '\x0D');
    EXPECT_EQ(bytes.back(), '\x1A');
}

TEST(DbfCreate, ReadsBackItsOwnFieldList) {
    NewTable t;
    Table table = Table::open(t.file);
    EXPECT_EQ(table.level(), 7);
    EXPECT_EQ(table.recordCount(), 0u);
    EXPECT_TRUE(table.eof());
    ASSERT_EQ(table.fields().size(), kFields.size());
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        EXPECT_EQ(table.fields()[i].name, kFields[i].name);
        EXPECT_EQ(table.fields()[i].type, kFields[i].type);
    }
    EXPECT_TRUE(table.hasField("pd_horadesde"));
    EXPECT_FALSE(table.hasField("PD_HORADES"));
}

TEST(DbfCreate, ReplacesAnExistingTable) {
    NewTable t;
    {
        Table table = Table::open(t.file);
        table.append();
        table.setText("NOMBRE", "viejo");
        table.post();
    }
    Table::create(t.file, {{"OTRO", FieldType::Character, 3}});
    Table table = Table::open(t.file);
    EXPECT_EQ(table.recordCount(), 0u);
    ASSERT_EQ(table.fields().size(), 1u);
    EXPECT_EQ(table.fields()[0].name, "OTRO");
}

TEST(DbfCreate, RefusesFieldListsNoTableCanHold) {
    TempDir dir;
    const std::vector<std::vector<FieldDef>> cases = {
        {},
        {{"", FieldType::Character, 5}},
        {{std::string(32, 'A'), FieldType::Character, 5}},
        {{"A", FieldType::Character, 0}},
        {{"A", FieldType::Character, 255}},
        {{"DOBLE", FieldType::Character, 5}, {"doble", FieldType::Integer}},
    };
    for (const auto& fields : cases) {
        EXPECT_THROW(Table::create(dir / "MAL.DBF", fields), Error);
    }
    // 31 characters is the longest name and stays whole.
    const std::string longest(31, 'L');
    Table::create(dir / "LARGO.DBF", {{longest, FieldType::Character, 5}});
    EXPECT_EQ(Table::open(dir / "LARGO.DBF").fields().at(0).name, longest);
}

TEST(DbfCreate, MissingFolderIsAnErrorNamingTheFile) {
    TempDir dir;
    const auto file = dir / "no" / "T.DBF";
    try {
        Table::create(file, kFields);
        FAIL() << "created in a missing folder";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr(file.string()));
    }
}

// Each case writes one value into a fresh record and checks the field's bytes on disk.
struct Stored {
    const char* what;
    void (*write)(Table&);
    std::size_t at, width;
    std::string bytes;
};

const Stored kStored[] = {
    {"text padded", [](Table& t) { t.setText("NOMBRE", "Ana"); }, 1, 10, "Ana       "},
    {"text cut", [](Table& t) { t.setText("NOMBRE", "Mart\xEDnez L\xF3pez"); }, 1, 10,
     "Mart\xEDnez L"},
    {"integer as text in a character field", [](Table& t) { t.setInteger("NOMBRE", -305); }, 1, 10,
     "-305      "},
    {"integer", [](Table& t) { t.setInteger("CANTIDAD", 42); }, 11, 4,
     std::string("\x80\x00\x00\x2A", 4)},
    {"negative integer", [](Table& t) { t.setInteger("CANTIDAD", -1); }, 11, 4,
     std::string("\x7F\xFF\xFF\xFF", 4)},
    {"zero", [](Table& t) { t.setInteger("CANTIDAD", 0); }, 11, 4, std::string("\x80\0\0\0", 4)},
    {"integer from text", [](Table& t) { t.setText("CANTIDAD", " 258 "); }, 11, 4,
     std::string("\x80\x00\x01\x02", 4)},
    {"no integer", [](Table& t) { t.setText("CANTIDAD", ""); }, 11, 4, std::string(4, '\0')},
    {"float from text", [](Table& t) { t.setText("HORAS", "3"); }, 15, 18, "        3.00000000"},
    {"float with a comma", [](Table& t) { t.setText("HORAS", "-2,25"); }, 15, 18,
     "       -2.25000000"},
    {"float from an integer", [](Table& t) { t.setInteger("HORAS", 12); }, 15, 18,
     "       12.00000000"},
    {"no float", [](Table& t) { t.setText("HORAS", " "); }, 15, 18, std::string(18, ' ')},
    {"true", [](Table& t) { t.setLogical("ACTIVO", true); }, 33, 1, "T"},
    {"false", [](Table& t) { t.setLogical("ACTIVO", false); }, 33, 1, "F"},
    {"no logical", [](Table& t) { t.setNull("ACTIVO"); }, 33, 1, " "},
    {"long name", [](Table& t) { t.setText("PD_HORADESDE", "08:30"); }, 34, 8, "08:30   "},
};

TEST(DbfWrite, StoresEachTypeAsTheFormatHoldsIt) {
    for (const Stored& c : kStored) {
        SCOPED_TRACE(c.what);
        NewTable t;
        {
            Table table = Table::open(t.file);
            table.append();
            c.write(table);
            table.post();
        }
        EXPECT_EQ(t.onDisk(0, c.at, c.width), c.bytes);
    }
}

TEST(DbfWrite, BlankRecordHoldsNoValues) {
    NewTable t;
    Table table = Table::open(t.file);
    table.append();
    table.post();
    for (const FieldDef& f : kFields) {
        EXPECT_TRUE(table.isNull(f.name)) << f.name;
        EXPECT_EQ(table.text(f.name), "") << f.name;
    }
    EXPECT_EQ(table.integer("CANTIDAD"), 0);
    EXPECT_EQ(table.integer("HORAS"), 0);
}

TEST(DbfWrite, RefusesValuesTheFieldCannotHold) {
    struct Case {
        const char* what;
        void (*write)(Table&);
        std::vector<std::string> named;
    };
    const Case cases[] = {
        {"text in a float field",
         [](Table& t) { t.setText("HORAS", "dos y media"); },
         {"PRUEBA.DBF", "HORAS", "dos y media"}},
        {"two numbers", [](Table& t) { t.setText("HORAS", "1.5.2"); }, {"HORAS", "1.5.2"}},
        {"text in an integer field",
         [](Table& t) { t.setText("CANTIDAD", "7a"); },
         {"CANTIDAD", "7a"}},
        {"fraction in an integer field",
         [](Table& t) { t.setText("CANTIDAD", "2.5"); },
         {"CANTIDAD", "2.5"}},
        {"beyond 32 bits", [](Table& t) { t.setInteger("CANTIDAD", 2147483648LL); }, {"CANTIDAD"}},
        {"float too wide", [](Table& t) { t.setText("HORAS", "1e20"); }, {"HORAS"}},
        {"no logical", [](Table& t) { t.setText("ACTIVO", "quiz\xE1s"); }, {"ACTIVO", "quizás"}},
        {"non-ASCII text in the message", [](Table& t) { t.setText("HORAS", "\xF1"); }, {"«ñ»"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewTable t;
        Table table = Table::open(t.file);
        table.append();
        try {
            c.write(table);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            for (const std::string& part : c.named) EXPECT_THAT(e.what(), HasSubstr(part));
        }
    }
}

TEST(DbfWrite, WritingOutsideAnEditIsRefused) {
    NewTable t;
    Table table = Table::open(t.file);
    EXPECT_THROW(table.setText("NOMBRE", "x"), Error);
    EXPECT_THROW(table.edit(), Error);  // an empty table has no record to edit
}

TEST(DbfRead, ReadsValuesByTheirRules) {
    NewTable t;
    {
        Table table = Table::open(t.file);
        const std::vector<std::vector<std::string>> rows = {
            {"  con blancos", "7", "2.5", "T"},
            {"Z", "-7", "-2.5", "F"},
            {"", "", "2.4999", ""},
            {"", "", "0.75", ""},
        };
        for (const auto& row : rows) {
            table.append();
            table.setText("NOMBRE", row[0]);
            table.setText("CANTIDAD", row[1]);
            table.setText("HORAS", row[2]);
            table.setText("ACTIVO", row[3]);
            table.post();
        }
    }
    Table table = Table::open(t.file);
    struct Expected {
        std::string nombre, cantidad, horas, activo;
        std::int64_t horasRounded;
    };
    const std::vector<Expected> expected = {
        {"  con blan", "7", "2.5", "True", 3},
        {"Z", "-7", "-2.5", "False", -3},
        {"", "", "2.4999", "", 2},
        {"", "", "0.75", "", 1},
    };
    std::size_t i = 0;
    for (table.first(); !table.eof(); table.next(), ++i) {
        ASSERT_LT(i, expected.size());
        EXPECT_EQ(table.recordIndex(), i);
        EXPECT_EQ(table.text("NOMBRE"), expected[i].nombre);
        EXPECT_EQ(table.text("CANTIDAD"), expected[i].cantidad);
        EXPECT_EQ(table.text("HORAS"), expected[i].horas);
        EXPECT_EQ(table.text("ACTIVO"), expected[i].activo);
        EXPECT_EQ(table.integer("HORAS"), expected[i].horasRounded);
    }
    EXPECT_EQ(i, expected.size());
}

TEST(DbfRead, CharacterFieldReadAsInteger) {
    NewTable t;
    Table table = Table::open(t.file);
    table.append();
    table.setText("NOMBRE", " 12 ");
    EXPECT_EQ(table.integer("NOMBRE"), 12);
    table.setText("NOMBRE", "doce");
    try {
        (void)table.integer("NOMBRE");
        FAIL() << "read 'doce' as a number";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("doce"));
        EXPECT_THAT(e.what(), HasSubstr("NOMBRE"));
    }
}

TEST(DbfRead, MissingFieldNamesFieldAndTable) {
    NewTable t;
    Table table = Table::open(t.file);
    table.append();
    const std::string message = "La tabla PRUEBA.DBF no tiene el campo MARCO";
    for (auto use : std::vector<void (*)(Table&)>{
             [](Table& x) { (void)x.text("MARCO"); },
             [](Table& x) { (void)x.integer("MARCO"); },
             [](Table& x) { x.setText("MARCO", "1"); },
             [](Table& x) { (void)x.locate("MARCO", "1"); },
         }) {
        try {
            use(table);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST(DbfRecords, AppendOrderAndEditsSurviveReopening) {
    NewTable t;
    {
        Table table = Table::open(t.file);
        for (const char* name : {"uno", "dos", "tres"}) {
            table.append();
            table.setText("NOMBRE", name);
        }
        // The pending third record is posted by the move.
        table.first();
        EXPECT_EQ(table.recordCount(), 3u);
        table.next();
        table.edit();
        table.setText("NOMBRE", "DOS");
        table.next();  // posts the edit
        EXPECT_EQ(table.text("NOMBRE"), "tres");
        table.edit();
        table.setInteger("CANTIDAD", 3);
        // closing posts the pending edit
    }
    Table table = Table::open(t.file);
    std::vector<std::string> names;
    for (table.first(); !table.eof(); table.next()) names.push_back(table.text("NOMBRE"));
    EXPECT_EQ(names, (std::vector<std::string>{"uno", "DOS", "tres"}));
    EXPECT_TRUE(table.locate("NOMBRE", "tres"));
    EXPECT_EQ(table.integer("CANTIDAD"), 3);
    const std::string bytes = readBytes(t.file);
    EXPECT_EQ(le32(bytes, 4), 3u);
    EXPECT_EQ(bytes.size(), kHeaderLength + 3 * kRecordLength + 1);
    EXPECT_EQ(bytes.back(), '\x1A');
}

TEST(DbfRecords, EndFlagAfterTheLastRecord) {
    NewTable t;
    Table table = Table::open(t.file);
    table.first();
    EXPECT_TRUE(table.eof());
    table.append();
    EXPECT_FALSE(table.eof());
    table.post();
    table.first();
    EXPECT_FALSE(table.eof());
    table.next();
    EXPECT_TRUE(table.eof());
    table.next();
    EXPECT_TRUE(table.eof());
}

TEST(DbfRecords, ClosedTableRefusesUse) {
    NewTable t;
    Table table = Table::open(t.file);
    table.close();
    EXPECT_FALSE(table.isOpen());
    EXPECT_THROW(table.first(), Error);
    Table moved = Table::open(t.file);
    Table other = std::move(moved);
    EXPECT_TRUE(other.isOpen());
    EXPECT_FALSE(moved.isOpen());  // NOLINT(bugprone-use-after-move): the state moved
}

TEST(DbfFiles, MissingTableIsNamed) {
    TempDir dir;
    try {
        Table::open(dir / "ASIGT.DBF");
        FAIL() << "opened a missing table";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "No existe la tabla " + (dir / "ASIGT.DBF").string());
    }
}

TEST(DbfFiles, FindFileIgnoresLetterCase) {
    TempDir dir;
    writeFile(dir / "soluc.dbf", "x");
    writeFile(dir / "Otro.Dbf", "x");
    EXPECT_EQ(dbf::findFile(dir.path(), "SOLUC.DBF"), dir / "soluc.dbf");
    EXPECT_EQ(dbf::findFile(dir.path(), "otro.DBF"), dir / "Otro.Dbf");
    EXPECT_EQ(dbf::findFile(dir.path(), "AULAT.DBF"), dir / "AULAT.DBF");
    writeFile(dir / "SOLUC.DBF", "x");
    EXPECT_EQ(dbf::findFile(dir.path(), "SOLUC.DBF"), dir / "SOLUC.DBF");  // exact name first
    EXPECT_EQ(dbf::findFile(dir / "nada", "SOLUC.DBF"), dir / "nada" / "SOLUC.DBF");
}

}  // namespace
}  // namespace ttp::test
