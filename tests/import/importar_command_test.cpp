// `ttp importar` as a person runs it: the built tool, its exit status and what it prints.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/staging_tables.h"
#include "formats/xml_document.h"
#include "import/import_fixture.h"
#include "support/export_fixture.h"

namespace ttp::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Outcome runTtp(const std::vector<std::string>& args, const fs::path& errFile) {
    const fs::path tool = fs::path(TTP_BINARY_DIR) / "bin" / "ttp";
    std::string command = quote(tool.string());
    for (const std::string& a : args) command += " " + quote(a);
    command += " 2>" + quote(errFile.string());
    Outcome o;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return o;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) o.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.err = readBytes(errFile);
    return o;
}

class ImportarCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(fs::path(TTP_BINARY_DIR) / "bin" / "ttp")) << "build ttp first";
        fs::create_directory(staging);
        writeFile(input, datosRVT("<materias/>"));
        writeStaging(staging, staging::aulat(),
                     {{{"ABREV", "AUL1"}, {"NOMBRE", "Aula 1"}, {"PD_GENERICA", "N"}}});
        writeStaging(staging, staging::diashorast(), {{{"MARCO", "0"}, {"MARCOXML", "M1"}}});
        writeStaging(staging, staging::asigt(),
                     {{{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"PD_SESION", "7"}}});
        writeStaging(staging, staging::grupost(), {});
        writeStaging(staging, staging::proft(), {});
        writeStaging(staging, staging::asignomt(), {});
        writeTable(staging / "SOLUC.DBF", solucFields(),
                   {soluc("1", "2", "0", "AUL1", "MAT", "1A", "PROF1")});
    }

    Outcome run(const std::vector<std::string>& args) { return runTtp(args, dir / "stderr.txt"); }

    TempDir dir;
    fs::path staging = dir / "TTEMP";
    fs::path input = dir / "centro.xml";
};

TEST_F(ImportarCommand, PrintsTheResultFileAndSucceeds) {
    const Outcome o = run({"importar", input.string(), "--staging", staging.string()});
    EXPECT_EQ(o.status, 0) << o.err;
    const fs::path result = dir / "ResultadoTavolexcentro.xml";
    EXPECT_NE(o.out.find("Proceso finalizado\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("desde el cual realizó la Importación a Tavolex"), std::string::npos);
    EXPECT_EQ(o.out.substr(o.out.rfind('\n', o.out.size() - 2) + 1), result.string() + "\n");
    xml::Document doc = xml::Document::load(result);
    auto found = horarios(doc);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(readTramos(found[0]),
              (std::vector<Tramo>{{"0", "2", "M1", "id=Aula 1", "7", "PROF1"}}));
}

TEST_F(ImportarCommand, AMissingFileFails) {
    const Outcome o = run({"importar", (dir / "nada.xml").string(), "--staging", staging.string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("No existe archivo XML."), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("Proceso finalizado"), std::string::npos);
}

TEST_F(ImportarCommand, AnErrorFailsWithItsMessage) {
    fs::remove(staging / "ASIGT.DBF");
    const Outcome o = run({"importar", input.string(), "--staging", staging.string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("ASIGT"), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists(dir / "ResultadoTavolexcentro.xml"));
}

TEST_F(ImportarCommand, WrongUsageExitsWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"importar"},
        {"importar", input.string(), "otro.xml"},
        {"importar", input.string(), "--staging"},
        {"importar", input.string(), "--marcos", "1"},
        {"importar", "--staging", staging.string()},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const Outcome o = run(args);
        EXPECT_EQ(o.status, 2);
        EXPECT_FALSE(o.err.empty());
    }
    EXPECT_FALSE(fs::exists(dir / "ResultadoTavolexcentro.xml"));
}

}  // namespace
}  // namespace ttp::test
