#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "export/code_list.h"
#include "export/short_code.h"
#include "support/frames_fixture.h"

namespace ttp {
namespace {

using test::Row;
using test::StepHarness;

// A grupo with its frame attribute (nullptr: none) and its four children.
std::string grupo(const char* submarco, std::string_view nombre, std::string_view nivel,
                  std::string_view curso, std::string_view unidad) {
    std::string g = "<grupo";
    if (submarco) g += " submarco=\"" + std::string(submarco) + "\"";
    return g + "><nombre>" + std::string(nombre) + "</nombre><nivel>" + std::string(nivel) +
           "</nivel><curso>" + std::string(curso) + "</curso><unidad>" + std::string(unidad) +
           "</unidad></grupo>";
}

std::string grupos(const std::string& content) {
    return "<grupos>" + content + "</grupos>";
}

// A run in which the frames step chose these frames with these digits.
void chose(StepHarness& h, std::string m1, std::string d1, std::string m2, std::string d2) {
    h.state.Marco1 = std::move(m1);
    h.state.DigitoMarco1 = std::move(d1);
    h.state.Marco2 = std::move(m2);
    h.state.DigitoMarco2 = std::move(d2);
}

std::vector<std::string> column(const std::vector<Row>& rows, const std::string& field) {
    std::vector<std::string> values;
    for (const auto& row : rows) values.push_back(row.at(field));
    return values;
}

TEST(ExportarGrupos, ASingleGroupIsWritten) {
    StepHarness h;
    h.load(grupos(grupo("1", " 1º ESO A ", "ESO", "1", "A")));
    chose(h, "1", "0", "", "1");
    h.run.ExportarGrupos();
    const auto rows = h.rows("GRUPOST");
    ASSERT_EQ(rows.size(), 1u);
    const Row expected = {{"ABREV", "ESO1A"},     {"TURNO", ""},  {"NIVEL", "ESO"},
                          {"CURSO", "1"},         {"GRUPO", "A"}, {"MARCO", "0"},
                          {"DESCRIP", "1º ESO A"}};
    EXPECT_EQ(rows.front(), expected);
}

TEST(ExportarGrupos, NoGroupGivesAnEmptyTableWithItsFields) {
    StepHarness h;
    h.load("<grupos/>");
    chose(h, "1", "0", "", "1");
    h.run.ExportarGrupos();
    EXPECT_TRUE(h.rows("GRUPOST").empty());
    EXPECT_EQ(test::readFieldNames(h.dir.path(), "GRUPOST"),
              (std::vector<std::string>{"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO", "DESCRIP",
                                        "MARCO"}));
}

TEST(ExportarGrupos, GroupsBelongToAFrameByTheFirstCharacterOfTheirFrame) {
    struct Case {
        const char* name;
        const char* m1;
        const char* d1;
        const char* m2;
        const char* d2;
        std::vector<std::string> descrip;  // groups written, in order
        std::vector<std::string> marco;
    };
    // Groups g1..g7 with the frames 1, 2, 3, 12, "", " ", none.
    const std::string body =
        grupos(grupo("1", "g1", "N", "1", "A") + grupo("2", "g2", "N", "2", "A") +
               grupo("3", "g3", "N", "3", "A") + grupo("12", "g12", "N", "4", "A") +
               grupo("", "gEmpty", "N", "5", "A") + grupo(" ", "gBlank", "N", "6", "A") +
               grupo(nullptr, "gNone", "N", "7", "A"));
    const std::vector<Case> cases = {
        {"frames 1 and 2", "1", "0", "2", "1", {"g1", "g2", "g12"}, {"0", "1", "0"}},
        {"digits swapped", "1", "1", "2", "0", {"g1", "g2", "g12"}, {"1", "0", "1"}},
        {"one frame: empty frames match the empty second",
         "2",
         "0",
         "",
         "1",
         {"g2", "gEmpty", "gBlank", "gNone"},
         {"0", "1", "1", "1"}},
        {"two-character id matches no group", "12", "0", "3", "1", {"g3"}, {"1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StepHarness h;
        h.load(body);
        chose(h, c.m1, c.d1, c.m2, c.d2);
        h.run.ExportarGrupos();
        const auto rows = h.rows("GRUPOST");
        EXPECT_EQ(column(rows, "DESCRIP"), c.descrip);
        EXPECT_EQ(column(rows, "MARCO"), c.marco);
    }
}

TEST(ExportarGrupos, EqualGroupsGetDistinctCodesAndSkippedGroupsTakeNone) {
    const std::string same = grupo("1", "a", "ESO", "1", "A") + grupo("1", "b", "ESO", "1", "A") +
                             grupo("1", "c", "ESO", "1", "a");
    const std::string skipped = grupo("2", "x", "ESO", "1", "A");

    StepHarness plain;
    plain.load(grupos(same));
    chose(plain, "1", "0", "", "1");
    plain.run.ExportarGrupos();
    const auto codes = column(plain.rows("GRUPOST"), "ABREV");
    ASSERT_EQ(codes.size(), 3u);
    EXPECT_EQ(codes[0], "ESO1A");
    // Codes differ without regard to letter case: the timetabler keys its rows by them.
    std::set<std::string> folded;
    for (const auto& code : codes) folded.insert(text::foldCase(text::toAnsi(code)));
    EXPECT_EQ(folded.size(), codes.size());

    StepHarness withSkipped;
    withSkipped.load(grupos(skipped + same + skipped));
    chose(withSkipped, "1", "0", "", "1");
    withSkipped.run.ExportarGrupos();
    EXPECT_EQ(column(withSkipped.rows("GRUPOST"), "ABREV"), codes);
}

TEST(ExportarGrupos, LongValuesAreCutInTheirFieldsButCodedWhole) {
    StepHarness h;
    h.load(grupos(grupo("1", "Ciclo", "Bachillerato", "2025", "ABC") +
                  grupo("1", "Ciclo bis", "Bachillerato", "2025", "ABD")));
    chose(h, "1", "0", "", "1");
    h.run.ExportarGrupos();
    const auto rows = h.rows("GRUPOST");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at("NIVEL"), "Bachi");
    EXPECT_EQ(rows[0].at("CURSO"), "202");
    EXPECT_EQ(rows[0].at("GRUPO"), "AB");
    // Codes from the whole values: the units differ only past the GRUPO width.
    CodeList fresh;
    EXPECT_EQ(rows[0].at("ABREV"), shortcode::grupost("Bachillerato", "2025", "ABC", fresh));
    EXPECT_EQ(rows[1].at("ABREV"), shortcode::grupost("Bachillerato", "2025", "ABD", fresh));
    EXPECT_NE(rows[0].at("ABREV"), rows[1].at("ABREV"));
}

TEST(ExportarGrupos, MissingChildrenReadAsEmptyWithoutShiftingLaterGroups) {
    StepHarness h;
    h.load(
        grupos("<grupo submarco=\"1\"><nombre>sin nivel</nombre><curso>1</curso>"
               "<unidad>A</unidad></grupo>" +
               grupo("1", "completo", "ESO", "2", "B")));
    chose(h, "1", "0", "", "1");
    h.run.ExportarGrupos();
    const auto rows = h.rows("GRUPOST");
    EXPECT_EQ(column(rows, "NIVEL"), (std::vector<std::string>{"", "ESO"}));
    EXPECT_EQ(column(rows, "DESCRIP"), (std::vector<std::string>{"sin nivel", "completo"}));
}

}  // namespace
}  // namespace ttp
