// The sample school through both directions: export, the stand-in timetabler, import. The
// result is checked against the document itself, not against the import's own look-ups.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/run_state.h"
#include "export/export_run.h"
#include "formats/exchange_document.h"
#include "formats/text.h"
#include "formats/xml_document.h"
#include "import/import_fixture.h"
#include "import/import_run.h"
#include "staging_io.h"
#include "support/export_fixture.h"
#include "support/scripted_interaction.h"

namespace ttp::test {
namespace {

namespace fs = std::filesystem;

std::string cell(std::string id) {
    id.resize(10, ' ');
    return id;
}

std::string utf8Text(const xml::Node& parent, std::string_view child) {
    return text::toUtf8(exchange::childText(parent, child));
}

// What the sample document says about one teaching session.
struct SessionFacts {
    std::string materia, profesor, grupo;
    int numSesiones = 1;
};

class SampleRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(staging);
        fs::copy_file(fs::path(TTP_SOURCE_DIR) / "samples" / "centro-ejemplo.xml", input);
        original = readBytes(input);
        readSample();
    }

    void readSample() {
        const xml::Document doc = xml::Document::load(input);
        for (const xml::Node& m : doc.select(exchange::kMarcos)) {
            frameIds.push_back(text::toUtf8(exchange::attributeNamed(m, "id")));
        }
        for (const xml::Node& t : doc.select(exchange::kTramos)) {
            if (utf8Text(t, "Tipo") == "Recreo") continue;
            teachingSlots.insert(
                {utf8Text(t, "submarco"), utf8Text(t, "dia"), utf8Text(t, "indice")});
        }
        for (const xml::Node& g : doc.select(exchange::kGrupos)) {
            frameOfGroup[utf8Text(g, "nombre")] =
                text::toUtf8(exchange::attributeNamed(g, "submarco"));
        }
        for (const xml::Node& p : doc.select(exchange::kProfesores)) {
            teacherNames.emplace_back(utf8Text(p, "nombre"), utf8Text(p, "nombreCompleto"));
        }
        for (const xml::Node& a : doc.select(exchange::kAulas)) {
            roomNames.insert(utf8Text(a, "nombre"));
        }
        for (const xml::Node& s : doc.select(exchange::kSesiones)) {
            SessionFacts f;
            f.materia = utf8Text(s, "materia");
            f.profesor = utf8Text(s, "profesor");
            f.grupo = utf8Text(s, "grupo");
            const std::string n =
                utf8Text(s, "distribucionSemanal/distribucionVariable/numSesiones");
            f.numSesiones = n.empty() ? 1 : std::stoi(n);
            sessions[text::toUtf8(exchange::attributeAt(s, 0))] = f;
        }
    }

    TempDir dir;
    fs::path staging = dir / "TTEMP";
    fs::path input = dir / "centro-ejemplo.xml";
    std::string original;

    std::vector<std::string> frameIds;
    std::set<std::tuple<std::string, std::string, std::string>> teachingSlots;
    std::map<std::string, std::string> frameOfGroup;
    std::set<std::string> roomNames;
    std::vector<std::pair<std::string, std::string>> teacherNames;  // nombre, nombreCompleto
    std::map<std::string, SessionFacts> sessions;
};

