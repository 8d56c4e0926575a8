#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/run_state.h"
#include "export/export_run.h"
#include "support/export_fixture.h"
#include "support/files.h"
#include "support/scripted_interaction.h"

namespace ttp {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;

const std::vector<std::string> kTables = {"ASIGNOMT",   "PROFT",   "AULAT",
                                          "DIASHORAST", "GRUPOST", "ASIGT"};

std::string tramo(const std::string& frame, const std::string& indice, const std::string& desde) {
    return "<tramo><submarco>" + frame + "</submarco><dia>0</dia><indice>" + indice +
           "</indice><horaEntrada>" + desde +
           "</horaEntrada><horaSalida>23:00</horaSalida>"
           "<Tipo>L</Tipo></tramo>";
}

// A small school that passes every step; `frames` holds its marcoHorario elements.
std::string school(const std::string& frames, const std::string& countOfGenericRooms = "2") {
    return test::datosRVT(
        "<materias><materia>Lengua</materia></materias>"
        "<tareas><tarea>Guardia</tarea></tareas>"
        "<profesores><profesor><nombre>ANA</nombre><nombreCompleto>Ana García</nombreCompleto>"
        "</profesor></profesores>"
        "<aulas><aula><nombre>Aula 101</nombre></aula></aulas>"
        "<conjuntoDeAulas><general nombre=\"Aula\" numero=\"" +
        countOfGenericRooms +
        "\"/></conjuntoDeAulas>"
        "<grupos><grupo submarco=\"1\"><nombre>1º ESO A</nombre><nivel>ESO</nivel>"
        "<curso>1</curso><unidad>A</unidad></grupo></grupos>"
        "<sesionesLectivas><sesion numero=\"7\"><materia>Lengua</materia>"
        "<profesor>ANA</profesor><grupo>1º ESO A</grupo><tarea></tarea>"
        "<distribucionSemanal><distribucionVariable><numSesiones>4</numSesiones>"
        "</distribucionVariable></distribucionSemanal></sesion></sesionesLectivas>"
        "<marcosDeHorario>" +
        frames + "</marcosDeHorario>");
}

std::string oneFrame() {
    return school("<marcoHorario id=\"1\">" + tramo("1", "1", "08:30") + tramo("1", "2", "09:30") +
                  "</marcoHorario>");
}

// Records, in order, what the run asked of the person, with the run status at each message.
class RecordingInteraction : public test::ScriptedInteraction {
  public:
    explicit RecordingInteraction(const RunState& state) : state_(state) {}

    std::vector<std::string> log;

    void showMessage(std::string_view text) override {
        ScriptedInteraction::showMessage(text);
        log.push_back("mensaje " + std::string(text) + " (estado " +
                      std::to_string(state_.EstadoTransformacion) + ")");
    }
    void setBusy(bool b) override {
        ScriptedInteraction::setBusy(b);
        log.push_back(b ? "reloj" : "cursor normal");
    }
    void disableDirectionButtons() override {
        ScriptedInteraction::disableDirectionButtons();
        log.push_back("botones desactivados");
    }
    void closeWindow() override {
        ScriptedInteraction::closeWindow();
        log.push_back("ventana cerrada");
    }

  private:
    const RunState& state_;
};

// Every file of the staging folder with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        files[entry.path().filename().string()] = readBytes(entry.path());
    }
    return files;
}

struct RunHarness {
    TempDir xmlDir;
    TempDir staging;
    RunState state;
    RecordingInteraction ui{state};
    ExportRun run{state, ui};

    explicit RunHarness(bool hosted = false) {
        state.staging = staging.path();
        if (hosted) state.NumParametros = 2;
    }

    fs::path write(const std::string& content, const std::string& name = "centro.xml") {
        const fs::path file = xmlDir / name;
        test::writeFile(file, content);
        return file;
    }

    std::size_t rowCount(const std::string& table) const {
        return test::readRows(staging.path(), table).size();
    }

    std::string failure() {
        try {
            run.BExportarClick();
        } catch (const Error& e) {
            return e.what();
        }
        return "";
    }
};

