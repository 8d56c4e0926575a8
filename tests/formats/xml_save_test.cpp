// Saving: the document's own encoding, untouched parts as loaded, atomic replacement.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/error.h"
#include "formats/xml_document.h"
#include "support/files.h"

namespace ttp::xml {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const fs::path kData = fs::path(TTP_TEST_DATA_DIR) / "xml";

using TempFolder = test::TempDir;

std::string saveError(const Document& doc, const fs::path& file) {
    try {
        doc.save(file);
    } catch (const Error& e) {
        return e.what();
    }
    return "(saved)";
}

std::string utf16le(const std::u16string& units) {
    std::string bytes;
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

// ---- Round trips ----

const char* const kNewText = "Horario: Ñandú € Œ 中 & <fin>";

struct RoundTrip {
    const char* name;
    std::string bytes;
    std::string closingRoot;  // the root's end tag in the file's own bytes
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

class XmlRoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(XmlRoundTripTest, AddedTextReadsBackAndTheRestIsKept) {
    const RoundTrip& c = GetParam();
    const TempFolder dir;
    const fs::path input = dir.write("centro.xml", c.bytes);
    Document doc = Document::load(input);
    const std::string encoding = doc.encoding();
    Node horario = doc.createElement("horario");
    horario.setText(kNewText);
    horario.setAttribute("marco", "Mañana");
    doc.root().appendChild(horario);

    const fs::path output = dir.path() / "ResultadoTavolexcentro.xml";
    doc.save(output);
    const std::string saved = readBytes(output);
    EXPECT_EQ(saved, doc.serialize());
    EXPECT_EQ(readBytes(input), c.bytes) << "the input is left untouched";

    // Everything before the new element stands as it was loaded, declaration included.
    const std::size_t end = c.bytes.rfind(c.closingRoot);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(saved.substr(0, end), c.bytes.substr(0, end));
    EXPECT_THAT(saved, EndsWith(c.closingRoot + c.bytes.substr(end + c.closingRoot.size())));

    const Document again = Document::load(output);
    EXPECT_EQ(again.encoding(), encoding);
    EXPECT_EQ(again.selectFirst("/datosRVT/horario").text(), kNewText);
    EXPECT_EQ(again.selectFirst("/datosRVT/horario").attribute("marco"), "Mañana");
    EXPECT_EQ(again.selectFirst("/datosRVT/profesores/profesor/nombreCompleto").text(),
              "José Peña Núñez");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, XmlRoundTripTest,
    ::testing::Values(
        RoundTrip{"utf8", readBytes(kData / "centro-utf8.xml"), "</datosRVT>"},
        RoundTrip{"utf8_with_mark", "\xEF\xBB\xBF" + readBytes(kData / "centro-utf8.xml"),
                  "</datosRVT>"},
        RoundTrip{"latin1", readBytes(kData / "centro-latin1.xml"), "</datosRVT>"},
        RoundTrip{"cp1252", readBytes(kData / "centro-cp1252.xml"), "</datosRVT>"},
        RoundTrip{"utf16",
                  utf16le(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                          u"<!-- Peña -->\n<datosRVT>\n  <profesores><profesor>"
                          u"<nombreCompleto>José Peña Núñez</nombreCompleto>"
                          u"</profesor></profesores>\n<a x=\"1\" y=\"2\"/>\n</datosRVT>\n"),
                  utf16le(u"</datosRVT>")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XmlSaveTest, CharactersTheEncodingLacksAreWrittenAsReferences) {
    Document doc = Document::load(kData / "centro-latin1.xml");
    doc.root().appendChild(doc.createElement("x"));
    doc.selectFirst("/datosRVT/x").setText("€中");
    const std::string saved = doc.serialize();
    EXPECT_THAT(saved, StartsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"));
    EXPECT_THAT(saved, HasSubstr("<x>&#8364;&#20013;</x>"));
}

TEST(XmlSaveTest, DocumentWithoutDeclarationIsSavedAsDeclaredUtf8) {
    Document doc = Document::parse("<r><n>Peña</n></r>");
    EXPECT_EQ(doc.serialize(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r><n>Peña</n></r>\n");
}

// ---- Atomic replacement ----

TEST(XmlSaveTest, ReplacesAnExistingFileAndKeepsItsPermissions) {
    const TempFolder dir;
    const fs::path target = dir.write("salida.xml", "antiguo");
    ::chmod(target.c_str(), 0640);
    const Document doc = Document::parse("<r>nuevo</r>");
    doc.save(target);
    EXPECT_EQ(Document::load(target).root().text(), "nuevo");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_THAT(dir.entries(), ElementsAre("salida.xml"));
}

TEST(XmlSaveTest, SavingThroughALinkWritesTheLinkedFile) {
    const TempFolder dir;
    const fs::path real = dir.write("real.xml", "antiguo");
    fs::create_symlink(real, dir.path() / "enlace.xml");
    Document::parse("<r>nuevo</r>").save(dir.path() / "enlace.xml");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "enlace.xml"));
    EXPECT_EQ(Document::load(real).root().text(), "nuevo");
}

TEST(XmlSaveTest, FailuresNameTheTargetAndLeaveNothingBehind) {
    const TempFolder dir;
    const fs::path notAFolder = dir.write("archivo", "soy un archivo");
    const fs::path gone = dir.path() / "borrada";
    fs::create_directory(gone);
    fs::remove(gone);
    fs::create_directory(dir.path() / "carpeta");
    dir.write("carpeta/dentro", "x");

    const Document doc = Document::parse("<r>nuevo</r>");
    for (const fs::path& target :
         {notAFolder / "salida.xml", gone / "salida.xml", dir.path() / "carpeta"}) {
        SCOPED_TRACE(target);
        EXPECT_THAT(saveError(doc, target),
                    StartsWith("No se puede guardar el archivo " + target.string() + ": "));
    }
    EXPECT_EQ(readBytes(notAFolder), "soy un archivo");
    EXPECT_EQ(readBytes(dir.path() / "carpeta" / "dentro"), "x");
    EXPECT_THAT(dir.entries(), ElementsAre("archivo", "carpeta"));
}

// A write that fails half way (the file-size limit stands in for a full disk) leaves the
// earlier file whole. Run in a child process, as the limit applies to the whole process.
TEST(XmlSaveTest, AFailedWriteLeavesTheEarlierFileWhole) {
    const TempFolder dir;
    const std::string earlier = "<r>versión anterior</r>\n";
    const fs::path target = dir.write("resultado.xml", earlier);
    const Document doc = Document::parse("<r>" + std::string(200000, 'x') + "</r>");

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int code = 1;  // saved although it could not be written
        try {
            doc.save(target);
        } catch (const Error& e) {
            code = std::string(e.what()).find(target.string()) != std::string::npos ? 0 : 2;
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readBytes(target), earlier);
    EXPECT_THAT(dir.entries(), ElementsAre("resultado.xml"));
}

}  // namespace
}  // namespace ttp::xml
