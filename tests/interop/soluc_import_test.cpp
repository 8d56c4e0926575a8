// A SOLUC written by an independent dBase engine (Free Pascal's TDbf) at the levels the
// timetabler may use imports alike.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "formats/text.h"
#include "formats/xml_document.h"
#include "import/import_fixture.h"
#include "import/import_run.h"
#include "support/export_fixture.h"
#include "support/scripted_interaction.h"

namespace ttp::test {
namespace {

namespace fs = std::filesystem;

// DIA;HORA;MARCO;AULA;ASIG;CODGRUPO;PROF;TURNO;NIVEL;CURSO;GRUPO;TAREA;SESIONES
const char* const kSolucLines =
    "1;3;0;AUL1;MAT;1A;PROF1;;ESO;1;A;;1111\n"
    "0;1;0;AUL1;MAT;1A;PROF1;;ESO;1;A;;1111\n"
    "5;6;1;;LEN;2B;Núñez;;BACH;2;B;;111\n"
    "2;12;1;LAB;LEN;2B;PROF2;;BACH;2;B;;111\n"
    "3;1;9;GEN;TUT;1A;PROF3;;ESO;1;A;TUTORIA;1\n";

const std::vector<Tramo> kExpected = {
    {"0", "3", "M1", "id=Aula 1", "11", "PROF1"},
    {"4", "6", "Tarde", "anonima=Aula genérica", "12", "Núñez"},
    {"1", "12", "Tarde", "id=Laboratorio Química", "12", "PROF2"},
    {"2", "1", "", "", "", "PROF3"},
};

// Fields for `tdbf_peer create`: SOLUC with DIA and HORA as floats, as a timetabler may
// write them.
const char* const kFloatSolucFields =
    "DIA:F:0;HORA:F:0;MARCO:S:1;AULA:S:10;ASIG:S:10;CODGRUPO:S:10;PROF:S:10;TURNO:S:1;"
    "NIVEL:S:5;CURSO:S:3;GRUPO:S:2;TAREA:S:10;SESIONES:S:20\n";

struct PeerTable {
    int level;
    bool floats;  // DIA and HORA as float fields
};

// Runs the peer with `input` on its standard input; true when it succeeded.
bool peerWrites(const PeerTable& t, const fs::path& file, const std::string& lines) {
    const std::string command = std::string("'") + TDBF_PEER + "' " +
                                (t.floats ? "create " : "soluc ") + std::to_string(t.level) + " '" +
                                file.string() + "'";
    const std::string input = t.floats ? kFloatSolucFields + lines : lines;
    FILE* pipe = ::popen(command.c_str(), "w");
    if (!pipe) return false;
    std::fwrite(input.data(), 1, input.size(), pipe);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SolucFromTdbf : public ::testing::TestWithParam<PeerTable> {};

TEST_P(SolucFromTdbf, ImportsLikeAnyOther) {
    TempDir dir;
    const fs::path staging = dir / "TTEMP";
    fs::create_directory(staging);
    const fs::path input = dir / "centro.xml";
    writeFile(input, datosRVT("<materias><materia>Matemáticas</materia></materias>"));

    writeStaging(staging, staging::aulat(),
                 {{{"ABREV", "AUL1"}, {"NOMBRE", "Aula 1"}, {"PD_GENERICA", "N"}},
                  {{"ABREV", "GEN"}, {"NOMBRE", "Aula genérica"}, {"PD_GENERICA", "S"}},
                  {{"ABREV", "LAB"}, {"NOMBRE", "Laboratorio Química"}, {"PD_GENERICA", "N"}}});
    writeStaging(staging, staging::diashorast(),
                 {{{"MARCO", "0"}, {"MARCOXML", "M1"}}, {{"MARCO", "1"}, {"MARCOXML", "Tarde"}}});
    writeStaging(staging, staging::asigt(),
                 {{{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"PD_SESION", "11"}},
                  {{"CASIG", "LEN"}, {"CGRUP", "2B"}, {"PD_SESION", "12"}}});
    writeStaging(staging, staging::grupost(), {});
    writeStaging(staging, staging::proft(), {});
    writeStaging(staging, staging::asignomt(), {});

    // The peer writes Windows-1252, as the timetabler does.
    const fs::path soluc = staging / "SOLUC.DBF";
    ASSERT_TRUE(peerWrites(GetParam(), soluc, text::toAnsi(kSolucLines)));
    {
        const dbf::Table written = dbf::Table::open(soluc);
        ASSERT_EQ(written.level(), GetParam().level);
        ASSERT_EQ(written.fields().at(0).type,
                  GetParam().floats ? dbf::FieldType::Float : dbf::FieldType::Integer);
    }

    RunState state;
    state.staging = staging;
    ScriptedInteraction ui;
    ui.files.push_back(input);
    ImportRun run(state, ui);
    run.BImportarClick();
    ASSERT_EQ(state.EstadoTransformacion, 1);

    xml::Document result = xml::Document::load(run.resultFile());
    const auto found = horarios(result);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(readTramos(found[0]), kExpected);
}

INSTANTIATE_TEST_SUITE_P(Levels, SolucFromTdbf,
                         ::testing::Values(PeerTable{3, false}, PeerTable{4, false},
                                           PeerTable{7, false}, PeerTable{4, true},
                                           PeerTable{7, true}),
                         [](const auto& info) {
                             return "level" + std::to_string(info.param.level) +
                                    (info.param.floats ? "_floats" : "");
                         });

}  // namespace
}  // namespace ttp::test