TEST(BExportarClick, CompletedRunWritesTheSixTablesAndEndsAsTheWindowExpects) {
    for (const bool hosted : {false, true}) {
        SCOPED_TRACE(hosted ? "hosted" : "standalone");
        RunHarness h(hosted);
        const fs::path file = h.write(oneFrame());
        h.ui.files.push_back(file);
        h.run.BExportarClick();

        std::vector<std::string> expected = {"reloj", "cursor normal",
                                             "mensaje Proceso finalizado (estado 1)",
                                             "botones desactivados"};
        if (hosted) expected.push_back("ventana cerrada");
        EXPECT_EQ(h.ui.log, expected);
        EXPECT_EQ(h.state.EstadoTransformacion, 1);
        EXPECT_EQ(h.state.FicheroXML, file);
        ASSERT_TRUE(h.state.DocumentoXML.has_value());

        const std::map<std::string, std::size_t> rows = {{"ASIGNOMT", 2}, {"PROFT", 1},
                                                         {"AULAT", 3},    {"DIASHORAST", 2},
                                                         {"GRUPOST", 1},  {"ASIGT", 1}};
        for (const auto& [table, count] : rows) EXPECT_EQ(h.rowCount(table), count) << table;
        EXPECT_EQ(test::readColumn(h.staging.path(), "ASIGT", "CPROF"),
                  (std::vector<std::string>{"ANA"}));
    }
}

struct MissingFileCase {
    std::string name;
    bool hosted;
    // What the dialog answers: nullopt cancels; "<folder>" names the folder of the document.
    std::optional<std::string> answer;
};

