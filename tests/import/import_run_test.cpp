#include "import/import_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/run_state.h"
#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "formats/xml_document.h"
#include "import/import_fixture.h"
#include "support/export_fixture.h"
#include "support/scripted_interaction.h"

namespace ttp::test {
namespace {

namespace fs = std::filesystem;

const std::string kFirstMessage =
    "Deberá Abrir el fichero XML de PEDANOR,\r\ndesde el cual realizó la Importación a Tavolex";

const std::string kDocument = datosRVT(
    "\n  <!-- exportado por el centro -->\n"
    "  <materias><materia>Matemáticas</materia></materias>\n"
    "  <aulas><aula><nombre>Aula 1</nombre></aula></aulas>\n"
    "  <grupos><grupo submarco=\"M1\"><nombre>1º A</nombre></grupo></grupos>\n");

class ImportRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(staging);
        state.staging = staging;
        writeFile(input, kDocument);
        writeExportTables();
    }

    // The tables of an export: two frames, ordinary and generic rooms, three sessions of
    // which two share subject and group.
    void writeExportTables() {
        writeStaging(staging, staging::aulat(),
                     {{{"ABREV", "AUL1"}, {"NOMBRE", "Aula 1"}, {"PD_GENERICA", "N"}},
                      {{"ABREV", "GEN1"}, {"NOMBRE", "Aula genérica 1"}, {"PD_GENERICA", "S"}},
                      {{"ABREV", "LAB"}, {"NOMBRE", "Laboratorio Química"}, {"PD_GENERICA", "N"}},
                      {{"ABREV", "GEN2"}, {"NOMBRE", "Aula genérica 2"}, {"PD_GENERICA", "S"}}});
        writeStaging(staging, staging::diashorast(),
                     {{{"DIHO", "11"}, {"MARCO", "0"}, {"MARCOXML", "MañanaA"}},
                      {{"DIHO", "12"}, {"MARCO", "0"}, {"MARCOXML", "MañanaA"}},
                      {{"DIHO", "11"}, {"MARCO", "1"}, {"MARCOXML", "Tarde"}}});
        writeStaging(staging, staging::asigt(),
                     {{{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"PD_SESION", "11"}},
                      {{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"PD_SESION", "99"}},
                      {{"CASIG", "LEN"}, {"CGRUP", "1A"}, {"PD_SESION", "12"}},
                      {{"CASIG", "MAT"}, {"CGRUP", "2B"}, {"PD_SESION", "13"}}});
        writeStaging(staging, staging::grupost(), {});
        writeStaging(staging, staging::proft(), {});
        writeStaging(staging, staging::asignomt(), {});
    }

    void writeSoluc(const std::vector<Values>& rows,
                    dbf::FieldType numeric = dbf::FieldType::Integer,
                    const std::string& fileName = "SOLUC.DBF") {
        writeTable(staging / fileName, solucFields(numeric), rows);
    }

    void run() {
        ui.files.push_back(input);
        ImportRun(state, ui).BImportarClick();
    }

    fs::path resultFile() const { return dir / "ResultadoTavolexcentro.xml"; }

    // The slots of the only `horario` of the result file.
    std::vector<Tramo> resultTramos() {
        xml::Document doc = xml::Document::load(resultFile());
        auto found = horarios(doc);
        if (found.size() != 1) {
            ADD_FAILURE() << found.size() << " horario elements in the result";
            return {};
        }
        return readTramos(found[0]);
    }

    TempDir dir;
    fs::path staging = dir / "TTEMP";
    fs::path input = dir / "centro.xml";
    RunState state;
    ScriptedInteraction ui;
};