TEST_F(SampleRoundTrip, EveryPlacedSessionComesBackOnceAsItsSlot) {
    ASSERT_EQ(frameIds.size(), 2u);
    RunState state;
    state.staging = staging;

    ScriptedInteraction exportUi;
    exportUi.files.push_back(input);
    exportUi.frameAnswers.push_back({true, cell(frameIds[0]) + cell(frameIds[1])});
    ExportRun(state, exportUi).BExportarClick();
    ASSERT_EQ(state.EstadoTransformacion, 1);

    const standin::Summary summary = standin::solve(staging);
    ASSERT_GT(summary.placed, 100u);
    EXPECT_EQ(readFieldNames(staging, "SOLUC"),
              (std::vector<std::string>{"DIA", "HORA", "MARCO", "AULA", "ASIG", "CODGRUPO", "PROF",
                                        "TURNO", "NIVEL", "CURSO", "GRUPO", "TAREA", "SESIONES"}));
    const std::vector<Row> solucRows = readRows(staging, "SOLUC");
    std::vector<Row> placed;
    for (const Row& r : solucRows) {
        if (r.at("DIA") != "0") placed.push_back(r);
    }
    ASSERT_EQ(placed.size(), summary.placed);

    state.EstadoTransformacion = 0;
    ScriptedInteraction importUi;
    importUi.files.push_back(input);
    ImportRun importRun(state, importUi);
    importRun.BImportarClick();
    ASSERT_EQ(state.EstadoTransformacion, 1);
    EXPECT_EQ(importRun.resultFile(), dir / "ResultadoTavolexcentro-ejemplo.xml");

    EXPECT_EQ(readBytes(input), original) << "the input file was changed";

    xml::Document result = xml::Document::load(importRun.resultFile());
    const auto found = horarios(result);
    ASSERT_EQ(found.size(), 1u);
    const std::vector<Tramo> tramos = readTramos(found[0]);

    // One tramo per placed SOLUC row, in its order, with its day, slot and teacher.
    ASSERT_EQ(tramos.size(), placed.size());
    for (std::size_t i = 0; i < tramos.size(); ++i) {
        SCOPED_TRACE("tramo " + std::to_string(i));
        EXPECT_EQ(tramos[i].dia, std::to_string(std::stoi(placed[i].at("DIA")) - 1));
        EXPECT_EQ(tramos[i].indice, placed[i].at("HORA"));
        EXPECT_EQ(tramos[i].profesor, placed[i].at("PROF"));
    }

    // The codes the export gave each teacher name (two teachers may share a name), through
    // the full name that PROFT keeps beside the code.
    std::map<std::string, std::set<std::string>> teacherCodes;
    for (const Row& p : readRows(staging, "PROFT")) {
        for (const auto& [nombre, completo] : teacherNames) {
            if (completo == p.at("NOMBRE")) teacherCodes[nombre].insert(p.at("ABREV"));
        }
    }

    // Sessions that share a subject and group pair: the timetabler's row names the pair only,
    // so its tramo carries the first session's number and the teacher of any of them.
    std::map<std::pair<std::string, std::string>, int> pairs;
    std::map<std::pair<std::string, std::string>, std::set<std::string>> teachersOfPair;
    for (const auto& [n, s] : sessions) {
        ++pairs[{s.materia, s.grupo}];
        const auto& codes = teacherCodes[s.profesor];
        teachersOfPair[{s.materia, s.grupo}].insert(codes.begin(), codes.end());
    }

    // Each tramo makes sense in the document: a session of it, in a teaching slot of the
    // frame of that session's group, in one of its rooms, with that session's teacher.
    std::map<std::string, int> tramosOfSession;
    std::set<std::tuple<std::string, std::string, std::string, std::string>> groupAtSlot;
    std::size_t withRoom = 0, anonymous = 0;
    for (const Tramo& t : tramos) {
        SCOPED_TRACE(::testing::PrintToString(t));
        ASSERT_TRUE(sessions.count(t.sesion)) << "no session numbered " << t.sesion;
        const SessionFacts& s = sessions.at(t.sesion);
        ++tramosOfSession[t.sesion];
        ASSERT_TRUE(frameOfGroup.count(s.grupo));
        EXPECT_EQ(t.marco, frameOfGroup.at(s.grupo));
        EXPECT_TRUE(teachingSlots.count({t.marco, t.dia, t.indice}));
        EXPECT_TRUE(groupAtSlot.insert({s.grupo, t.marco, t.dia, t.indice}).second)
            << "group twice in one slot";
        if (t.aula.rfind("id=", 0) == 0) {
            EXPECT_TRUE(roomNames.count(t.aula.substr(3))) << t.aula;
            ++withRoom;
        } else {
            EXPECT_EQ(t.aula.rfind("anonima=", 0), 0u) << t.aula;
            EXPECT_GT(t.aula.size(), std::string("anonima=").size()) << "empty generic room";
            ++anonymous;
        }
        if (!t.profesor.empty()) {
            const auto& allowed = pairs[{s.materia, s.grupo}] == 1
                                      ? teacherCodes[s.profesor]
                                      : teachersOfPair[{s.materia, s.grupo}];
            EXPECT_TRUE(allowed.count(t.profesor)) << "not a code of " << s.profesor;
        }
    }
    EXPECT_GT(withRoom, 0u);
    EXPECT_GT(anonymous, 0u);

    // A session whose subject and group pair is its own (so that the pair names it alone)
    // comes back as often as it was placed: every week's session, less those left over.
    const std::vector<Row> asigt = readRows(staging, "ASIGT");
    for (const Row& a : asigt) {
        const std::string& number = a.at("PD_SESION");
        SCOPED_TRACE("session " + number);
        ASSERT_TRUE(sessions.count(number));
        const SessionFacts& s = sessions.at(number);
        if (pairs[{s.materia, s.grupo}] != 1 || a.at("CGRUP").empty()) continue;
        int unplaced = 0;
        for (const Row& r : solucRows) {
            unplaced += r.at("DIA") == "0" && r.at("ASIG") == a.at("CASIG") &&
                        r.at("CODGRUPO") == a.at("CGRUP");
        }
        EXPECT_EQ(tramosOfSession[number] + unplaced, s.numSesiones);
    }

    // Nothing else of the document changed.
    for (xml::Node h : horarios(result)) h.remove();
    EXPECT_EQ(result.serialize(), xml::Document::load(input).serialize());
}

}  // namespace
}  // namespace ttp::test
