#include "export/short_code.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "formats/text.h"

namespace ttp {
namespace {

// A run of values through one variant, each list starting empty, with the code each value
// must get (nullopt: the subject or task gets no row).
template <typename Input>
struct Scenario {
    std::string name;
    std::vector<std::pair<Input, std::optional<std::string>>> steps;
};

template <typename Input>
std::ostream& operator<<(std::ostream& os, const Scenario<Input>& s) {
    return os << s.name;
}

// --- Subjects and tasks --------------------------------------------------------------------

class AsignomtCodes : public ::testing::TestWithParam<Scenario<std::string>> {};

TEST_P(AsignomtCodes, IssuesTheExpectedCodes) {
    CodeList codes;
    CodeList longCodes;
    const auto& steps = GetParam().steps;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(shortcode::asignomt(steps[i].first, codes, longCodes), steps[i].second)
            << "value " << i << ": " << steps[i].first;
    }
}

std::vector<std::pair<std::string, std::optional<std::string>>> matematicas() {
    std::vector<std::pair<std::string, std::optional<std::string>>> steps = {
        {"Lengua", "Lengua"},
        {"Matematicas I", "Matematica"},
        {"Matematicas II", "Matematic1"},
        {"Matematicas aplicadas", "Matematic2"},
        {"lengua", std::nullopt},
        {"Guardia", "Guardia"},  // a task
        {"Lengua", std::nullopt},
    };
    for (int i = 3; i <= 9; ++i) {
        steps.push_back(
            {"Matematicas " + std::to_string(i * 100), "Matematic" + std::to_string(i)});
    }
    steps.push_back({"Matematicas final", "Matemati10"});
    // Counter 10 folds back onto Matemati10: the counter goes on to a free code.
    steps.push_back({"Matematicas extra", "Matemati11"});
    steps.push_back({"Matematicas otra", "Matemati12"});
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    ShortCodes, AsignomtCodes,
    ::testing::Values(
        Scenario<std::string>{"WorkedExample", matematicas()},
        Scenario<std::string>{"EmptyTextOnceThenSkipped", {{"", ""}, {"", std::nullopt}}},
        Scenario<std::string>{"RepeatedInOtherCaseIsSkipped",
                              {{"Lengua", "Lengua"}, {"LENGUA", std::nullopt}}},
        // The cut to 10 keeps a trailing blank; the counter then replaces it.
        Scenario<std::string>{
            "CutIsNotTrimmed",
            {{"Educacion Fisica", "Educacion "}, {"Educacion Plastica", "Educacion1"}}},
        Scenario<std::string>{"CodeTakenInOtherCaseGetsCounter",
                              {{"Matematica", "Matematica"}, {"MATEMATICAS", "MATEMATIC1"}}},
        // A task whose first 10 characters equal a subject's code.
        Scenario<std::string>{
            "TaskSharingFirstTenWithSubject",
            {{"Tecnologia", "Tecnologia"}, {"Tecnologia: taller", "Tecnologi1"}}}),
    [](const auto& info) { return info.param.name; });

TEST(ShortCodes, SubjectSkippedEntersNothing) {
    CodeList codes;
    CodeList longCodes;
    ASSERT_EQ(shortcode::asignomt("Lengua", codes, longCodes), "Lengua");
    ASSERT_EQ(shortcode::asignomt("LENGUA", codes, longCodes), std::nullopt);
    EXPECT_EQ(codes.size(), 1u);
    EXPECT_EQ(longCodes.size(), 1u);
}

// --- Teachers --------------------------------------------------------------------------------

class ProftCodes : public ::testing::TestWithParam<Scenario<std::string>> {};

TEST_P(ProftCodes, IssuesTheExpectedCodes) {
    CodeList codes;
    const auto& steps = GetParam().steps;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(shortcode::proft(steps[i].first, codes), steps[i].second)
            << "value " << i << ": " << steps[i].first;
    }
}

