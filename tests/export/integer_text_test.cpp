#include "export/integer_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/error.h"

namespace ttp {
namespace {

TEST(IntegerText, OnlyPlainDecimalsWithinThirtyTwoBitsAreIntegers) {
    struct Case {
        std::string text;
        std::optional<std::int32_t> value;
    };
    const std::vector<Case> cases = {
        {"0", 0},
        {"-0", 0},
        {"+7", 7},
        {"007", 7},
        {"510", 510},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1.", std::nullopt},
        {"1,5", std::nullopt},
        {"1e3", std::nullopt},
        {"0x1F", std::nullopt},
        {"$1F", std::nullopt},
        {"--1", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"\xB9", std::nullopt},  // superscript one in Windows-1252
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(integer_text::parse(c.text), c.value);
    }
}

TEST(IntegerText, RequireNamesThePlaceAndTheText) {
    EXPECT_EQ(integer_text::require("-12", "tramo"), -12);
    try {
        integer_text::require("Mi\xE9rcoles", "tramo de la línea 4, dia");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "tramo de la línea 4, dia: 'Miércoles' no es un valor entero válido");
    }
}

}  // namespace
}  // namespace ttp
