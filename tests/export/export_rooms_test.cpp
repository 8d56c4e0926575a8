#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "support/frames_fixture.h"

namespace ttp {
namespace {

using test::Row;
using test::StepHarness;

std::string aulas(const std::vector<std::string>& names) {
    std::string body = "<aulas>";
    for (const auto& n : names) body += "<aula><nombre>" + n + "</nombre></aula>";
    return body + "</aulas>";
}

std::string generales(const std::string& content) {
    return "<conjuntoDeAulas>" + content + "</conjuntoDeAulas>";
}

// ABREV, NOMBRE and PD_GENERICA of one row.
struct Room {
    std::string abrev, nombre, generica;
};

void expectRooms(const std::vector<Row>& rows, const std::vector<Room>& expected) {
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(rows[i].at("ABREV"), expected[i].abrev);
        EXPECT_EQ(rows[i].at("NOMBRE"), expected[i].nombre);
        EXPECT_EQ(rows[i].at("PD_GENERICA"), expected[i].generica);
        EXPECT_EQ(rows[i].at("EDIFICIO"), "");
        EXPECT_EQ(rows[i].at("MAXALUM"), "");
    }
}

std::string failureOf(StepHarness& h) {
    try {
        h.run.ExportarAulas();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

TEST(ExportarAulas, OrdinaryRoomsThenGenericRooms) {
    StepHarness h;
    h.load(generales("<general nombre=\"Aula\" numero=\"3\"/>") +
           aulas({"Laboratorio de Física", "Laboratorio de Química", " Taller    X ", "Aula 1",
                  "AULA 1"}));
    h.run.ExportarAulas();
    expectRooms(h.rows("AULAT"), {
                                     {"Laboratori", "Laboratorio de Física", "N"},
                                     {"Laborator1", "Laboratorio de Química", "N"},
                                     {"Taller", "Taller    X", "N"},
                                     {"Aula 1", "Aula 1", "N"},
                                     {"AULA 11", "AULA 1", "N"},
                                     {"Aula1", "Aula", "S"},
                                     {"Aula2", "Aula", "S"},
                                     {"Aula3", "Aula", "S"},
                                 });
}

// The generic rooms share the code list of the ordinary ones; only the first `general`
// counts, and its attributes are taken by position whatever their names.
TEST(ExportarAulas, GenericRoomsShareTheCodeList) {
    StepHarness h;
    h.load(aulas({"Aula1"}) +
           generales("<general n=\"Aula\" m=\"2\"/><general n=\"Otra\" m=\"4\"/>"));
    h.run.ExportarAulas();
    expectRooms(h.rows("AULAT"),
                {{"Aula1", "Aula1", "N"}, {"Aula11", "Aula", "S"}, {"Aula2", "Aula", "S"}});
}

TEST(ExportarAulas, GenericNameKeepsItsBlanksInNombre) {
    StepHarness h;
    h.load(generales("<general nombre=\"  Aula \" numero=\"2\"/>"));
    h.run.ExportarAulas();
    // NOMBRE keeps the leading blanks (text reads back without the trailing ones); the codes
    // lose them.
    expectRooms(h.rows("AULAT"), {{"Aula 1", "  Aula", "S"}, {"Aula 2", "  Aula", "S"}});
}

TEST(ExportarAulas, NoRoomsGiveAnEmptyTableWithItsFields) {
    StepHarness h;
    h.load("");
    h.run.ExportarAulas();
    EXPECT_TRUE(h.rows("AULAT").empty());
    EXPECT_EQ(test::readFieldNames(h.dir.path(), "AULAT"),
              (std::vector<std::string>{"ABREV", "NOMBRE", "EDIFICIO", "MAXALUM", "PD_GENERICA"}));
}

TEST(ExportarAulas, CountOfZeroOrLessAddsNoGenericRoom) {
    for (const std::string count : {"0", "-2", "-2147483648"}) {
        SCOPED_TRACE(count);
        StepHarness h;
        h.load(aulas({"Aula 101"}) +
               generales("<general nombre=\"Aula\" numero=\"" + count + "\"/>"));
        h.run.ExportarAulas();
        expectRooms(h.rows("AULAT"), {{"Aula 101", "Aula 101", "N"}});
    }
}

// A count that is no 32-bit decimal integer stops the step; the ordinary rooms written
// before stay.
TEST(ExportarAulas, CountThatIsNoIntegerStopsTheStep) {
    for (const std::string count : {"", "3 ", " 3", "2.5", "tres", "0x10", "2147483648"}) {
        SCOPED_TRACE("'" + count + "'");
        StepHarness h;
        h.load(aulas({"Aula 101"}) +
               generales("<general nombre=\"Aula\" numero=\"" + count + "\"/>"));
        const std::string message = failureOf(h);
        EXPECT_NE(message.find("'" + count + "' no es un valor entero válido"), std::string::npos)
            << message;
        EXPECT_NE(message.find("general"), std::string::npos) << message;
        expectRooms(h.rows("AULAT"), {{"Aula 101", "Aula 101", "N"}});
    }
}

TEST(ExportarAulas, AttributesInTheOtherOrderStopTheStep) {
    StepHarness h;
    h.load(generales("<general numero=\"3\" nombre=\"Aula\"/>"));
    EXPECT_NE(failureOf(h).find("'Aula' no es un valor entero válido"), std::string::npos);
}

TEST(ExportarAulas, GeneralWithOneAttributeStopsTheStep) {
    StepHarness h;
    h.load(aulas({"Aula 101"}) + generales("<general nombre=\"Aula\"/>"));
    const std::string message = failureOf(h);
    EXPECT_NE(message.find("general"), std::string::npos) << message;
    EXPECT_NE(message.find("posición 1"), std::string::npos) << message;
    expectRooms(h.rows("AULAT"), {{"Aula 101", "Aula 101", "N"}});
}

// A count far beyond any school would write rows until the disk is full.
TEST(ExportarAulas, ExcessiveCountIsRefused) {
    StepHarness h;
    h.load(generales("<general nombre=\"Aula\" numero=\"2000000000\"/>"));
    const std::string message = failureOf(h);
    EXPECT_NE(message.find("2000000000"), std::string::npos) << message;
    EXPECT_TRUE(h.rows("AULAT").empty());
}

}  // namespace
}  // namespace ttp
