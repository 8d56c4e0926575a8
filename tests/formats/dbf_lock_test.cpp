// Exclusive open, and records on disk as soon as they are posted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/error.h"
#include "formats/dbf_table.h"
#include "formats/dbf_test_fixture.h"
#include "support/export_fixture.h"

namespace ttp::test {
namespace {

using dbf::FieldType;
using dbf::Table;

std::filesystem::path newTable(const TempDir& dir) {
    const auto file = dir / "ASIGT.DBF";
    Table::create(file, {{"CASIG", FieldType::Character, 10}, {"PD_SESION", FieldType::Integer}});
    return file;
}

std::string inUse(const std::filesystem::path& file) {
    return "La tabla " + file.string() + " está en uso por otro programa";
}

TEST(DbfLock, SecondOpenInThisProcessIsRefused) {
    TempDir dir;
    const auto file = newTable(dir);
    {
        Table first = Table::open(file);
        try {
            Table::open(file);
            FAIL() << "opened twice";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), inUse(file));
        }
        // Re-creating a table in use is refused too, and leaves it as it was.
        first.append();
        first.setText("CASIG", "MAT");
        first.post();
        EXPECT_THROW(Table::create(file, {{"X", FieldType::Character, 1}}), Error);
    }
    Table again = Table::open(file);  // free once closed
    EXPECT_EQ(again.recordCount(), 1u);
    EXPECT_TRUE(again.hasField("CASIG"));
}

TEST(DbfLock, OpenFromAnotherProcessIsRefused) {
    TempDir dir;
    const auto file = newTable(dir);
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int status = 0;
        try {
            Table held = Table::open(file);
            char c = 'x';
            if (::write(ready[1], &c, 1) != 1) status = 3;
            if (::read(release[0], &c, 1) != 1) status = 4;
        } catch (...) {
            status = 5;
        }
        ::_exit(status);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);  // the child holds the table now
    try {
        Table::open(file);
        ADD_FAILURE() << "opened a table another process holds";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), inUse(file));
    }
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NO_THROW(Table::open(file));
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

// A run that dies halfway leaves the rows it posted: the child posts two rows, starts a
// third and ends without closing anything.
TEST(DbfLock, PostedRowsAreOnDiskWhenTheProcessDies) {
    TempDir dir;
    const auto file = newTable(dir);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            Table table = Table::open(file);
            for (int i = 1; i <= 2; ++i) {
                table.append();
                table.setText("CASIG", "S" + std::to_string(i));
                table.setInteger("PD_SESION", i);
                table.post();
            }
            table.append();
            table.setText("CASIG", "PENDIENTE");
            ::_exit(0);
        } catch (...) {
            ::_exit(1);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::string bytes = readBytes(file);
    EXPECT_EQ(le32(bytes, 4), 2u);
    EXPECT_EQ(bytes.back(), '\x1A');
    Table table = Table::open(file);
    ASSERT_EQ(table.recordCount(), 2u);
    table.first();
    EXPECT_EQ(table.text("CASIG"), "S1");
    table.next();
    EXPECT_EQ(table.integer("PD_SESION"), 2);
}

}  // namespace
}  // namespace ttp::test
