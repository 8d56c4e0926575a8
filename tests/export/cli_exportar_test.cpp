#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "support/export_fixture.h"
#include "support/files.h"

namespace ttp {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;

const std::vector<std::string> kTables = {"ASIGNOMT",   "PROFT",   "AULAT",
                                          "DIASHORAST", "GRUPOST", "ASIGT"};

std::string sample() {
    return std::string(TTP_SOURCE_DIR) + "/samples/centro-ejemplo.xml";
}

std::string quoted(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `ttp exportar ARGS` with its streams captured in files of `scratch`.
Outcome exportar(const TempDir& scratch, const std::vector<std::string>& args) {
    std::string command = quoted(std::string(TTP_BINARY_DIR) + "/bin/ttp") + " exportar";
    for (const auto& arg : args) command += " " + quoted(arg);
    const fs::path out = scratch / "stdout.txt";
    const fs::path err = scratch / "stderr.txt";
    command += " >" + quoted(out.string()) + " 2>" + quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    Outcome o;
    o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.out = readBytes(out);
    o.err = readBytes(err);
    return o;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct CliHarness {
    TempDir scratch;
    TempDir staging;

    Outcome run(std::vector<std::string> args) {
        args.push_back("--staging");
        args.push_back(staging.path().string());
        return exportar(scratch, args);
    }

    fs::path write(const std::string& content) {
        const fs::path file = scratch / "centro.xml";
        test::writeFile(file, content);
        return file;
    }
};

std::set<std::string> frames(const fs::path& staging) {
    const auto values = test::readColumn(staging, "DIASHORAST", "MARCOXML");
    return {values.begin(), values.end()};
}

TEST(TtpExportar, SampleSchoolWithOneOrTwoFrames) {
    struct Case {
        std::string marcos;
        std::set<std::string> frames;
    };
    for (const Case& c :
         {Case{"1", {"1"}}, Case{"2", {"2"}}, Case{"1,2", {"1", "2"}}, Case{"2,1", {"1", "2"}}}) {
        SCOPED_TRACE(c.marcos);
        CliHarness h;
        const Outcome o = h.run({sample(), "--marcos", c.marcos});
        ASSERT_EQ(o.exitCode, 0) << o.err;
        EXPECT_TRUE(contains(o.out, "Proceso finalizado\n")) << o.out;
        for (const auto& table : kTables) {
            const std::size_t rows = test::readRows(h.staging.path(), table).size();
            const std::string line =
                table + ": " + std::to_string(rows) + (rows == 1 ? " fila\n" : " filas\n");
            EXPECT_TRUE(contains(o.out, line)) << line << " in\n" << o.out;
        }
        EXPECT_EQ(frames(h.staging.path()), c.frames);
        // The sample's awkward sessions are reported by number.
        for (const std::string session : {"sesión 147", "sesión 148", "sesión 149"}) {
            EXPECT_TRUE(contains(o.err, session)) << session << " in\n" << o.err;
        }
    }
}

// Wrong usage about the frames is found before the run, so no table is touched.
TEST(TtpExportar, WrongFrameChoiceIsWrongUsage) {
    struct Case {
        std::vector<std::string> extra;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {{}, {"--marcos", "'1'", "'2'"}},
        {{"--marcos", ""}, {"Debe al menos seleccionar 1 Marco Horario."}},
        {{"--marcos", "3"}, {"'3'", "'1', '2'"}},
        {{"--marcos", "1,"}, {"no está en el documento"}},
        {{"--marcos"}, {"--marcos"}},
        {{"--marcos", "1", "--marcos", "2"}, {"dos veces"}},
    };
    for (const auto& c : cases) {
        CliHarness h;
        std::vector<std::string> args = {sample()};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        SCOPED_TRACE(args.size() > 1 ? args[1] : "no --marcos");
        const Outcome o = h.run(args);
        EXPECT_EQ(o.exitCode, 2) << o.out << o.err;
        for (const auto& part : c.expected) EXPECT_TRUE(contains(o.err, part)) << o.err;
        EXPECT_TRUE(fs::is_empty(h.staging.path()));
    }
}

std::string threeFrames() {
    std::string frames;
    for (const std::string id : {"Mañana", "Tarde", "Noche largo id"}) {
        frames += "<marcoHorario id=\"" + id + "\"><tramo><submarco>" + id +
                  "</submarco><dia>0</dia><indice>1</indice><horaEntrada>08:00</horaEntrada>"
                  "<horaSalida>09:00</horaSalida><Tipo>L</Tipo></tramo></marcoHorario>";
    }
    return test::datosRVT("<marcosDeHorario>" + frames + "</marcosDeHorario>");
}

TEST(TtpExportar, IdsAreTakenAsTheDialogsLines) {
    CliHarness h;
    const fs::path file = h.write(threeFrames());

    const Outcome three = h.run({file.string(), "--marcos", "Mañana,Tarde,Noche largo id"});
    EXPECT_EQ(three.exitCode, 2);
    EXPECT_TRUE(contains(three.err,
                         "Demasiados Marcos Horarios seleccionados.\nComo máximo "
                         "puede seleccionar 2 Marcos Horarios"))
        << three.err;
    EXPECT_TRUE(fs::is_empty(h.staging.path()));

    // An id is compared as a line of the dialog: accents as the document has them, padded
    // or cut to 10 characters.
    const Outcome accented = h.run({file.string(), "--marcos", "Mañana,Tarde"});
    ASSERT_EQ(accented.exitCode, 0) << accented.err;
    EXPECT_EQ(frames(h.staging.path()), (std::set<std::string>{"Mañana", "Tarde"}));

    // The id longer than 10 characters is chosen by its first 10; the run then refuses it.
    const Outcome cut = h.run({file.string(), "--marcos", "Noche larg"});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(contains(cut.err, "Noche largo id")) << cut.err;
}

TEST(TtpExportar, SingleFrameNeedsNoChoice) {
    CliHarness h;
    const fs::path file = h.write(test::datosRVT(
        "<marcosDeHorario><marcoHorario id=\"1\"><tramo><submarco>1</submarco><dia>0</dia>"
        "<indice>1</indice><horaEntrada>08:00</horaEntrada><horaSalida>09:00</horaSalida>"
        "<Tipo>L</Tipo></tramo></marcoHorario></marcosDeHorario>"));
    const Outcome o = h.run({file.string()});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_TRUE(contains(o.out, "DIASHORAST: 1 fila\n")) << o.out;
    EXPECT_TRUE(contains(o.out, "ASIGT: 0 filas\n")) << o.out;

    // With nothing to choose, --marcos is noted and left aside.
    const Outcome ignored = h.run({file.string(), "--marcos", "2"});
    ASSERT_EQ(ignored.exitCode, 0) << ignored.err;
    EXPECT_TRUE(contains(ignored.err, "se ignora --marcos")) << ignored.err;
    EXPECT_EQ(frames(h.staging.path()), (std::set<std::string>{"1"}));
}

TEST(TtpExportar, MissingOrBrokenFileFails) {
    CliHarness h;
    const Outcome missing = h.run({(h.scratch / "falta.xml").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(contains(missing.out + missing.err, "No existe archivo"));

    const fs::path broken = h.write("<datosRVT><materias>");
    const Outcome malformed = h.run({broken.string(), "--marcos", "1"});
    EXPECT_EQ(malformed.exitCode, 1);
    EXPECT_TRUE(contains(malformed.err, "centro.xml")) << malformed.err;
    EXPECT_TRUE(fs::is_empty(h.staging.path()));
}

TEST(TtpExportar, MissingStagingFolderFails) {
    TempDir scratch;
    const Outcome o =
        exportar(scratch, {sample(), "--marcos", "1", "--staging", (scratch / "TTEMP").string()});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_TRUE(contains(o.err, "TTEMP")) << o.err;
}

TEST(TtpExportar, OtherWrongUsage) {
    TempDir scratch;
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"--staging"},
                                                                  {sample(), "--staging", ""},
                                                                  {sample(), "--nada"},
                                                                  {sample(), sample()}}) {
        const Outcome o = exportar(scratch, args);
        EXPECT_EQ(o.exitCode, 2) << o.err;
        EXPECT_TRUE(contains(o.err, "ttp --help")) << o.err;
    }
}

}  // namespace
}  // namespace ttp
