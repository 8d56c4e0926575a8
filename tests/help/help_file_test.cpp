// The help file the build compiles, read back through the help reader.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <unistd.h>

#include "app/help_chm.h"
#include "core/error.h"

namespace ttp::app {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const fs::path kHelpFile = TTP_HELP_FILE;
const fs::path kHelpSources = TTP_HELP_SOURCE_DIR;

// A path in the temporary folder that no other test run uses at the same time.
fs::path scratchPath(const std::string& name) {
    return fs::temp_directory_path() / (std::to_string(::getpid()) + "-" + name);
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A setting of the help project ("Default topic=principal.htm").
std::string projectOption(std::string_view key) {
    std::istringstream project(readText(kHelpSources / "PEDANOR.hhp"));
    std::string line;
    while (std::getline(project, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(std::string(key) + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    ADD_FAILURE() << "no " << key << " in the help project";
    return {};
}

// The visible text of a page: tags dropped, entities of the help decoded, blanks collapsed.
std::string visibleText(std::string html) {
    html = std::regex_replace(html, std::regex("<[^>]*>"), " ");
    html = std::regex_replace(html, std::regex("&amp;"), "&");
    html = std::regex_replace(html, std::regex("&lt;"), "<");
    html = std::regex_replace(html, std::regex("&gt;"), ">");
    html = std::regex_replace(html, std::regex("&quot;"), "\"");
    return std::regex_replace(html, std::regex("[ \t\r\n]+"), " ");
}

std::string pageTitle(const std::string& html) {
    std::smatch match;
    if (!std::regex_search(html, match, std::regex("<title>([^<]*)</title>", std::regex::icase)))
        return {};
    return match[1];
}

void collectPages(const std::vector<ContentsEntry>& entries,
                  std::vector<const ContentsEntry*>& out) {
    for (const auto& entry : entries) {
        out.push_back(&entry);
        collectPages(entry.children, out);
    }
}

class HelpFile : public ::testing::Test {
  protected:
    ChmFile help{kHelpFile};
};

TEST_F(HelpFile, SystemRecordNamesWhatTheProjectSet) {
    EXPECT_EQ(help.title(), projectOption("Title"));
    EXPECT_EQ(help.defaultTopic(), "/" + projectOption("Default topic"));
    EXPECT_EQ(help.contentsFile(), "/" + projectOption("Contents file"));
}

TEST_F(HelpFile, HoldsEverySourcePage) {
    const auto inside = help.files();
    std::set<std::string> listed(inside.begin(), inside.end());
    int pages = 0;
    for (const auto& source : fs::directory_iterator(kHelpSources)) {
        const auto ext = source.path().extension();
        if (ext != ".htm" && ext != ".css" && ext != ".png" && ext != ".hhc") continue;
        const std::string inner = "/" + source.path().filename().string();
        EXPECT_TRUE(listed.count(inner)) << inner << " is missing from the help file";
        EXPECT_EQ(help.read(inner), readText(source.path())) << inner << " differs from its source";
        ++pages;
    }
    EXPECT_GE(pages, 6);
    for (const auto& inner : inside) {
        EXPECT_NE(inner[1], '#') << "internal file listed: " << inner;
        EXPECT_NE(inner[1], '$') << "internal file listed: " << inner;
    }
    EXPECT_EQ(help.read("/no-existe.htm"), std::nullopt);
    EXPECT_FALSE(help.contains("/no-existe.htm"));
}

TEST_F(HelpFile, ContentsListEveryTopicUnderTheMainOne) {
    const auto contents = help.contents();
    ASSERT_EQ(contents.size(), 1u) << "one main topic heads the contents";
    EXPECT_EQ(resolveHelpLink("/", contents[0].local), help.defaultTopic());

    std::vector<const ContentsEntry*> entries;
    collectPages(contents, entries);
    std::set<std::string> inContents;
    for (const auto* entry : entries) {
        const auto page = resolveHelpLink("/", entry->local);
        ASSERT_TRUE(page) << entry->name;
        ASSERT_TRUE(help.contains(*page)) << entry->name << " points to a missing page " << *page;
        // A whole page is listed under its own title; a place inside a page is not.
        if (entry->local.find('#') == std::string::npos) {
            EXPECT_EQ(entry->name, pageTitle(*help.read(*page))) << *page;
        }
        inContents.insert(*page);
    }
    // What a person needs: how to export, choose frames, import, the hosted mode, the messages.
    for (const char* topic : {"/principal.htm", "/exportar.htm", "/marcos.htm", "/importar.htm",
                              "/integrado.htm", "/mensajes.htm"}) {
        EXPECT_TRUE(inContents.count(topic)) << topic << " is not in the contents";
    }
    for (const auto& inner : help.files()) {
        if (inner.ends_with(".htm")) {
            EXPECT_TRUE(inContents.count(inner)) << inner << " is in no contents line";
        }
    }
}

TEST_F(HelpFile, IndexKeywordsLeadToPagesInside) {
    EXPECT_EQ(help.indexFile(), "/" + projectOption("Index file"));
    const auto index = help.index();
    ASSERT_FALSE(index.empty());
    for (const auto& keyword : index) {
        EXPECT_FALSE(keyword.name.empty());
        const auto page = resolveHelpLink("/", keyword.local);
        ASSERT_TRUE(page) << keyword.name;
        EXPECT_TRUE(help.contains(*page)) << keyword.name << " points to a missing page " << *page;
    }
}

TEST_F(HelpFile, ContextThreeOpensTheMainTopic) {
    const auto topic = help.topicForContext(3);
    ASSERT_TRUE(topic);
    EXPECT_EQ(*topic, help.defaultTopic());
    EXPECT_TRUE(help.contains(*topic));
    for (std::uint32_t unmapped : {0u, 1u, 2u, 4u, 0xFFFFFFFFu}) {
        EXPECT_EQ(help.topicForContext(unmapped), std::nullopt) << unmapped;
    }
}

TEST_F(HelpFile, EveryLinkAndPictureOfAPageIsInside) {
    const std::regex reference("(href|src)\\s*=\\s*\"([^\"]*)\"", std::regex::icase);
    for (const auto& inner : help.files()) {
        if (!inner.ends_with(".htm")) continue;
        const std::string html = *help.read(inner);
        EXPECT_THAT(html, HasSubstr("charset=utf-8")) << inner << " does not say how it is encoded";
        for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
            const std::string link = (*it)[2];
            const auto target = resolveHelpLink(inner, link);
            ASSERT_TRUE(target) << inner << " links outside the help: " << link;
            ASSERT_TRUE(help.contains(*target)) << inner << " links to a missing " << link;
            const auto hash = link.find('#');
            if (hash != std::string::npos) {
                const std::string anchor = link.substr(hash + 1);
                EXPECT_THAT(*help.read(*target), HasSubstr("name=\"" + anchor + "\""))
                    << inner << " links to a missing place " << link;
            }
        }
    }
}

TEST_F(HelpFile, MessagesTopicQuotesTheProgramsTexts) {
    const std::string page = visibleText(*help.read("/mensajes.htm"));
    // Line breaks inside a message are shown as breaks, so they read as one blank here.
    for (const char* message : {
             "Proceso finalizado",
             "No existe archivo",
             "No existe archivo XML.",
             "Deberá Abrir el fichero XML de PEDANOR, desde el cual realizó la Importación a "
             "Tavolex",
             "Debe al menos seleccionar 1 Marco Horario.",
             "Demasiados Marcos Horarios seleccionados. Como máximo puede seleccionar 2 Marcos "
             "Horarios",
             "'%s' no es un valor entero válido",
             "Unable to write to %s",
         }) {
        EXPECT_THAT(page, HasSubstr(message));
    }
    const std::string hosted = visibleText(*help.read("/integrado.htm"));
    EXPECT_THAT(hosted, HasSubstr("Tavolex.ini"));
    EXPECT_THAT(hosted, HasSubstr("[Transformadores]"));
    EXPECT_THAT(hosted, HasSubstr("Transformado"));
}

TEST(HelpFileErrors, AMissingFileNamesWhereItWasLookedFor) {
    const fs::path missing = scratchPath("ttp-help-no-existe") / "PEDANOR.chm";
    try {
        ChmFile help(missing);
        FAIL() << "opened a missing file";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("No existe el archivo de ayuda"));
        EXPECT_THAT(e.what(), HasSubstr(missing.string()));
    }
    // A folder of that name is no help file either.
    const fs::path folder = scratchPath("ttp-help-carpeta.chm");
    fs::create_directories(folder);
    EXPECT_THROW(ChmFile{folder}, Error);
    fs::remove(folder);
}

TEST(HelpFileErrors, AFileThatIsNoHelpFileIsRefused) {
    const fs::path bogus = scratchPath("ttp-help-falso.chm");
    for (const std::string& content : {std::string(), std::string("<html>no soy ayuda</html>"),
                                       readText(kHelpFile).substr(0, 40)}) {
        {
            std::ofstream out(bogus, std::ios::binary | std::ios::trunc);
            out << content;
        }
        try {
            ChmFile help(bogus);
            ADD_FAILURE() << "accepted " << content.size() << " bytes that are no help file";
        } catch (const Error& e) {
            EXPECT_THAT(e.what(), HasSubstr(bogus.string()));
            EXPECT_THAT(e.what(), HasSubstr("no es un archivo de ayuda"));
        }
    }
    fs::remove(bogus);
}

}  // namespace
}  // namespace ttp::app
