// ttp tabla shows tables written by our engine and by TDbf at each level, and refuses
// wrong usage.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "formats/dbf_table.h"
#include "formats/text.h"
#include "interop/peer.h"
#include "support/export_fixture.h"

namespace ttp::test {
namespace {

using ::testing::HasSubstr;

const std::string kTtp = std::string(TTP_BINARY_DIR) + "/bin/ttp";

Ran tabla(const std::string& arguments) {
    return runReading(quoted(kTtp) + " tabla " + arguments + " 2>&1");
}

// The lines after "Registros:", the CSV part of the output.
std::string csvPart(const std::string& output) {
    const std::string mark = "Registros:\n";
    const auto at = output.find(mark);
    return at == std::string::npos ? std::string() : output.substr(at + mark.size());
}

class TablaShowsTdbf : public ::testing::TestWithParam<int> {};

TEST_P(TablaShowsTdbf, FieldsThenRowsAsCsv) {
    const int level = GetParam();
    TempDir dir;
    const auto file = dir / "T.DBF";
    ASSERT_TRUE(
        peerCreates(level, file, "NOMBRE:S:12;CANT:I:0;HORAS:F:0;ACTIVO:B:0",
                    {text::toAnsi("Núñez, Ana;42;2.5;T"), text::toAnsi("dijo \"sí\";;;F")}));
    const Ran ran = tabla(quoted(file.string()));
    ASSERT_EQ(ran.status, 0) << ran.output;
    EXPECT_THAT(ran.output, HasSubstr("nivel " + std::to_string(level)));
    EXPECT_THAT(ran.output, ::testing::ContainsRegex("NOMBRE +C 12\n"));
    EXPECT_THAT(ran.output, ::testing::ContainsRegex(level == 7 ? "CANT +I 4\n" : "CANT +N 9\n"));
    EXPECT_THAT(ran.output, ::testing::ContainsRegex("HORAS +N 18.8\n"));
    EXPECT_THAT(ran.output, ::testing::ContainsRegex("ACTIVO +L 1\n"));
    EXPECT_EQ(csvPart(ran.output),
              "NOMBRE,CANT,HORAS,ACTIVO\n"
              "\"Núñez, Ana\",42,2.5,True\n"
              "\"dijo \"\"sí\"\"\",,,False\n");
}

INSTANTIATE_TEST_SUITE_P(Levels, TablaShowsTdbf, ::testing::Values(3, 4, 7),
                         [](const auto& info) { return "level" + std::to_string(info.param); });

TEST(Tabla, ShowsATableOfOurs) {
    TempDir dir;
    const auto file = dir / "AULAT.DBF";
    dbf::Table::create(file, {{"ABREV", dbf::FieldType::Character, 10},
                              {"PD_GENERICA", dbf::FieldType::Character, 1},
                              {"MAXALUM", dbf::FieldType::Integer}});
    {
        dbf::Table table = dbf::Table::open(file);
        table.append();
        table.setText("ABREV", text::toAnsi("Química"));
        table.setText("PD_GENERICA", "S");
        table.setInteger("MAXALUM", 30);
        table.post();
    }
    const Ran ran = tabla(quoted(file.string()));
    ASSERT_EQ(ran.status, 0) << ran.output;
    EXPECT_THAT(ran.output, HasSubstr("nivel 7, 1 registros"));
    EXPECT_THAT(ran.output, ::testing::ContainsRegex("PD_GENERICA +C 1\n"));
    EXPECT_EQ(csvPart(ran.output), "ABREV,PD_GENERICA,MAXALUM\nQuímica,S,30\n");
}

TEST(Tabla, WrongUsageAndBadFiles) {
    TempDir dir;
    struct Case {
        std::string arguments;
        int status;
        std::string says;
    };
    writeFile(dir / "ROTA.DBF", "\x03\x01\x02");
    const Case cases[] = {
        {"", 2, "falta el fichero DBF"},
        {"a.dbf b.dbf", 2, "sobra el argumento: b.dbf"},
        {"--ancho", 2, "opción desconocida"},
        {quoted((dir / "NADA.DBF").string()), 1,
         "No existe la tabla " + (dir / "NADA.DBF").string()},
        {quoted((dir / "ROTA.DBF").string()), 1, "está dañada"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Ran ran = tabla(c.arguments);
        EXPECT_EQ(ran.status, c.status);
        EXPECT_THAT(ran.output, HasSubstr(c.says));
    }
}

}  // namespace
}  // namespace ttp::test