TEST_F(ImportRunTest, EveryRowWithADayBecomesOneTramoInTableOrder) {
    writeSoluc({
        soluc("1", "3", "0", "AUL1", "MAT", "1A", "PROF1"),  // first ASIGT row wins
        soluc("0", "2", "0", "AUL1", "LEN", "1A", "PROF1"),  // DIA 0: passed over
        soluc("5", "2", "1", "", "LEN", "1A", "PROF2"),      // blank room: first generic
        soluc("2", "1", "7", "GEN1", "QUI", "1A", "PROF3"),  // unknown frame, generic room
        soluc("3", "4", "0", "NOPE", "MAT", "3C", "PROF1"),  // unknown room and pair
        soluc("7", "10", "0", "LAB", "MAT", "2B", "Núñez"),  // names outside ASCII
    });
    run();

    const std::vector<Tramo> expected = {
        {"0", "3", "MañanaA", "id=Aula 1", "11", "PROF1"},
        {"4", "2", "Tarde", "anonima=Aula genérica 1", "12", "PROF2"},
        {"1", "1", "", "", "", "PROF3"},
        {"2", "4", "MañanaA", "", "", "PROF1"},
        {"6", "10", "MañanaA", "id=Laboratorio Química", "13", "Núñez"},
    };
    EXPECT_EQ(resultTramos(), expected);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kFirstMessage, "Proceso finalizado"}));
    EXPECT_EQ(ui.busyCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(ui.disableCalls, 1);
    EXPECT_EQ(ui.closeCalls, 0);
    EXPECT_EQ(state.EstadoTransformacion, 1);
    EXPECT_EQ(state.FicheroXML, input);
    EXPECT_TRUE(state.DocumentoXML.has_value());
}

TEST_F(ImportRunTest, ReportsTheResultFileBesideTheInputAndLeavesTheInputAlone) {
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
    writeFile(resultFile(), "an earlier result");
    ui.files.push_back(input);
    ImportRun importRun(state, ui);
    importRun.BImportarClick();

    EXPECT_EQ(importRun.resultFile(), resultFile());
    EXPECT_EQ(readBytes(input), kDocument);
    EXPECT_EQ(resultTramos().size(), 1u);
    // No temporary file is left behind.
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        if (entry.is_regular_file()) files.push_back(entry.path().filename());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<fs::path>{"ResultadoTavolexcentro.xml", "centro.xml"}));
}

TEST_F(ImportRunTest, KeepsEverythingElseOfTheDocument) {
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
    run();
    xml::Document result = xml::Document::load(resultFile());
    for (xml::Node h : horarios(result)) h.remove();
    EXPECT_EQ(result.serialize(), xml::Document::load(input).serialize());
}

TEST_F(ImportRunTest, FloatDayAndSlotFieldsReadAsIntegers) {
    writeSoluc({soluc("2.0", "3.0", "0", "AUL1", "MAT", "1A", "P"),
                soluc("0.0", "1.0", "0", "AUL1", "MAT", "1A", "P")},
               dbf::FieldType::Float);
    run();
    EXPECT_EQ(resultTramos(), (std::vector<Tramo>{{"1", "3", "MañanaA", "id=Aula 1", "11", "P"}}));
}

TEST_F(ImportRunTest, FindsTheSolutionTableWhateverItsLetterCase) {
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")}, dbf::FieldType::Integer,
               "soluc.dbf");
    run();
    EXPECT_EQ(resultTramos().size(), 1u);
    EXPECT_EQ(state.EstadoTransformacion, 1);
}

TEST_F(ImportRunTest, DeletedSolutionRowsArePassedOver) {
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "A"),
                soluc("2", "2", "0", "AUL1", "MAT", "1A", "B"),
                soluc("3", "3", "0", "AUL1", "MAT", "1A", "C")});
    // Mark the second record deleted, as a dBase program does: '*' in its first byte.
    std::string bytes = readBytes(staging / "SOLUC.DBF");
    const auto u16 = [&](std::size_t at) {
        return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                           << 8;
    };
    bytes[u16(8) + u16(10)] = '*';
    writeFile(staging / "SOLUC.DBF", bytes);
    run();
    const auto tramos = resultTramos();
    ASSERT_EQ(tramos.size(), 2u);
    EXPECT_EQ(tramos[0].profesor, "A");
    EXPECT_EQ(tramos[1].profesor, "C");
}

TEST_F(ImportRunTest, AllRowsWithoutDayGiveAnEmptyTimetable) {
    writeSoluc({soluc("0", "1", "0", "AUL1", "MAT", "1A", "P"),
                soluc("0", "2", "1", "", "LEN", "1A", "Q")});
    run();
    xml::Document result = xml::Document::load(resultFile());
    auto found = horarios(result);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(readTramos(found[0]).empty());
    EXPECT_EQ(state.EstadoTransformacion, 1);
}

TEST_F(ImportRunTest, BlankRoomWithoutGenericRoomGivesAnEmptyAnonima) {
    writeStaging(staging, staging::aulat(),
                 {{{"ABREV", "AUL1"}, {"NOMBRE", "Aula 1"}, {"PD_GENERICA", "N"}}});
    writeSoluc({soluc("1", "1", "0", "   ", "MAT", "1A", "P")});
    run();
    EXPECT_EQ(resultTramos(), (std::vector<Tramo>{{"0", "1", "MañanaA", "anonima=", "11", "P"}}));
}