std::vector<std::pair<std::string, std::optional<std::string>>> twelveAna() {
    std::vector<std::pair<std::string, std::optional<std::string>>> steps = {{"Ana", "Ana"}};
    for (int i = 1; i <= 11; ++i) steps.push_back({"Ana", "Ana" + std::to_string(i)});
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    ShortCodes, ProftCodes,
    ::testing::Values(
        Scenario<std::string>{"WorkedExample",
                              {{"Ana Ruiz", "Ana Ruiz"},
                               {"Ana Ruiz", "Ana Ruiz1"},
                               {"Pedro Gomez", "Pedro Goez"},
                               {"Eva Prieto", "Eva Prieto"},
                               {"Eva Prieto", "Eva Priet1"}}},
        Scenario<std::string>{"SameNameInDocumentOrder", {{"ANA", "ANA"}, {"ANA", "ANA1"}}},
        Scenario<std::string>{"TwelveCharactersFolded", {{"FERNANDEZMAR", "FERNANDEAR"}}},
        Scenario<std::string>{"EmptyNames", {{"", ""}, {"", "1"}, {"", "2"}}},
        Scenario<std::string>{"NineCharactersKeptWhole",
                              {{"Geografia", "Geografia"}, {"Geografia", "Geografia1"}}},
        Scenario<std::string>{"CounterPassesNine", twelveAna()},
        Scenario<std::string>{"TenCharacterValueEqualToFoldedCode",
                              {{"Pedro Gomez", "Pedro Goez"}, {"Pedro Goez", "Pedro Goe1"}}},
        // The folded code is tested too: a long name that recurs, or two long names with the
        // same first 8 and last 2 characters, get a counter instead of a second copy.
        Scenario<std::string>{"LongNameRecurs",
                              {{"Pedro Gomez", "Pedro Goez"},
                               {"Pedro Gomez", "Pedro Goz1"},
                               {"Pedro Gomez", "Pedro Goz2"}}},
        Scenario<std::string>{
            "LongNamesSharingFold",
            {{"Maria Jose Ruiz", "Maria Joiz"}, {"Maria Josefa Ruiz", "Maria Joz1"}}},
        Scenario<std::string>{"FoldTakenInOtherCase",
                              {{"Pedro Gomez", "Pedro Goez"}, {"PEDRO GOMEZ", "PEDRO GOZ1"}}},
        Scenario<std::string>{"FoldEqualToShortName",
                              {{"Pedro Goez", "Pedro Goez"}, {"Pedro Gomez", "Pedro Goz1"}}}),
    [](const auto& info) { return info.param.name; });

// An 8-character base reaches a three-digit counter; the fold then drops a digit. The first
// such code is new and kept; after it the digits are kept whole.
TEST(ShortCodes, ThreeDigitCounterOnEightCharacterBase) {
    CodeList codes;
    std::vector<std::string> issued;
    for (int i = 0; i < 104; ++i) issued.push_back(shortcode::proft("Historia", codes));
    EXPECT_EQ(issued[0], "Historia");
    EXPECT_EQ(issued[9], "Historia9");
    EXPECT_EQ(issued[10], "Historia10");
    EXPECT_EQ(issued[99], "Historia99");
    EXPECT_EQ(issued[100], "Historia00");  // Historia100 folded, still free
    EXPECT_EQ(issued[101], "Histori100");  // Historia00 taken: the digits kept whole
    EXPECT_EQ(issued[102], "Historia01");  // counter 101 folded, still free
    EXPECT_EQ(issued[103], "Histori101");
}

// --- Rooms -----------------------------------------------------------------------------------

// An ordinary room name, or a generic name with its number.
struct RoomInput {
    std::string name;
    int generic = 0;  // 0: ordinary room; else the generic room's number k
};

std::ostream& operator<<(std::ostream& os, const RoomInput& r) {
    return os << "'" << r.name << "' " << r.generic;
}

class AulatCodes : public ::testing::TestWithParam<Scenario<RoomInput>> {};

