#include "formats/text.h"

#include <gtest/gtest.h>

#include <string>

namespace ttp::text {
namespace {

struct Conversion {
    const char* utf8;
    const char* ansi;
};

class ToAnsiTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(ToAnsiTest, ConvertsToWindows1252) {
    EXPECT_EQ(toAnsi(GetParam().utf8), GetParam().ansi) << "input: " << GetParam().utf8;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToAnsiTest,
    ::testing::Values(
        Conversion{"", ""}, Conversion{"Aula 1", "Aula 1"},
        Conversion{"Ñandú",
                   "\xD1"
                   "and\xFA"},
        Conversion{"€ ‚ ƒ „ … † ‡ ˆ ‰", "\x80 \x82 \x83 \x84 \x85 \x86 \x87 \x88 \x89"},
        Conversion{"Š‹ŒŽ ‘’“”•–— ˜™š›œžŸ",
                   "\x8A\x8B\x8C\x8E \x91\x92\x93\x94\x95\x96\x97 \x98\x99\x9A\x9B\x9C\x9E\x9F"},
        Conversion{"\u00A0¡ÿ", "\xA0\xA1\xFF"},
        // Characters the code page lacks, each one '?'.
        Conversion{"Ā中😀x", "???x"}, Conversion{"\u0080", "?"},
        // The undefined code-page bytes travel as their C1 controls.
        Conversion{"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
        // Malformed UTF-8: one '?' per broken sequence, never a lost neighbour.
        Conversion{"a\xC3", "a?"}, Conversion{"a\xE2\x82", "a?"}, Conversion{"a\xE2\x82z", "a?z"},
        Conversion{"\x80z", "?z"}, Conversion{"\xC0\x80z", "?z"}, Conversion{"\xE0\x80\x80z", "?z"},
        Conversion{"\xED\xA0\x80z", "?z"}, Conversion{"\xF4\x90\x80\x80z", "?z"},
        Conversion{"\xFFz", "?z"}));

TEST(ToUtf8Test, MapsTheHighBytes) {
    EXPECT_EQ(toUtf8("\x80"), "€");
    EXPECT_EQ(toUtf8("\x9F"), "Ÿ");
    EXPECT_EQ(toUtf8("\xD1"
                     "and\xFA"),
              "Ñandú");
    EXPECT_EQ(toUtf8("\x81"), "\xC2\x81");
    EXPECT_EQ(toUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(ToUtf8Test, EveryByteSurvivesTheRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string ansi(1, static_cast<char>(b));
        EXPECT_EQ(toAnsi(toUtf8(ansi)), ansi) << "byte " << b;
    }
}

TEST(TrimTest, RemovesEveryControlAndBlankAtBothEnds) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"   ", ""},
        {"x", "x"},
        {" \t\r\n x y \x01\x1F", "x y"},
        {std::string("\0 a\0", 4), "a"},
        {"\xA0x\xA0", "\xA0x\xA0"},  // no-break space is above 32: kept
        {"!a!", "!a!"},
    };
    for (const Case& c : cases) EXPECT_EQ(trim(c.in), c.out) << "input: [" << c.in << "]";
}

TEST(CaseTest, LettersOfTheCodePageCompareAsAPersonWould) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"Matemáticas", "MATEMÁTICAS", true},
        {"ñandú", "ÑANDÚ", true},
        {"pingüino", "PINGÜINO", true},
        {"œuvre", "ŒUVRE", true},
        {"šž", "ŠŽ", true},
        {"ÿ", "Ÿ", true},
        {"àéîõø", "ÀÉÎÕØ", true},
        {"÷", "×", false},  // division and multiplication signs are not letters
        {"ß", "SS", false},
        {"ab", "abc", false},
        {"a", "b", false},
        {"1-2", "1-2", true},
        {"@", "`", false},
    };
    for (const Case& c : cases) {
        const std::string a = toAnsi(c.a);
        const std::string b = toAnsi(c.b);
        EXPECT_EQ(equalsIgnoreCase(a, b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(equalsIgnoreCase(b, a), c.equal) << c.b << " / " << c.a;
        EXPECT_EQ(foldCase(a) == foldCase(b), c.equal) << c.a << " / " << c.b;
    }
}

TEST(CaseTest, FoldCaseGivesTheUpperCaseForm) {
    EXPECT_EQ(toUtf8(foldCase(toAnsi("Ñandú œ š ž ÿ ß µ 1"))), "ÑANDÚ Œ Š Ž Ÿ ß µ 1");
}

}  // namespace
}  // namespace ttp::text
