// Locate: exact, case-sensitive, first match in record order, on one or several fields;
// the hashed look-up must always agree with a plain scan, also after writes.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "formats/dbf_table.h"
#include "support/export_fixture.h"

namespace ttp::test {
namespace {

using dbf::FieldType;
using dbf::Table;

using Names = std::vector<std::string_view>;

struct Row {
    std::string a, b;
    int n;
};

// The index of the first row equal to (a, b), by a plain walk over the rows.
std::optional<std::size_t> scan(const std::vector<Row>& rows, const std::string& a,
                                const std::optional<std::string>& b) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].a == a && (!b || rows[i].b == *b)) return i;
    }
    return std::nullopt;
}

class DbfLocate : public ::testing::Test {
  protected:
    TempDir dir;
    std::filesystem::path file = dir / "DIASHORAST.DBF";
    std::vector<Row> rows;

    void SetUp() override {
        Table::create(file, {{"DIHO", FieldType::Character, 10},
                             {"MARCOXML", FieldType::Character, 10},
                             {"N", FieldType::Integer}});
    }

    void append(Table& table, const Row& row) {
        table.append();
        table.setText("DIHO", row.a);
        table.setText("MARCOXML", row.b);
        table.setInteger("N", row.n);
        table.post();
        rows.push_back(row);
    }

    // Every key the rows may hold, plus some they never do, both ways.
    void expectAgreesWithScan(Table& table) {
        for (int i = 0; i < 12; ++i) {
            const std::string a = "d" + std::to_string(i);
            SCOPED_TRACE(a);
            const auto one = scan(rows, a, std::nullopt);
            table.first();
            ASSERT_EQ(table.locate("DIHO", a), one.has_value());
            if (one) {
                EXPECT_EQ(table.integer("N"), rows[*one].n);
            }
            for (int j = 0; j < 5; ++j) {
                const std::string b = "m" + std::to_string(j);
                const auto two = scan(rows, a, b);
                ASSERT_EQ(table.locate(Names{"DIHO", "MARCOXML"}, Names{a, b}), two.has_value())
                    << b;
                if (two) {
                    EXPECT_EQ(table.integer("N"), rows[*two].n);
                }
            }
        }
    }
};

TEST_F(DbfLocate, AgreesWithAPlainScanBeforeAndAfterWrites) {
    std::mt19937 random(7);  // fixed seed: the same rows on every run
    Table table = Table::open(file);
    for (int i = 0; i < 300; ++i) {
        append(table, {"d" + std::to_string(random() % 10), "m" + std::to_string(random() % 4), i});
    }
    expectAgreesWithScan(table);

    // Rows appended after the first look-ups, with keys not seen before and seen before.
    append(table, {"d10", "m4", 1000});
    append(table, {"d0", "m0", 1001});
    expectAgreesWithScan(table);

    // Edits that take the first match of a key away.
    for (int k = 0; k < 3; ++k) {
        const auto first = scan(rows, "d3", std::string("m1"));
        ASSERT_TRUE(first.has_value());
        ASSERT_TRUE(table.locate(Names{"DIHO", "MARCOXML"}, Names{"d3", "m1"}));
        table.edit();
        table.setText("MARCOXML", "m4");
        table.post();
        rows[*first].b = "m4";
        expectAgreesWithScan(table);
    }
}

TEST_F(DbfLocate, MatchesExactlyAndLeavesTheCursorWhenNothingMatches) {
    Table table = Table::open(file);
    append(table, {"ABC", "M1", 1});
    append(table, {"abc", "M1", 2});
    append(table, {"ABC", "M1", 3});
    append(table, {"AB", "M2", 4});

    EXPECT_TRUE(table.locate("DIHO", "abc"));
    EXPECT_EQ(table.integer("N"), 2);
    EXPECT_TRUE(table.locate("DIHO", "ABC"));
    EXPECT_EQ(table.integer("N"), 1);           // the first in record order
    EXPECT_TRUE(table.locate("DIHO", "ABC "));  // trailing blanks as the field keeps them
    EXPECT_EQ(table.integer("N"), 1);

    table.first();
    table.next();
    for (const char* missing : {"Abc", "ABCD", " ABC", "A"}) {
        EXPECT_FALSE(table.locate("DIHO", missing)) << missing;
        EXPECT_EQ(table.integer("N"), 2) << "cursor moved for " << missing;
    }
    EXPECT_FALSE(table.locate(Names{"DIHO", "MARCOXML"}, Names{"AB", "M1"}));
    EXPECT_TRUE(table.locate(Names{"DIHO", "MARCOXML"}, Names{"AB", "M2"}));
    EXPECT_TRUE(table.locate("N", "3"));  // a number matches its decimal text
    EXPECT_EQ(table.text("DIHO"), "ABC");
    EXPECT_THROW(table.locate(Names{"DIHO", "MARCOXML"}, Names{"AB"}), Error);
}

TEST_F(DbfLocate, PostsAPendingRecordFirst) {
    Table table = Table::open(file);
    table.append();
    table.setText("DIHO", "nuevo");
    EXPECT_TRUE(table.locate("DIHO", "nuevo"));
    EXPECT_EQ(table.recordCount(), 1u);
}

}  // namespace
}  // namespace ttp::test
