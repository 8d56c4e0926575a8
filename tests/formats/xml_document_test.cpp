// Loading, selecting and editing documents.
#include "formats/xml_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "support/files.h"

namespace ttp::xml {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

const fs::path kData = fs::path(TTP_TEST_DATA_DIR) / "xml";

using TempFolder = test::TempDir;

std::string loadError(const fs::path& file) {
    try {
        Document::load(file);
    } catch (const Error& e) {
        return e.what();
    }
    return "(loaded)";
}

std::string parseError(const std::string& content) {
    try {
        Document::parse(content, "/x/centro.xml");
    } catch (const Error& e) {
        return e.what();
    }
    return "(loaded)";
}

std::vector<std::string> texts(const std::vector<Node>& nodes) {
    std::vector<std::string> out;
    for (const Node& n : nodes) out.push_back(n.text());
    return out;
}

// ---- Loading ----

TEST(XmlLoadTest, ReadsEachDeclaredEncoding) {
    struct Case {
        const char* file;
        const char* encoding;
    };
    for (const Case c : {Case{"centro-utf8.xml", "UTF-8"}, Case{"centro-latin1.xml", "ISO-8859-1"},
                         Case{"centro-cp1252.xml", "windows-1252"}}) {
        SCOPED_TRACE(c.file);
        const Document doc = Document::load(kData / c.file);
        EXPECT_EQ(doc.encoding(), c.encoding);
        EXPECT_EQ(doc.selectFirst("/datosRVT/profesores/profesor/nombreCompleto").text(),
                  "José Peña Núñez");
        EXPECT_EQ(doc.selectFirst("/datosRVT/notas").text(), "a < b & c y & más");
    }
    EXPECT_EQ(Document::load(kData / "centro-cp1252.xml").selectFirst("/datosRVT/simbolo").text(),
              "€ Œ");
}

TEST(XmlLoadTest, ReadsUtf16WithByteOrderMark) {
    // UTF-16LE with BOM; every character of the text above is in the basic plane.
    std::u16string units = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<r><n>Ñ€</n></r>";
    std::string bytes;
    for (char16_t u : units) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    const TempFolder dir;
    const Document doc = Document::load(dir.write("u16.xml", bytes));
    EXPECT_EQ(doc.selectFirst("/r/n").text(), "Ñ€");
    EXPECT_EQ(doc.encoding(), "UTF-16");
}

TEST(XmlLoadTest, DocumentWithoutDeclarationIsUtf8) {
    const Document doc = Document::parse("<r><n>Peña</n></r>");
    EXPECT_EQ(doc.encoding(), "UTF-8");
    EXPECT_EQ(doc.selectFirst("/r/n").text(), "Peña");
}

TEST(XmlLoadTest, MalformedFileNamesFileLineAndReason) {
    const fs::path file = kData / "roto.xml";
    EXPECT_THAT(loadError(file),
                AllOf(HasSubstr("El archivo " + file.string() + " no es un documento XML válido"),
                      HasSubstr("(línea 5)"), HasSubstr("aula")));
}

TEST(XmlLoadTest, UnreadableFilesAreErrorsNamingTheFile) {
    const TempFolder dir;
    const fs::path missing = dir.path() / "no-esta.xml";
    EXPECT_THAT(loadError(missing),
                AllOf(HasSubstr("No se puede leer el archivo " + missing.string()),
                      HasSubstr("no existe")));
    EXPECT_THAT(loadError(dir.path()), HasSubstr("No se puede leer el archivo " +
                                                 dir.path().string() + ": es una carpeta"));
}

TEST(XmlLoadTest, DocumentsThatAreNotWellFormedAreRefused) {
    struct Case {
        std::string content;
        std::string line;
    };
    const Case cases[] = {
        {"", ""},
        {"   \n", "línea"},
        {"<a>", "(línea 1)"},
        {"<a></b>", "(línea 1)"},
        {"<a/>\n<b/>", "(línea 2)"},
        {"<a x='1' x='2'/>", "(línea 1)"},
        {"<a>\n&nada;</a>", "(línea 2)"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xFF\xFE</a>", "(línea 2)"},
        {"<?xml version=\"1.0\" encoding=\"x-no-existe\"?><a/>", "línea"},
        {"texto suelto", "(línea 1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string message = parseError(c.content);
        EXPECT_THAT(message, AllOf(HasSubstr("El archivo /x/centro.xml no es un documento XML "
                                             "válido"),
                                   HasSubstr(c.line)));
    }
}

TEST(XmlLoadTest, LineNumbersBeyondSixteenBits) {
    std::string content = "<r>";
    content.append(70000, '\n');
    content += "<n/></r>";
    const Document doc = Document::parse(content);
    EXPECT_EQ(doc.selectFirst("/r/n").line(), 70001);
    EXPECT_THAT(parseError(content + "\n<otro/>"), HasSubstr("(línea 70002)"));
}

// ---- Selecting ----

const char* const kSchool = R"(<?xml version="1.0" encoding="UTF-8"?>
<datosRVT>
  <aulas>
    <aula><nombre>A1</nombre></aula>
    <!-- <aula><nombre>comentada</nombre></aula> -->
    <aula><nombre>A2</nombre><nombre>A2bis</nombre></aula>
    <Aula><nombre>mayúscula</nombre></Aula>
  </aulas>
  <otros><aula><nombre>fuera</nombre></aula></otros>
  <aulas>
    <aula><nombre>B1</nombre><aula><nombre>anidada</nombre></aula></aula>
  </aulas>
</datosRVT>
)";

TEST(XmlSelectTest, ChildStepsInDocumentOrder) {
    const Document doc = Document::parse(kSchool);
    struct Case {
        const char* path;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"/datosRVT/aulas/aula/nombre", {"A1", "A2", "A2bis", "B1"}},
        {"/datosRVT/aulas/aula/aula/nombre", {"anidada"}},
        {"/datosRVT/aulas/Aula/nombre", {"mayúscula"}},
        {"/datosRVT/otros/aula/nombre", {"fuera"}},
        {"/datosRVT/aulas/aula/nombreCompleto", {}},
        {"/datosrvt/aulas/aula/nombre", {}},
        {"/otraRaiz/aulas/aula/nombre", {}},
        {"/aulas/aula/nombre", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(texts(doc.select(c.path)), c.texts) << c.path;
    }
    EXPECT_EQ(doc.select("/datosRVT/aulas").size(), 2u);
    EXPECT_EQ(doc.select("/datosRVT").front().raw(), doc.root().raw());
    EXPECT_EQ(doc.selectFirst("/datosRVT/aulas/aula/nombre").text(), "A1");
    EXPECT_FALSE(doc.selectFirst("/datosRVT/horario"));
}

TEST(XmlSelectTest, ChildrenAndFirstChildSeeOnlyElementsOfThatName) {
    const Document doc = Document::parse(kSchool);
    const Node aulas = doc.selectFirst("/datosRVT/aulas");
    EXPECT_EQ(aulas.children("aula").size(), 2u);
    EXPECT_EQ(aulas.children("Aula").size(), 1u);
    EXPECT_TRUE(aulas.children("nombre").empty());
    EXPECT_EQ(aulas.firstChild("aula").firstChild("nombre").text(), "A1");
    EXPECT_FALSE(aulas.firstChild("nombre"));
    EXPECT_FALSE(Node().firstChild("x"));
    EXPECT_TRUE(Node().children("x").empty());
    EXPECT_EQ(Node().text(), "");
}

TEST(XmlSelectTest, NamesCarryTheirPrefix) {
    const Document doc =
        Document::parse("<p:r xmlns:p='urn:x' xmlns='urn:d'><p:a>1</p:a><a>2</a></p:r>");
    EXPECT_EQ(doc.root().name(), "p:r");
    EXPECT_EQ(texts(doc.select("/p:r/p:a")), std::vector<std::string>{"1"});
    EXPECT_EQ(texts(doc.select("/p:r/a")), std::vector<std::string>{"2"});
}

// ---- Reading and changing nodes ----

TEST(XmlNodeTest, TextIsAllTextBeneathTheElement) {
    const Document doc = Document::parse(
        "<r>x<b>y<!-- no --><c>z</c></b><?pi no?><![CDATA[<w>]]>&amp;&#233;&#x20AC;</r>");
    EXPECT_EQ(doc.root().text(), "xyz<w>&é€");
    EXPECT_EQ(doc.selectFirst("/r/b").text(), "yz");
}

TEST(XmlNodeTest, AttributesByPositionInStartTagOrderAndByName) {
    const Document doc =
        Document::parse("<r><general nombre=' Aula ' numero=\"3\" a='x &amp; &#241;'/></r>");
    const Node general = doc.selectFirst("/r/general");
    EXPECT_EQ(general.attributeCount(), 3u);
    EXPECT_EQ(general.attributeAt(0), " Aula ");
    EXPECT_EQ(general.attributeAt(1), "3");
    EXPECT_EQ(general.attributeAt(2), "x & ñ");
    EXPECT_EQ(general.attributeAt(3), std::nullopt);
    EXPECT_EQ(general.attribute("numero"), "3");
    EXPECT_EQ(general.attribute("Numero"), std::nullopt);
    EXPECT_EQ(doc.root().attributeCount(), 0u);
    EXPECT_EQ(doc.root().attributeAt(0), std::nullopt);
}

TEST(XmlNodeTest, SetAttributeReplacesInPlaceAndAppendsNewOnes) {
    Document doc = Document::parse("<r><t b='1' a='2'/></r>");
    Node t = doc.selectFirst("/r/t");
    t.setAttribute("a", "x\"<&>'y");
    t.setAttribute("z", "");
    t.setAttribute("b", "3");
    EXPECT_EQ(t.attributeCount(), 3u);
    EXPECT_EQ(t.attributeAt(0), "3");
    EXPECT_EQ(t.attributeAt(1), "x\"<&>'y");
    EXPECT_EQ(t.attributeAt(2), "");
    const Document again = Document::parse(doc.serialize());
    const Node t2 = again.selectFirst("/r/t");
    EXPECT_EQ(t2.attributeAt(1), "x\"<&>'y");
    EXPECT_EQ(t2.attribute("z"), "");
}

TEST(XmlNodeTest, SetTextReplacesTheContentLiterally) {
    Document doc = Document::parse("<r><s>viejo<b>hijo</b></s></r>");
    Node s = doc.selectFirst("/r/s");
    s.setText("a &amp; <b> &nada;");
    EXPECT_EQ(s.text(), "a &amp; <b> &nada;");
    EXPECT_TRUE(s.children("b").empty());
    EXPECT_EQ(Document::parse(doc.serialize()).selectFirst("/r/s").text(), "a &amp; <b> &nada;");
    s.setText("");
    EXPECT_EQ(s.text(), "");
    EXPECT_EQ(Document::parse(doc.serialize()).selectFirst("/r/s").text(), "");
}

TEST(XmlNodeTest, CharactersXmlCannotHoldBecomeQuestionMarks) {
    // A saved file must load again: control characters and broken UTF-8 (say, from a table
    // value) cannot stand in XML 1.0.
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"a\x01"
         "b",
         "a?b"},
        {"tab\tnl\ncr\r", "tab\tnl\ncr\r"},
        {"Peña € 中 😀", "Peña € 中 😀"},
        {"x\xFFy", "x?y"},
        {"x\xC3", "x?"},
        {"x\xC0\x80y", "x?y"},
        {"\xEF\xBF\xBE", "?"},  // U+FFFE
        {std::string("a\0b", 3), "a?b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        Document doc = Document::parse("<r><t/></r>");
        Node t = doc.selectFirst("/r/t");
        t.setText(c.in);
        t.setAttribute("v", c.in);
        const Document again = Document::parse(doc.serialize());
        EXPECT_EQ(again.selectFirst("/r/t").text(), c.out);
        EXPECT_EQ(again.selectFirst("/r/t").attribute("v"), c.out);
    }
}

TEST(XmlNodeTest, NamesMustBeXmlNames) {
    Document doc = Document::parse("<r/>");
    for (const char* bad : {"", "1a", "a b", "a<b", "a>"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(doc.createElement(bad), std::invalid_argument);
        EXPECT_THROW(doc.root().setAttribute(bad, "x"), std::invalid_argument);
    }
    EXPECT_EQ(doc.root().attributeCount(), 0u);
    EXPECT_EQ(doc.createElement("sesion").name(), "sesion");
}

TEST(XmlNodeTest, CreatedElementsJoinTheTreeOnlyWhenAppended) {
    Document doc = Document::parse("<datosRVT><a/></datosRVT>");
    Node horario = doc.createElement("horario");
    EXPECT_EQ(horario.name(), "horario");
    EXPECT_FALSE(doc.selectFirst("/datosRVT/horario"));

    Node tramo = doc.createElement("tramo");
    horario.appendChild(tramo);  // built outside the tree, then attached as a whole
    doc.root().appendChild(horario);
    doc.root().appendChild(doc.createElement("horario"));

    const std::vector<Node> horarios = doc.select("/datosRVT/horario");
    ASSERT_EQ(horarios.size(), 2u);
    EXPECT_EQ(horarios[0].raw(), horario.raw());
    EXPECT_EQ(doc.select("/datosRVT/horario/tramo").size(), 1u);
    EXPECT_THAT(doc.serialize(), HasSubstr("<datosRVT><a/><horario><tramo/></horario><horario/>"));

    doc.createElement("suelto");  // never appended: freed with the document
    Node other = doc.createElement("quitado");
    other.remove();
    EXPECT_FALSE(other);
}

TEST(XmlNodeTest, RemoveTakesTheElementOutOfTheTree) {
    Document doc = Document::parse("<r><a>1</a><b/><a>2</a></r>");
    Node first = doc.selectFirst("/r/a");
    first.remove();
    EXPECT_FALSE(first);
    EXPECT_EQ(texts(doc.select("/r/a")), std::vector<std::string>{"2"});
    EXPECT_THAT(doc.serialize(), HasSubstr("<r><b/><a>2</a></r>"));
}

TEST(XmlNodeTest, AppendRefusesForeignNodesAndCycles) {
    Document doc = Document::parse("<r><a><b/></a></r>");
    Document other = Document::parse("<o/>");
    Node a = doc.selectFirst("/r/a");
    EXPECT_THROW(a.appendChild(other.createElement("x")), std::invalid_argument);
    EXPECT_THROW(doc.selectFirst("/r/a/b").appendChild(a), std::invalid_argument);
    EXPECT_THROW(a.appendChild(a), std::invalid_argument);
    EXPECT_THROW(Node().appendChild(a), std::logic_error);
    EXPECT_EQ(doc.select("/r/a/b").size(), 1u);
}

TEST(XmlNodeTest, LineOfEachElement) {
    const Document doc = Document::parse("<r>\n<a/>\n\n<b x='1'/></r>");
    EXPECT_EQ(doc.root().line(), 1);
    EXPECT_EQ(doc.selectFirst("/r/a").line(), 2);
    EXPECT_EQ(doc.selectFirst("/r/b").line(), 4);
    EXPECT_EQ(Node().line(), 0);
}

TEST(XmlNodeTest, DocumentsMoveWithTheirNodes) {
    Document doc = Document::parse("<r><a>1</a></r>");
    const Node a = doc.selectFirst("/r/a");
    Document moved = std::move(doc);
    EXPECT_EQ(moved.selectFirst("/r/a").raw(), a.raw());
    EXPECT_EQ(a.text(), "1");
}

}  // namespace
}  // namespace ttp::xml
