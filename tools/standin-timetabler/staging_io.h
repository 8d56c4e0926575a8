#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "placement.h"

// The stand-in timetabler's side of the staging folder: the tables of an export in, SOLUC out.
namespace ttp::standin {

// Reads DIASHORAST, GRUPOST, AULAT (ordinary rooms only) and ASIGT from `dir`. Throws
// ttp::Error naming the table or field that is missing.
Problem readProblem(const std::filesystem::path& dir);

// Creates SOLUC in `dir` (replacing one of any letter case) holding these rows in order.
void writeSoluc(const std::filesystem::path& dir, const std::vector<SolucRow>& rows);

struct Summary {
    std::size_t placed = 0;
    std::size_t unplaced = 0;
};

// The whole stand-in: read, place, write.
Summary solve(const std::filesystem::path& dir);

}  // namespace ttp::standin
