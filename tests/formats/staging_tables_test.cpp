// The staging tables: their field lists as created on disk, the rebuild rule, the folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "support/export_fixture.h"

namespace ttp::test {
namespace {

using dbf::FieldType;
using dbf::Table;

// "C10", "integer", "float", "logical", as the tables are described to the timetabler.
std::string describe(const dbf::FieldDef& f) {
    switch (f.type) {
        case FieldType::Character:
            return f.name + " C" + std::to_string(f.width);
        case FieldType::Integer:
            return f.name + " integer";
        case FieldType::Float:
            return f.name + " float";
        case FieldType::Logical:
            return f.name + " logical";
        default:
            return f.name + " other";
    }
}

struct Expected {
    const staging::TableDef& (*table)();
    const char* name;
    std::vector<std::string> fields;
};

const std::vector<Expected>& expectedTables() {
    static const std::vector<Expected> tables = {
        {staging::asignomt,
         "ASIGNOMT",
         {"COD C10", "CODLARGO C10", "NOMBRE C80", "MATERIA C8", "CODTAREA C10",
          "ESTAREA logical"}},
        {staging::proft,
         "PROFT",
         {"ABREV C10", "NOMBRE C80", "DEPART C40", "DNI integer", "X_EMPLEADO C10"}},
        {staging::aulat,
         "AULAT",
         {"ABREV C10", "NOMBRE C80", "EDIFICIO C1", "MAXALUM integer", "PD_GENERICA C1"}},
        {staging::diashorast,
         "DIASHORAST",
         {"DIHO C10", "CODDIHO C10", "DIA C20", "TEXTODIA C20", "HORA C8", "TEXTOHOR C20",
          "HORADESDE C8", "HORAHASTA C8", "MINUTOS C8", "MARCO C1", "MARCOXML C10",
          "PD_MARCO_ID C2", "PD_SUBMARCO C2", "PD_DIA C1", "PD_HORADESDE C8", "PD_HORAHASTA C8",
          "PD_TIPO C20"}},
        {staging::grupost,
         "GRUPOST",
         {"ABREV C10", "TURNO C1", "NIVEL C5", "CURSO C3", "GRUPO C2", "DESCRIP C80", "MARCO C1"}},
        {staging::asigt,
         "ASIGT",
         {"CASIG C10", "CPROF C10", "CGRUP C10", "CAULA C10", "TURNO C1", "NIVEL C5", "CURSO C3",
          "GRUPO C2", "HORAS float", "SESIONES C20", "NCONEX C4", "CTAREA C10",
          "PD_SESION integer"}},
    };
    return tables;
}

TEST(StagingTables, RebuildCreatesEachTableWithItsFieldsInOrder) {
    TempDir dir;
    for (const Expected& e : expectedTables()) {
        SCOPED_TRACE(e.name);
        const staging::TableDef& def = e.table();
        EXPECT_EQ(def.name, e.name);
        staging::rebuild(dir.path(), def);
        ASSERT_TRUE(std::filesystem::exists(dir / (std::string(e.name) + ".DBF")));
        Table table = staging::open(dir.path(), e.name);
        EXPECT_EQ(table.recordCount(), 0u);
        std::vector<std::string> onDisk;
        for (const auto& f : table.fields()) onDisk.push_back(describe(f));
        EXPECT_EQ(onDisk, e.fields);
    }
}

void writeRow(const std::filesystem::path& dir, std::string_view value) {
    Table table = staging::open(dir, "AULAT");
    table.append();
    table.setText("ABREV", value);
    table.post();
}

TEST(StagingTables, RebuildReplacesTheTableAndDeletesItsIndex) {
    TempDir dir;
    staging::rebuild(dir.path(), staging::aulat());
    writeRow(dir.path(), "VIEJA");
    writeFile(dir / "AULAT.MDX", "index");
    staging::rebuild(dir.path(), staging::aulat());
    EXPECT_FALSE(std::filesystem::exists(dir / "AULAT.MDX"));
    EXPECT_EQ(staging::open(dir.path(), "AULAT").recordCount(), 0u);
}

TEST(StagingTables, RebuildDeletesAnIndexWithoutTableAndOtherSpellings) {
    TempDir dir;
    writeFile(dir / "proft.mdx", "index");
    writeFile(dir / "Proft.dbf", "not even a table");
    writeFile(dir / "AULAT.MDX", "other table's index");
    staging::rebuild(dir.path(), staging::proft());
    EXPECT_FALSE(std::filesystem::exists(dir / "proft.mdx"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Proft.dbf"));
    EXPECT_TRUE(std::filesystem::exists(dir / "PROFT.DBF"));
    EXPECT_TRUE(std::filesystem::exists(dir / "AULAT.MDX"));
    EXPECT_EQ(staging::tableFile(dir.path(), "PROFT"), dir / "PROFT.DBF");
}

TEST(StagingTables, RebuildLeavesATableInUseAlone) {
    TempDir dir;
    staging::rebuild(dir.path(), staging::aulat());
    writeRow(dir.path(), "MIA");
    Table held = staging::open(dir.path(), "AULAT");
    try {
        staging::rebuild(dir.path(), staging::aulat());
        FAIL() << "rebuilt a table in use";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("está en uso por otro programa"));
    }
    held.close();
    Table table = staging::open(dir.path(), "AULAT");
    ASSERT_EQ(table.recordCount(), 1u);
    EXPECT_EQ(table.text("ABREV"), "MIA");
}

TEST(StagingTables, TableFileAndOpenFindAnySpelling) {
    TempDir dir;
    Table::create(dir / "soluc.dbf", {{"DIA", FieldType::Integer}});
    EXPECT_EQ(staging::tableFile(dir.path(), "SOLUC"), dir / "soluc.dbf");
    EXPECT_TRUE(staging::open(dir.path(), "SOLUC").hasField("DIA"));
    EXPECT_EQ(staging::tableFile(dir.path(), "ASIGT"), dir / "ASIGT.DBF");
    EXPECT_THROW(staging::open(dir.path(), "ASIGT"), Error);
}

TEST(StagingFolder, RequireDirectoryNamesTheFolderAndNeverCreatesIt) {
    TempDir dir;
    EXPECT_NO_THROW(staging::requireDirectory(dir.path()));
    const auto missing = dir / "TTEMP";
    try {
        staging::requireDirectory(missing);
        FAIL() << "accepted a missing folder";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr(missing.string()));
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    writeFile(dir / "FICHERO", "x");
    EXPECT_THROW(staging::requireDirectory(dir / "FICHERO"), Error);
    // Rebuilding in a missing folder fails naming the table, and creates nothing.
    EXPECT_THROW(staging::rebuild(missing, staging::proft()), Error);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// Sets environment variables for one test and puts the old values back.
class Environment {
  public:
    void set(const char* name, const char* value) {
        const char* old = ::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~Environment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                ::unsetenv(it->first.c_str());
            }
        }
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(StagingFolder, DefaultDirectoryFollowsTheEnvironment) {
    struct Case {
        const char *staging, *wineprefix, *home;
        std::filesystem::path expected;
    };
    const Case cases[] = {
        {"/datos/ttemp", "/opt/wine", "/home/ana", "/datos/ttemp"},
        {nullptr, "/opt/wine", "/home/ana", "/opt/wine/drive_c/TTEMP"},
        {"", "", "/home/ana", "/home/ana/.wine/drive_c/TTEMP"},
        {nullptr, nullptr, "/home/luis", "/home/luis/.wine/drive_c/TTEMP"},
    };
    for (const Case& c : cases) {
        Environment env;
        env.set("TTP_STAGING_DIR", c.staging);
        env.set("WINEPREFIX", c.wineprefix);
        env.set("HOME", c.home);
        EXPECT_EQ(staging::defaultDirectory(), c.expected);
    }
}

}  // namespace
}  // namespace ttp::test
