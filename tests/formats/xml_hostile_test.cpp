// Hostile documents: entity bombs, external entities and DTDs, deep nesting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/error.h"
#include "formats/xml_document.h"
#include "support/files.h"

namespace ttp::xml {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string kSecret = "contenido-secreto-7f3a";

using TempFolder = test::TempDir;

std::string parseError(const std::string& content) {
    try {
        Document::parse(content, "hostil.xml");
    } catch (const Error& e) {
        return e.what();
    }
    return "(loaded)";
}

// Entities lol1..lolN, each `fanOut` references to the one before; the root refers to the
// last one `uses` times.
std::string entityBomb(int levels, int fanOut, const std::string& seed, int uses = 1) {
    std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n<!ENTITY lol0 \"" + seed + "\">\n";
    for (int i = 1; i <= levels; ++i) {
        doc += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < fanOut; ++k) doc += "&lol" + std::to_string(i - 1) + ";";
        doc += "\">\n";
    }
    doc += "]>\n<r>";
    for (int u = 0; u < uses; ++u) doc += "&lol" + std::to_string(levels) + ";";
    return doc + "</r>\n";
}

TEST(XmlHostileTest, BillionLaughsIsRefused) {
    EXPECT_THAT(parseError(entityBomb(9, 10, "lol")),
                HasSubstr("El archivo hostil.xml no es un documento XML válido"));
    EXPECT_THAT(parseError(entityBomb(30, 2, "lol")), HasSubstr("no es un documento XML válido"));
}

TEST(XmlHostileTest, ManyReferencesToALargeEntityAreRefused) {
    // Each expansion is modest; together they pass the bound.
    const std::string big(4000, 'a');
    EXPECT_THAT(parseError(entityBomb(0, 0, big, 400)),
                HasSubstr("(línea 5): sus entidades se expanden a más de"));
    EXPECT_THAT(parseError(entityBomb(1, 20, big, 20)), HasSubstr("sus entidades se expanden"));
}

TEST(XmlHostileTest, EntityReferencesInAttributesCountToo) {
    const std::string big(4000, 'a');
    std::string doc = "<!DOCTYPE r [<!ENTITY big \"" + big + "\">]>\n<r>\n";
    for (int i = 0; i < 400; ++i) doc += "<e v=\"&big;\"/>";
    doc += "</r>";
    EXPECT_THAT(parseError(doc), HasSubstr("sus entidades se expanden"));
}

TEST(XmlHostileTest, ModestEntitiesAreRead) {
    const Document doc = Document::parse(
        "<!DOCTYPE r [<!ENTITY c \"Peña\"><!ENTITY cc \"&c;-&c;\">]>\n"
        "<r a=\"[&cc;]\">x&cc;y</r>");
    EXPECT_EQ(doc.root().text(), "xPeña-Peñay");
    EXPECT_EQ(doc.root().attributeAt(0), "[Peña-Peña]");
    // The reference stays a reference when saved.
    EXPECT_THAT(doc.serialize(), HasSubstr("x&cc;y"));
}

TEST(XmlHostileTest, EntityCyclesAreRefused) {
    EXPECT_THAT(parseError("<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>"),
                HasSubstr("no es un documento XML válido"));
}

TEST(XmlHostileTest, ExternalEntitiesAreNeverRead) {
    const TempFolder dir;
    const fs::path secret = dir.write("secreto.txt", kSecret);
    const std::string uri = "file://" + secret.string();
    const std::string content = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY x SYSTEM \"" + uri +
                                "\">]>\n<r>a&x;b<c>&x;</c></r>\n";
    const Document doc = Document::load(dir.write("xxe.xml", content));
    EXPECT_THAT(doc.root().text(), Not(HasSubstr(kSecret)));
    EXPECT_EQ(doc.root().text(), "ab");
    EXPECT_THAT(doc.serialize(), Not(HasSubstr(kSecret)));
}

TEST(XmlHostileTest, ExternalDtdIsNeverLoaded) {
    const TempFolder dir;
    const fs::path dtd = dir.write("x.dtd", "<!ENTITY s \"" + kSecret +
                                                "\">\n"
                                                "<!ATTLIST r defecto CDATA \"" +
                                                kSecret + "\">\n");
    const std::string content = "<?xml version=\"1.0\"?>\n<!DOCTYPE r SYSTEM \"file://" +
                                dtd.string() + "\">\n<r>a&s;b</r>\n";
    // Without its DTD the entity is undeclared and reads as nothing.
    const Document doc = Document::load(dir.write("dtd.xml", content));
    EXPECT_EQ(doc.root().text(), "ab");
    EXPECT_EQ(doc.root().attribute("defecto"), std::nullopt);
    EXPECT_THAT(doc.serialize(), Not(HasSubstr(kSecret)));
}

TEST(XmlHostileTest, ExcessiveNestingIsRefusedNotACrash) {
    std::string content;
    for (int i = 0; i < 100000; ++i) content += "<a>";
    EXPECT_THAT(parseError(content), HasSubstr("no es un documento XML válido"));
}

}  // namespace
}  // namespace ttp::xml
