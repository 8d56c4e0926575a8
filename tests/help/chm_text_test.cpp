// The text handling of the help reader: contents sitemaps, links between pages, encodings.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/help_chm.h"

namespace ttp::app {
namespace {

std::string entryXml(std::string_view name, std::string_view local) {
    return "<LI> <OBJECT type=\"text/sitemap\">\n<param name=\"Name\" value=\"" +
           std::string(name) + "\">\n<param name=\"Local\" value=\"" + std::string(local) +
           "\">\n</OBJECT>\n";
}

TEST(Sitemap, NestedListsBecomeChildrenOfTheEntryBeforeThem) {
    const std::string sitemap =
        "<HTML><BODY>\n<OBJECT type=\"text/site properties\">\n"
        "<param name=\"Window Styles\" value=\"0x800025\">\n</OBJECT>\n<UL>\n" +
        entryXml("Uno", "uno.htm") + "<UL>\n" + entryXml("Uno.a", "a.htm") + "<UL>\n" +
        entryXml("Uno.a.i", "i.htm") + "</UL>\n" + entryXml("Uno.b", "b.htm") + "</UL>\n" +
        entryXml("Dos", "dos.htm") + "</UL>\n</BODY></HTML>";
    const auto tree = parseSitemap(sitemap);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].name, "Uno");
    EXPECT_EQ(tree[0].local, "uno.htm");
    ASSERT_EQ(tree[0].children.size(), 2u);
    EXPECT_EQ(tree[0].children[0].name, "Uno.a");
    ASSERT_EQ(tree[0].children[0].children.size(), 1u);
    EXPECT_EQ(tree[0].children[0].children[0].local, "i.htm");
    EXPECT_EQ(tree[0].children[1].name, "Uno.b");
    EXPECT_TRUE(tree[0].children[1].children.empty());
    EXPECT_EQ(tree[1].name, "Dos");
    EXPECT_TRUE(tree[1].children.empty());
}

TEST(Sitemap, ToleratesTheLooseMarkupOfHelpCompilers) {
    // Lower-case tags, single and missing quotes, a comment hiding an entry, a heading
    // without a page, a second topic in one entry, and an unclosed list at the end.
    const std::string sitemap =
        "<ul><!-- <object type=\"text/sitemap\"><param name=\"Name\" value=\"Oculto\"></object> -->"
        "<li><object type='TEXT/SITEMAP'><param name=Name value=Cabecera></object>"
        "<ul><li><object type=\"text/sitemap\"><PARAM NAME=\"name\" VALUE=\"Doble\">"
        "<param name=\"local\" value=\"primero.htm\"><param name=\"Name\" value=\"Otro\">"
        "<param name=\"Local\" value=\"segundo.htm\"></object>";
    const auto tree = parseSitemap(sitemap);
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree[0].name, "Cabecera");
    EXPECT_EQ(tree[0].local, "");
    ASSERT_EQ(tree[0].children.size(), 1u);
    EXPECT_EQ(tree[0].children[0].name, "Doble");
    EXPECT_EQ(tree[0].children[0].local, "primero.htm");
}

TEST(Sitemap, DecodesEntitiesAndSingleByteText) {
    const std::string sitemap =
        "<UL>" + entryXml("Exportaci&oacute;n &amp; marcos &#241;&#xE1;", "a&amp;b.htm") +
        entryXml("Importaci\xF3n \x80", "c.htm") + entryXml("&bogus; &amp", "d.htm") + "</UL>";
    const auto tree = parseSitemap(sitemap);
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0].name, "Exportación & marcos ñá");
    EXPECT_EQ(tree[0].local, "a&b.htm");
    EXPECT_EQ(tree[1].name, "Importación €");
    EXPECT_EQ(tree[2].name, "&bogus; &amp");
}

TEST(Sitemap, NothingToReadGivesNoEntries) {
    EXPECT_TRUE(parseSitemap("").empty());
    EXPECT_TRUE(parseSitemap("<UL></UL>").empty());
    EXPECT_TRUE(
        parseSitemap("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\"")
            .empty());
    EXPECT_TRUE(parseSitemap("</UL></UL><").empty());
}

struct Utf8Case {
    std::string input;
    std::string expected;
};

TEST(ToUtf8, KeepsUtf8AndReadsEverythingElseAsWindows1252) {
    const Utf8Case cases[] = {
        {"", ""},
        {"Aceptar", "Aceptar"},
        {"válido ñ €", "válido ñ €"},
        {"v\xE1lido", "válido"},
        {"\x80\x96\x9C", "€–œ"},
        {"\x81", "\xEF\xBF\xBD"},        // undefined in the code page
        {"\xC0\xAF", "À¯"},              // an overlong form is not UTF-8
        {"\xED\xA0\x80", "í\xC2\xA0€"},  // nor is a surrogate
        {"abc\xC3", "abcÃ"},             // nor a cut sequence
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toUtf8(c.input), c.expected) << "input: " << c.input;
    }
}

struct LinkCase {
    std::string base;
    std::string link;
    std::optional<std::string> expected;
};

TEST(HelpLink, ResolvesLinksBetweenPagesOfTheFile) {
    const LinkCase cases[] = {
        {"/principal.htm", "exportar.htm", "/exportar.htm"},
        {"/principal.htm", "mensajes.htm#errores", "/mensajes.htm"},
        {"/principal.htm", "  exportar.htm?x=1  ", "/exportar.htm"},
        {"/temas/a.htm", "b.htm", "/temas/b.htm"},
        {"/temas/a.htm", "../img/f.png", "/img/f.png"},
        {"/temas/a.htm", "./sub/../c.htm", "/temas/c.htm"},
        {"/temas/a.htm", "/raiz.htm", "/raiz.htm"},
        {"/temas/a.htm", "..\\otro\\d.htm", "/otro/d.htm"},
        {"/a.htm", "mi%20tema.htm", "/mi tema.htm"},
        {"/a.htm", "100%.htm", "/100%.htm"},
        {"/a.htm", "#arriba", "/a.htm"},
        {"/a.htm", "", "/a.htm"},
        {"/temas/a.htm", "ms-its:PEDANOR.chm::/b.htm", "/b.htm"},
        {"/temas/a.htm", "MS-ITS:C:\\Ayuda\\PEDANOR.chm::/img/x.png#y", "/img/x.png"},
        {"/a.htm", "mk:@MSITStore:PEDANOR.chm::/c.htm", "/c.htm"},
        {"/a.htm", "ms-its:PEDANOR.chm", std::nullopt},
        {"/a.htm", "http://example.org/a.htm", std::nullopt},
        {"/a.htm", "mailto:alguien@example.org", std::nullopt},
        {"/a.htm", "../fuera.htm", std::nullopt},
        {"/a.htm", "sub/", "/sub/"},
        {"/a.htm", "ver/a:b.htm", "/ver/a:b.htm"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolveHelpLink(c.base, c.link), c.expected) << c.base << " + " << c.link;
    }
}

}  // namespace
}  // namespace ttp::app
