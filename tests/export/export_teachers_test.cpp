#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/frames_fixture.h"

namespace ttp {
namespace {

using test::StepHarness;

std::string profesor(const std::string& nombre, const std::string& completo) {
    return "<profesor><nombre>" + nombre + "</nombre><nombreCompleto>" + completo +
           "</nombreCompleto></profesor>";
}

std::string profesores(const std::string& content) {
    return "<profesores>" + content + "</profesores>";
}

TEST(ExportarProfesores, OneRowPerTeacherInDocumentOrder) {
    const std::string longName = "Josefina " + std::string(90, 'z');
    StepHarness h;
    h.load(profesores(profesor("ANA", "Ana García") + profesor("ANA", "Ana López") +
                      profesor("  LOPEZ ", " Luis López\n") +
                      profesor("FERNANDEZMAR", "Fernando Fernández Martín") +
                      profesor("Josefina", longName)));
    h.run.ExportarProfesores();

    const auto rows = h.rows("PROFT");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ANA", "Ana García"},
        {"ANA1", "Ana López"},
        {"LOPEZ", "Luis López"},
        {"FERNANDEAR", "Fernando Fernández Martín"},
        {"Josefina", longName.substr(0, 80)},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(rows[i].at("ABREV"), expected[i].first);
        EXPECT_EQ(rows[i].at("NOMBRE"), expected[i].second);
        EXPECT_EQ(rows[i].at("DEPART"), "");
        EXPECT_EQ(rows[i].at("DNI"), "");
        EXPECT_EQ(rows[i].at("X_EMPLEADO"), "");
    }
}

TEST(ExportarProfesores, WithoutTeachersTheTableHasItsFieldsAndNoRow) {
    StepHarness h;
    h.load("<profesores/>");
    h.run.ExportarProfesores();
    EXPECT_TRUE(h.rows("PROFT").empty());
    EXPECT_EQ(test::readFieldNames(h.dir.path(), "PROFT"),
              (std::vector<std::string>{"ABREV", "NOMBRE", "DEPART", "DNI", "X_EMPLEADO"}));
}

// Names that fold onto a code already issued still get a code of their own.
TEST(ExportarProfesores, LongNamesThatRecurGetDistinctCodes) {
    StepHarness h;
    h.load(profesores(profesor("Pedro Gomez", "Pedro Gómez Ruiz") +
                      profesor("Pedro Gomez", "Pedro Gómez Sanz") +
                      profesor("pedro gomez", "Pedro Gómez Vera")));
    h.run.ExportarProfesores();
    EXPECT_EQ(test::readColumn(h.dir.path(), "PROFT", "ABREV"),
              (std::vector<std::string>{"Pedro Goez", "Pedro Goz1", "pedro goz2"}));
}

// Values are read from each teacher's own children: a teacher without `nombre` gets an empty
// code and the teachers after it keep their own names.
TEST(ExportarProfesores, MissingNameDoesNotShiftLaterTeachers) {
    StepHarness h;
    h.load(profesores(profesor("ANA", "Ana García") +
                      "<profesor><nombreCompleto>Sin Nombre</nombreCompleto></profesor>" +
                      profesor("LUIS", "Luis López")));
    h.run.ExportarProfesores();
    EXPECT_EQ(test::readColumn(h.dir.path(), "PROFT", "ABREV"),
              (std::vector<std::string>{"ANA", "", "LUIS"}));
    EXPECT_EQ(test::readColumn(h.dir.path(), "PROFT", "NOMBRE"),
              (std::vector<std::string>{"Ana García", "Sin Nombre", "Luis López"}));
}

// Teacher codes are tested against teacher codes only.
TEST(ExportarProfesores, CodesMayEqualOtherTablesCodes) {
    StepHarness h;
    h.load("<materias><materia>Lengua</materia></materias>" +
           profesores(profesor("Lengua", "Profesora de Lengua")));
    h.run.ExportarMaterias();
    h.run.ExportarTareas();
    h.run.ExportarProfesores();
    EXPECT_EQ(test::readColumn(h.dir.path(), "PROFT", "ABREV"),
              (std::vector<std::string>{"Lengua"}));
}

}  // namespace
}  // namespace ttp