TEST_F(ImportRunTest, AFrameDigitNotInTheSlotTableNeverTakesTheFrameOfTheRowBefore) {
    writeSoluc({soluc("1", "1", "1", "AUL1", "MAT", "1A", "P"),
                soluc("1", "2", "5", "AUL1", "MAT", "1A", "P"),
                soluc("1", "3", "", "AUL1", "MAT", "1A", "P")});
    run();
    const auto tramos = resultTramos();
    ASSERT_EQ(tramos.size(), 3u);
    EXPECT_EQ(tramos[0].marco, "Tarde");
    EXPECT_EQ(tramos[1].marco, "");
    EXPECT_EQ(tramos[2].marco, "");
    EXPECT_EQ(ui.notices.size(), 2u);
}

TEST_F(ImportRunTest, AnEarlierTimetableIsReplacedNotMixedIn) {
    const std::string withTimetable = datosRVT(
        "<horario><tramo dia=\"3\" indice=\"1\" marco=\"Viejo\"><aula id=\"X\"><sesion>5"
        "</sesion><profesor>OLD</profesor></aula></tramo></horario>"
        "<materias><materia>Arte</materia></materias>"
        "<horario/>");
    writeFile(input, withTimetable);
    writeSoluc({soluc("2", "6", "0", "AUL1", "MAT", "1A", "P")});
    run();

    xml::Document result = xml::Document::load(resultFile());
    auto found = horarios(result);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(readTramos(found[0]),
              (std::vector<Tramo>{{"1", "6", "MañanaA", "id=Aula 1", "11", "P"}}));
    // The new timetable is the last child of the root and the rest stays.
    const auto* last = xmlGetLastChild(result.root().raw());
    while (last && last->type != XML_ELEMENT_NODE) last = last->prev;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last, found[0].raw());
    EXPECT_EQ(result.select("/datosRVT/materias/materia").size(), 1u);
    EXPECT_EQ(readBytes(input), withTimetable);
}

TEST_F(ImportRunTest, ADocumentThatIsNotWellFormedWritesNoResult) {
    const std::string broken = "<?xml version=\"1.0\"?>\n<datosRVT><materias></datosRVT>\n";
    writeFile(input, broken);
    writeFile(resultFile(), "an earlier result");
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});

    EXPECT_THROW(run(), Error);
    EXPECT_EQ(readBytes(resultFile()), "an earlier result");
    EXPECT_EQ(readBytes(input), broken);
    EXPECT_EQ(state.EstadoTransformacion, 0);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kFirstMessage}));
    EXPECT_EQ(ui.busyCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(ui.disableCalls, 0);
    // The tables are let go: another program can take them again.
    EXPECT_NO_THROW(staging::open(staging, "SOLUC"));
    EXPECT_NO_THROW(staging::open(staging, "ASIGT"));
}

TEST_F(ImportRunTest, ADocumentWithAnotherRootWritesNoResult) {
    writeFile(input, "<?xml version=\"1.0\"?>\n<otraCosa><horario/></otraCosa>\n");
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
    try {
        run();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("datosRVT"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(resultFile()));
}

TEST_F(ImportRunTest, AMissingFieldIsNamedAndNothingIsWritten) {
    struct Case {
        std::string table;
        std::string field;
    };
    const std::vector<Case> cases = {
        {"SOLUC", "DIA"},       {"SOLUC", "HORA"},        {"SOLUC", "MARCO"},
        {"SOLUC", "AULA"},      {"SOLUC", "ASIG"},        {"SOLUC", "CODGRUPO"},
        {"SOLUC", "PROF"},      {"AULAT", "PD_GENERICA"}, {"DIASHORAST", "MARCOXML"},
        {"ASIGT", "PD_SESION"},
    };
    const std::vector<std::pair<std::string, std::vector<dbf::FieldDef>>> full = {
        {"SOLUC", solucFields()},
        {"AULAT", staging::aulat().fields},
        {"DIASHORAST", staging::diashorast().fields},
        {"ASIGT", staging::asigt().fields},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table + "." + c.field);
        writeExportTables();
        writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
        for (const auto& [name, fields] : full) {
            if (name != c.table) continue;
            std::vector<dbf::FieldDef> without;
            for (const auto& f : fields) {
                if (f.name != c.field) without.push_back(f);
            }
            ASSERT_EQ(without.size() + 1, fields.size());
            writeTable(staging / (name + ".DBF"), without, {});
        }
        ScriptedInteraction local;
        local.files.push_back(input);
        try {
            ImportRun(state, local).BImportarClick();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(c.field), std::string::npos) << message;
            EXPECT_NE(message.find(c.table), std::string::npos) << message;
        }
        EXPECT_FALSE(fs::exists(resultFile()));
        EXPECT_EQ(local.busyCalls, (std::vector<bool>{true, false}));
    }
}