TEST(BExportarClick, MissingFileTouchesNothing) {
    const std::vector<MissingFileCase> cases = {
        {"cancelled", false, std::nullopt},   {"cancelled hosted", true, std::nullopt},
        {"no such file", false, "falta.xml"}, {"no such file hosted", true, "falta.xml"},
        {"a folder", false, "<folder>"},      {"empty path", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h(c.hosted);
        if (c.answer) {
            if (*c.answer == "<folder>") {
                h.ui.files.push_back(h.xmlDir.path());
            } else if (c.answer->empty()) {
                h.ui.files.push_back(fs::path());
            } else {
                h.ui.files.push_back(h.xmlDir / *c.answer);
            }
        }
        h.run.BExportarClick();

        std::vector<std::string> expected = {"mensaje No existe archivo (estado 0)"};
        if (c.hosted) expected.push_back("ventana cerrada");
        EXPECT_EQ(h.ui.log, expected);
        EXPECT_EQ(h.state.EstadoTransformacion, c.hosted ? -1 : 0);
        EXPECT_TRUE(fs::is_empty(h.staging.path()));
        EXPECT_FALSE(h.state.DocumentoXML.has_value());
    }
}

// After a run abandoned on an error, a cancelled dialog exports the same file again.
TEST(BExportarClick, CancelledDialogKeepsThePreviousPath) {
    RunHarness h;
    const fs::path file = h.write(oneFrame());
    h.state.FicheroXML = file;
    h.run.BExportarClick();
    EXPECT_EQ(h.state.FicheroXML, file);
    EXPECT_EQ(h.state.EstadoTransformacion, 1);
    EXPECT_EQ(h.rowCount("ASIGT"), 1u);
}

// A file that is not well-formed XML stops the run before any table is touched: the tables of
// the earlier export stay as they were.
TEST(BExportarClick, MalformedDocumentStopsBeforeAnyTable) {
    RunHarness h;
    h.ui.files.push_back(h.write(oneFrame()));
    h.run.BExportarClick();
    const auto before = snapshot(h.staging.path());

    h.ui.log.clear();
    h.state.EstadoTransformacion = 0;
    h.ui.files.push_back(h.write("<datosRVT><materias><materia>Lengua</materias>", "roto.xml"));
    const std::string message = h.failure();
    EXPECT_NE(message.find("roto.xml"), std::string::npos) << message;
    EXPECT_TRUE(h.ui.log.empty());
    EXPECT_EQ(h.state.EstadoTransformacion, 0);
    EXPECT_EQ(snapshot(h.staging.path()), before);
}

// An error in a step: the tables before it are complete, its own table holds the rows written
// before the error, the later ones stay as an earlier export left them; the cursor is back,
// nothing is disabled or closed, the status keeps its value.
TEST(BExportarClick, ErrorInAStepLeavesWhatWasWritten) {
    RunHarness h(/*hosted=*/true);
    h.ui.files.push_back(h.write(oneFrame()));
    h.run.BExportarClick();
    const auto before = snapshot(h.staging.path());

    h.ui.log.clear();
    h.state.EstadoTransformacion = 0;
    h.ui.files.push_back(h.write(school("", "muchas"), "otro.xml"));
    const std::string message = h.failure();
    EXPECT_NE(message.find("'muchas' no es un valor entero válido"), std::string::npos) << message;
    EXPECT_EQ(h.ui.log, (std::vector<std::string>{"reloj", "cursor normal"}));
    EXPECT_EQ(h.state.EstadoTransformacion, 0);

    EXPECT_EQ(h.rowCount("ASIGNOMT"), 2u);
    EXPECT_EQ(h.rowCount("PROFT"), 1u);
    EXPECT_EQ(test::readColumn(h.staging.path(), "AULAT", "ABREV"),
              (std::vector<std::string>{"Aula 101"}));
    const auto after = snapshot(h.staging.path());
    for (const std::string name : {"DIASHORAST.DBF", "GRUPOST.DBF", "ASIGT.DBF"}) {
        EXPECT_EQ(after.at(name), before.at(name)) << name;
    }
}

TEST(BExportarClick, MissingStagingFolderIsAnErrorNamingIt) {
    RunHarness h;
    h.state.staging = h.staging / "TTEMP";
    h.ui.files.push_back(h.write(oneFrame()));
    const std::string message = h.failure();
    EXPECT_NE(message.find("TTEMP"), std::string::npos) << message;
    EXPECT_EQ(h.ui.log, (std::vector<std::string>{"reloj", "cursor normal"}));
    EXPECT_FALSE(fs::exists(h.state.staging));
    EXPECT_TRUE(fs::is_empty(h.staging.path()));
}

TEST(BExportarClick, TwoFramesAskTheDialogOverTheChosenFile) {
    RunHarness h;
    const fs::path file =
        h.write(school("<marcoHorario id=\"1\">" + tramo("1", "1", "08:30") +
                       "</marcoHorario><marcoHorario id=\"2\">" + tramo("2", "1", "15:00") +
                       tramo("2", "2", "16:00") + "</marcoHorario>"));
    h.ui.files.push_back(file);
    h.ui.frameAnswers.push_back({true, "2         "});
    h.run.BExportarClick();
    EXPECT_EQ(h.ui.frameDialogsShown, (std::vector<fs::path>{file}));
    EXPECT_EQ(test::readColumn(h.staging.path(), "DIASHORAST", "MARCOXML"),
              (std::vector<std::string>{"2", "2"}));
    EXPECT_EQ(h.state.EstadoTransformacion, 1);
}

// A second export replaces all six tables; an index file of an earlier export goes too.
TEST(BExportarClick, SecondExportReplacesEveryTable) {
    RunHarness h;
    h.ui.files.push_back(h.write(oneFrame()));
    h.run.BExportarClick();
    for (const auto& table : kTables) test::writeFile(h.staging / (table + ".MDX"), "index");

    RunHarness second;
    second.state.staging = h.staging.path();
    second.ui.files.push_back(second.write(
        test::datosRVT("<marcosDeHorario><marcoHorario id=\"9\">" + tramo("9", "1", "08:00") +
                       "</marcoHorario></marcosDeHorario>")));
    second.run.BExportarClick();
    EXPECT_EQ(second.state.EstadoTransformacion, 1);
    for (const auto& table : kTables) {
        EXPECT_FALSE(fs::exists(h.staging / (table + ".MDX"))) << table;
        EXPECT_EQ(h.rowCount(table), table == "DIASHORAST" ? 1u : 0u) << table;
    }
}

}  // namespace
}  // namespace ttp
