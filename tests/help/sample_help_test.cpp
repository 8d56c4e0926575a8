// The help reader on a help file in the style of older ones (tests/help/data/muestra): pages in
// subfolders, text in the Windows code page, no context map.

#include <gtest/gtest.h>

#include "app/help_chm.h"

namespace ttp::app {
namespace {

class SampleHelp : public ::testing::Test {
  protected:
    ChmFile help{TTP_SAMPLE_HELP_FILE};
};

TEST_F(SampleHelp, ContentsInTheWindowsCodePageArriveAsUtf8) {
    const auto contents = help.contents();
    ASSERT_EQ(contents.size(), 2u);
    EXPECT_EQ(contents[0].name, "Introducción");
    EXPECT_EQ(contents[0].local, "temas/inicio.htm");
    ASSERT_EQ(contents[0].children.size(), 1u);
    EXPECT_EQ(contents[0].children[0].name, "Segundo & último");
    EXPECT_EQ(contents[1].name, "Otro");
    EXPECT_EQ(help.contentsFile(), "/indice.hhc");
    EXPECT_EQ(help.indexFile(), "");
    EXPECT_TRUE(help.index().empty());
}

TEST_F(SampleHelp, PagesInSubfoldersAreFoundByTheirLinks) {
    EXPECT_EQ(help.defaultTopic(), "/temas/inicio.htm");
    const auto page = resolveHelpLink(help.defaultTopic(), "../img/punto.png");
    ASSERT_TRUE(page);
    EXPECT_TRUE(help.contains(*page));
    const auto picture = help.read(*page);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->substr(1, 3), "PNG");
    EXPECT_TRUE(help.contains(*resolveHelpLink(help.defaultTopic(), "segundo.htm")));
    EXPECT_FALSE(help.contains(*resolveHelpLink(help.defaultTopic(), "otro.htm")));
}

TEST_F(SampleHelp, WithoutAContextMapNoContextIsFound) {
    EXPECT_EQ(help.topicForContext(3), std::nullopt);
    EXPECT_EQ(help.topicForContext(0), std::nullopt);
}

}  // namespace
}  // namespace ttp::app
