// Broken table files give an error naming the file and what is wrong; never a crash or a
// read past the end of the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
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

// A sound level 3 table with two fields and two records, and a sound level 7 one.
std::string level3() {
    return oldTable(0x03, 0, {{"COD", 'C', 4}, {"N", 'N', 3}}, {" ABCD  1", " EFGH  2"});
}

std::string level7(const TempDir& dir) {
    const auto file = dir / "SIETE.DBF";
    Table::create(file, {{"PD_HORADESDE", FieldType::Character, 8}, {"N", FieldType::Integer}});
    {
        Table table = Table::open(file);
        table.append();
        table.setText("PD_HORADESDE", "08:00");
        table.post();
    }
    return readBytes(file);
}

struct Broken {
    const char* what;
    bool seven;  // start from the level 7 table rather than the level 3 one
    std::function<void(std::string&)> damage;
    const char* phrase;  // part of the expected message
};

const std::vector<Broken>& brokenCases() {
    static const std::vector<Broken> cases = {
        {"empty file", false, [](std::string& b) { b.clear(); }, "cabecera está incompleta"},
        {"short header", false, [](std::string& b) { b.resize(20); }, "cabecera está incompleta"},
        {"header length past the end", false, [](std::string& b) { putLe(b, 8, 5000, 2); },
         "la cabecera declara 5000 bytes"},
        {"header length too small", false, [](std::string& b) { putLe(b, 8, 10, 2); },
         "la cabecera declara 10 bytes"},
        {"record length longer than the fields", false, [](std::string& b) { putLe(b, 10, 9, 2); },
         "longitud de registro"},
        {"field past the record's end", false, [](std::string& b) { putLe(b, 10, 6, 2); },
         "el campo N termina"},
        {"record count beyond the file", false, [](std::string& b) { putLe(b, 4, 3, 4); },
         "declara 3 registros"},
        {"huge record count", false, [](std::string& b) { putLe(b, 4, 0xFFFFFFFF, 4); },
         "registros"},
        {"no terminator", false, [](std::string& b) { b[32 + 64] = 'X'; },
         "la lista de campos no termina"},
        {"unknown version", false, [](std::string& b) { b[0] = 0x30; }, "versión de dBase"},
        {"zero-width field", false, [](std::string& b) { b[32 + 16] = 0; },
         "el campo COD tiene anchura 0"},
        {"no fields", false,
         [](std::string& b) {
             b = b.substr(0, 32) + "\x0D" + b.substr(b.size() - 1);
             putLe(b, 8, 33, 2);
             putLe(b, 10, 1, 2);
             putLe(b, 4, 0, 4);
         },
         "no tiene campos"},
        {"level 7 header cut", true, [](std::string& b) { b.resize(60); }, "la cabecera declara"},
        {"level 7 field past the record's end", true, [](std::string& b) { b[68 + 33] = 100; },
         "el campo PD_HORADESDE termina"},
        {"level 7 integer of the wrong width", true, [](std::string& b) { b[68 + 48 + 33] = 3; },
         "el campo entero N"},
        {"level 7 record cut", true, [](std::string& b) { b.resize(b.size() - 5); },
         "declara 1 registros"},
    };
    return cases;
}

TEST(DbfMalformed, EachBrokenFileGivesAClearError) {
    for (const Broken& c : brokenCases()) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::string bytes = c.seven ? level7(dir) : level3();
        c.damage(bytes);
        const auto file = dir / "ROTA.DBF";
        writeFile(file, bytes);
        try {
            Table::open(file);
            ADD_FAILURE() << "opened";
        } catch (const Error& e) {
            EXPECT_THAT(e.what(),
                        ::testing::HasSubstr("La tabla " + file.string() + " está dañada"));
            EXPECT_THAT(e.what(), ::testing::HasSubstr(c.phrase));
        }
    }
}

TEST(DbfMalformed, SoundFilesOpen) {
    TempDir dir;
    writeFile(dir / "TRES.DBF", level3());
    EXPECT_EQ(Table::open(dir / "TRES.DBF").recordCount(), 2u);
    const std::string seven = level7(dir);
    writeFile(dir / "OTRA.DBF", seven);
    EXPECT_EQ(Table::open(dir / "OTRA.DBF").recordCount(), 1u);
    // A file without the end-of-file byte, as some programs leave it, is sound too.
    writeFile(dir / "SINFIN.DBF", seven.substr(0, seven.size() - 1));
    EXPECT_EQ(Table::open(dir / "SINFIN.DBF").recordCount(), 1u);
}

TEST(DbfMalformed, AFolderIsNoTable) {
    TempDir dir;
    std::filesystem::create_directory(dir / "CARPETA.DBF");
    EXPECT_THROW(Table::open(dir / "CARPETA.DBF"), Error);
}

}  // namespace
}  // namespace ttp::test