TEST_F(ImportRunTest, EachOfTheSevenTablesMustExist) {
    for (std::string name :
         {"SOLUC", "GRUPOST", "PROFT", "AULAT", "ASIGNOMT", "DIASHORAST", "ASIGT"}) {
        SCOPED_TRACE(name);
        writeExportTables();
        writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
        fs::remove(staging / (name + ".DBF"));
        ScriptedInteraction local;
        local.files.push_back(input);
        try {
            ImportRun(state, local).BImportarClick();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(resultFile()));
        EXPECT_EQ(state.EstadoTransformacion, 0);
    }
}

TEST_F(ImportRunTest, ATableHeldByAnotherIsRefused) {
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
    dbf::Table held = staging::open(staging, "DIASHORAST");
    EXPECT_THROW(run(), Error);
    EXPECT_FALSE(fs::exists(resultFile()));
}

TEST_F(ImportRunTest, AMissingStagingFolderIsNamed) {
    writeSoluc({});
    state.staging = dir / "NOHAY";
    try {
        run();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("NOHAY"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(resultFile()));
}

struct MissingFileCase {
    const char* name;
    int numParametros;
    int estado;
    int closes;
};

class ImportMissingFileTest : public ImportRunTest,
                              public ::testing::WithParamInterface<MissingFileCase> {};

TEST_P(ImportMissingFileTest, ACancelledFirstDialogEndsTheRunBeforeAnyTable) {
    const MissingFileCase& c = GetParam();
    fs::remove_all(staging);  // no table is opened: their absence must not matter
    state.NumParametros = c.numParametros;
    ImportRun(state, ui).BImportarClick();  // no file queued: the dialog is cancelled

    EXPECT_EQ(ui.messages, (std::vector<std::string>{kFirstMessage, "No existe archivo XML."}));
    EXPECT_EQ(state.EstadoTransformacion, c.estado);
    EXPECT_EQ(ui.closeCalls, c.closes);
    EXPECT_TRUE(ui.busyCalls.empty());
    EXPECT_EQ(ui.disableCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ImportMissingFileTest,
                         ::testing::Values(MissingFileCase{"standalone", 0, 0, 0},
                                           MissingFileCase{"hosted", 2, -1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImportRunTest, AChosenPathThatIsNoFileIsMissing) {
    ui.files.push_back(dir / "no-existe.xml");
    ImportRun(state, ui).BImportarClick();
    ui.files.push_back(dir.path());  // a folder is no file either
    ImportRun(state, ui).BImportarClick();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kFirstMessage, "No existe archivo XML.",
                                                     kFirstMessage, "No existe archivo XML."}));
    EXPECT_TRUE(ui.busyCalls.empty());
}

TEST_F(ImportRunTest, AfterAnAbandonedRunACancelledDialogKeepsThePreviousFile) {
    fs::remove(staging / "SOLUC.DBF");
    EXPECT_THROW(run(), Error);
    EXPECT_EQ(state.EstadoTransformacion, 0);

    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
    ImportRun(state, ui).BImportarClick();  // dialog cancelled
    EXPECT_EQ(state.EstadoTransformacion, 1);
    EXPECT_EQ(resultTramos().size(), 1u);
    EXPECT_EQ(ui.messages.back(), "Proceso finalizado");
}

TEST_F(ImportRunTest, HostedRunClosesTheWindowWhenDone) {
    state.NumParametros = 2;
    writeSoluc({soluc("1", "1", "0", "AUL1", "MAT", "1A", "P")});
    run();
    EXPECT_EQ(state.EstadoTransformacion, 1);
    EXPECT_EQ(ui.disableCalls, 1);
    EXPECT_EQ(ui.closeCalls, 1);
    EXPECT_EQ(ui.messages.back(), "Proceso finalizado");
}

}  // namespace
}  // namespace ttp::test