TEST_P(AulatCodes, IssuesTheExpectedCodes) {
    CodeList codes;
    const auto& steps = GetParam().steps;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const RoomInput& in = steps[i].first;
        const std::string code = in.generic == 0
                                     ? shortcode::aulat(in.name, codes)
                                     : shortcode::aulatGeneric(in.name, in.generic, codes);
        EXPECT_EQ(code, steps[i].second) << "value " << i << ": " << in;
    }
}

Scenario<RoomInput> generic(
    std::string name, std::string genericName, const std::vector<std::string>& codes,
    std::vector<std::pair<RoomInput, std::optional<std::string>>> before = {}) {
    Scenario<RoomInput> s{std::move(name), std::move(before)};
    for (std::size_t k = 1; k <= codes.size(); ++k) {
        s.steps.push_back({{genericName, static_cast<int>(k)}, codes[k - 1]});
    }
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    ShortCodes, AulatCodes,
    ::testing::Values(
        Scenario<RoomInput>{"WorkedExample",
                            {{{"Aula 101"}, "Aula 101"},
                             {{"Laboratorio de Fisica"}, "Laboratori"},
                             {{"Laboratorio de Quimica"}, "Laborator1"},
                             {{"Taller de tecnologia"}, "Taller de"},
                             {{"Aula", 1}, "Aula1"},
                             {{"Aula", 2}, "Aula2"},
                             {{"Aula", 3}, "Aula3"}}},
        Scenario<RoomInput>{"BlanksAtTheCutAreTrimmed", {{{"Taller    X"}, "Taller"}}},
        Scenario<RoomInput>{"OtherCaseIsTaken", {{{"Aula 1"}, "Aula 1"}, {{"AULA 1"}, "AULA 11"}}},
        generic("GenericLaboratorio", "Laboratorio", {"Laboratio1", "Laboratio2"}),
        generic("GenericGimnasio", "Gimnasio",
                {"Gimnasio1", "Gimnasio2", "Gimnasio3", "Gimnasio4", "Gimnasio5", "Gimnasio6",
                 "Gimnasio7", "Gimnasio8", "Gimnasio9", "Gimnasio10", "Gimnasio11"}),
        generic("GenericGimnasios", "Gimnasios",
                {"Gimnasios1", "Gimnasios2", "Gimnasios3", "Gimnasios4", "Gimnasios5", "Gimnasios6",
                 "Gimnasios7", "Gimnasios8", "Gimnasios9", "Gimnasio10"}),
        generic("GenericSalaDeEstudio", "Sala de estudio", {"Salstudio1"}),
        generic("GenericFoldThenEightPlusTwo", "Sala de usos multiples", {"sos mults1"}),
        generic("GenericNineteenKeepsLastTen", "Laboratorio Quimic", {"io Quimic1"}),
        generic("GenericBlanksLostInCode", "  Aula ", {"Aula 1", "Aula 2"}),
        generic("GenericAfterOrdinaryCode", "Aula", {"Aula11", "Aula2"}, {{{"Aula1"}, "Aula1"}}),
        generic("GenericTenTaken", "Laboratorio", {"Laboratio2"}, {{{"Laboratio1"}, "Laboratio1"}}),
        // Eleven rooms share their first 10 characters: the twelfth would fold onto the
        // eleventh's code without the test of the folded code.
        Scenario<RoomInput>{"NineCharacterBasePastTen",
                            {{{"Laboratorio A"}, "Laboratori"},
                             {{"Laboratorio B"}, "Laborator1"},
                             {{"Laboratorio C"}, "Laborator2"},
                             {{"Laboratorio D"}, "Laborator3"},
                             {{"Laboratorio E"}, "Laborator4"},
                             {{"Laboratorio F"}, "Laborator5"},
                             {{"Laboratorio G"}, "Laborator6"},
                             {{"Laboratorio H"}, "Laborator7"},
                             {{"Laboratorio I"}, "Laborator8"},
                             {{"Laboratorio J"}, "Laborator9"},
                             {{"Laboratorio K"}, "Laborato10"},
                             {{"Laboratorio L"}, "Laborato11"}}}),
    [](const auto& info) { return info.param.name; });

// --- Groups ----------------------------------------------------------------------------------

