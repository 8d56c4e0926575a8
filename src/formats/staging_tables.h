#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "formats/dbf_table.h"

// The staging tables shared with the timetabler: their field lists, the staging directory
// and the rule by which the export rebuilds a table.
namespace ttp::staging {

struct TableDef {
    std::string_view name;  // ASIGNOMT, PROFT, ...
    std::vector<dbf::FieldDef> fields;
};

const TableDef& asignomt();
const TableDef& proft();
const TableDef& aulat();
const TableDef& diashorast();
const TableDef& grupost();
const TableDef& asigt();

// Names of the timetabler's solution table and of the seven tables the import opens.
inline constexpr std::string_view kSoluc = "SOLUC";

// The staging directory: C:\TTEMP on Windows; elsewhere $TTP_STAGING_DIR when set, else the
// folder C:\TTEMP stands for under Wine ($WINEPREFIX/drive_c/TTEMP, WINEPREFIX defaulting
// to ~/.wine). Not checked here.
std::filesystem::path defaultDirectory();

// Throws ttp::Error naming the folder when `dir` is not an existing directory; the converter
// never creates it.
void requireDirectory(const std::filesystem::path& dir);

// NAME.DBF in `dir`, matched without regard to case when such a file exists.
std::filesystem::path tableFile(const std::filesystem::path& dir, std::string_view name);

// Deletes NAME.DBF, then NAME.MDX (failures ignored), then creates the table anew, empty and
// without index.
void rebuild(const std::filesystem::path& dir, const TableDef& table);

// Opens NAME.DBF in `dir` (exclusive).
dbf::Table open(const std::filesystem::path& dir, std::string_view name);

}  // namespace ttp::staging
