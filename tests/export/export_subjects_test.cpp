#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/frames_fixture.h"

namespace ttp {
namespace {

using test::Row;
using test::StepHarness;

std::string materias(const std::vector<std::string>& texts) {
    std::string body = "<materias>";
    for (const auto& t : texts) body += "<materia>" + t + "</materia>";
    return body + "</materias>";
}

std::string tareas(const std::vector<std::string>& texts) {
    std::string body = "<tareas>";
    for (const auto& t : texts) body += "<tarea>" + t + "</tarea>";
    return body + "</tareas>";
}

// COD, CODLARGO, NOMBRE, CODTAREA, ESTAREA of one row.
struct Expected {
    std::string cod, codlargo, nombre, codtarea, estarea;
};

void expectRows(const std::vector<Row>& rows, const std::vector<Expected>& expected) {
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(rows[i].at("COD"), expected[i].cod);
        EXPECT_EQ(rows[i].at("CODLARGO"), expected[i].codlargo);
        EXPECT_EQ(rows[i].at("NOMBRE"), expected[i].nombre);
        EXPECT_EQ(rows[i].at("CODTAREA"), expected[i].codtarea);
        EXPECT_EQ(rows[i].at("ESTAREA"), expected[i].estarea);
        EXPECT_EQ(rows[i].at("MATERIA"), "");
    }
}

void runBoth(StepHarness& h) {
    h.run.ExportarMaterias();
    h.run.ExportarTareas();
}

TEST(ExportarMaterias, SubjectsThenTasksShareOnePoolOfCodes) {
    StepHarness h;
    h.load(materias({"Lengua", "Matematicas I", "Matematicas II", "LENGUA"}) +
           tareas({"Guardia", "lengua", "Matematicas: refuerzo", "Guardia"}));
    runBoth(h);
    expectRows(h.rows("ASIGNOMT"),
               {
                   {"Lengua", "Lengua", "Lengua", "", "False"},
                   {"Matematica", "Matematica", "Matematicas I", "", "False"},
                   {"Matematic1", "Matematica", "Matematicas II", "", "False"},
                   {"Guardia", "Guardia", "Guardia", "Guardia", "True"},
                   // First 10 characters equal to a subject's code: counted code, while
                   // CODLARGO and CODTAREA keep those 10 characters.
                   {"Matematic2", "Matematica", "Matematicas: refuerzo", "Matematica", "True"},
               });
    EXPECT_EQ(h.state.ListaCodigos.size(), 0u) << "lists released after the tasks step";
    EXPECT_EQ(h.state.ListaCodigosLargos.size(), 0u);
}

TEST(ExportarMaterias, FieldsAreCutToTheirWidthsAndTextsTrimmed) {
    const std::string longText = "Ciencias " + std::string(111, 'x');  // 120 characters
    StepHarness h;
    h.load(materias({"\n   Física y Química \t", longText}) + tareas({" Educación Física\n"}));
    runBoth(h);
    expectRows(h.rows("ASIGNOMT"),
               {
                   {"Física y Q", "Física y Q", "Física y Química", "", "False"},
                   {"Ciencias x", "Ciencias x", longText.substr(0, 80), "", "False"},
                   // Accented letters count as one character each (the cut keeps a blank,
                   // which reading back drops).
                   {"Educación", "Educación", "Educación Física", "Educación", "True"},
               });
}

TEST(ExportarMaterias, EmptyTextGivesOneEmptyRow) {
    StepHarness h;
    h.load(materias({"", "  ", "Lengua"}) + tareas({""}));
    runBoth(h);
    expectRows(h.rows("ASIGNOMT"),
               {{"", "", "", "", "False"}, {"Lengua", "Lengua", "Lengua", "", "False"}});
}

TEST(ExportarMaterias, WithoutSubjectsTheTasksAreStillWritten) {
    StepHarness h;
    h.load(tareas({"Guardia"}));
    runBoth(h);
    expectRows(h.rows("ASIGNOMT"), {{"Guardia", "Guardia", "Guardia", "Guardia", "True"}});
    EXPECT_EQ(
        test::readFieldNames(h.dir.path(), "ASIGNOMT"),
        (std::vector<std::string>{"COD", "CODLARGO", "NOMBRE", "MATERIA", "CODTAREA", "ESTAREA"}));
}

TEST(ExportarMaterias, EmptyDocumentGivesEmptyTable) {
    StepHarness h;
    h.load("");
    runBoth(h);
    EXPECT_TRUE(h.rows("ASIGNOMT").empty());
}

// A run abandoned after the subjects step leaves both lists filled; the next run codes its
// subjects as a first run would.
TEST(ExportarMaterias, EveryRunStartsWithEmptyLists) {
    StepHarness h;
    h.load(materias({"Lengua", "Matematicas I"}));
    h.run.ExportarMaterias();
    h.run.ExportarMaterias();
    runBoth(h);
    expectRows(h.rows("ASIGNOMT"), {{"Lengua", "Lengua", "Lengua", "", "False"},
                                    {"Matematica", "Matematica", "Matematicas I", "", "False"}});
}

TEST(ExportarMaterias, ReplacesTheTableOfAnEarlierExport) {
    StepHarness h;
    h.load(materias({"Lengua", "Historia", "Musica"}));
    runBoth(h);
    test::writeFile(h.dir / "ASIGNOMT.MDX", "old index");
    h.load(materias({"Dibujo"}));
    runBoth(h);
    expectRows(h.rows("ASIGNOMT"), {{"Dibujo", "Dibujo", "Dibujo", "", "False"}});
    EXPECT_FALSE(std::filesystem::exists(h.dir / "ASIGNOMT.MDX"));
}

}  // namespace
}  // namespace ttp