struct GroupInput {
    std::string level;
    std::string course;
    std::string unit;
};

std::ostream& operator<<(std::ostream& os, const GroupInput& g) {
    return os << "'" << g.level << "' '" << g.course << "' '" << g.unit << "'";
}

class GrupostCodes : public ::testing::TestWithParam<Scenario<GroupInput>> {};

TEST_P(GrupostCodes, IssuesTheExpectedCodes) {
    CodeList codes;
    const auto& steps = GetParam().steps;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const GroupInput& in = steps[i].first;
        EXPECT_EQ(shortcode::grupost(in.level, in.course, in.unit, codes), steps[i].second)
            << "value " << i << ": " << in;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ShortCodes, GrupostCodes,
    ::testing::Values(
        Scenario<GroupInput>{"WorkedExample",
                             {{{"ESO", "1", "A"}, "ESO1A"},
                              {{"ESO", "1", "A"}, "ESO1A1"},
                              {{"Bachillerato", "2", "B"}, "Bachille2B"},
                              {{"Bachillerato", "2", "B"}, "BachilleB1"}}},
        Scenario<GroupInput>{"PartsTrimmed", {{{" ESO ", "\t1", "A\n"}, "ESO1A"}}},
        Scenario<GroupInput>{"OtherCaseIsTaken",
                             {{{"ESO", "1", "A"}, "ESO1A"}, {{"eso", "1", "a"}, "eso1a1"}}},
        // The list holds unfolded values: a long value is folded even without a counter.
        Scenario<GroupInput>{"LongValueFoldedOnce",
                             {{{"Bachillerato", "1", "Ciencias"}, "Bachilleas"}}},
        // Mended: the issued codes are tested as well.
        Scenario<GroupInput>{
            "ShortValueEqualToFoldedCode",
            {{{"Bachillerato", "2", "B"}, "Bachille2B"}, {{"Bachille", "2", "B"}, "Bachille21"}}},
        Scenario<GroupInput>{"LongValuesSharingFold",
                             {{{"Bachillerato", "2", "B"}, "Bachille2B"},
                              {{"Bachillerato Artes", "2", "B"}, "BachilleB1"},
                              {{"Bachillerato", "2", "B"}, "BachilleB2"}}}),
    [](const auto& info) { return info.param.name; });

// --- Uniqueness ------------------------------------------------------------------------------

// Whatever the values, the codes of one table are at most 10 characters long and distinct
// without regard to letter case, even when hundreds of values share their first characters.
TEST(ShortCodes, CodesOfOneTableAreDistinct) {
    CodeList teacherCodes;
    CodeList roomCodes;
    CodeList groupCodes;
    CodeList subjectCodes;
    CodeList longCodes;
    std::set<std::string> teachers;
    std::set<std::string> rooms;
    std::set<std::string> groups;
    std::set<std::string> subjects;
    auto expectNew = [](std::set<std::string>& seen, const std::string& code) {
        EXPECT_LE(code.size(), 10u) << code;
        EXPECT_TRUE(seen.insert(text::foldCase(code)).second) << "repeated code " << code;
    };
    for (int i = 0; i < 400; ++i) {
        const std::string n = std::to_string(i);
        expectNew(teachers, shortcode::proft(i % 2 ? "Fernandez Martinez" : "FERNANDEZ MARTINEZ",
                                             teacherCodes));
        expectNew(teachers, shortcode::proft("Historia", teacherCodes));
        expectNew(rooms, shortcode::aulat("Laboratorio " + n, roomCodes));
        expectNew(rooms, shortcode::aulatGeneric("Laboratorio", i + 1, roomCodes));
        expectNew(groups, shortcode::grupost("Bachillerato", "2", "B", groupCodes));
        expectNew(groups, shortcode::grupost("Bachille", "2", "B" + n, groupCodes));
        auto subject = shortcode::asignomt("Matematicas " + n, subjectCodes, longCodes);
        ASSERT_TRUE(subject.has_value());
        expectNew(subjects, *subject);
    }
}

}  // namespace
}  // namespace ttp
