#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dbf_table.h"

// The fixed part of a dBase file: its header, field descriptors and where each field lies
// within a record.
namespace ttp::dbf {

struct Layout {
    int level = 7;
    std::size_t headerLength = 0;
    std::size_t recordLength = 0;
    std::size_t recordCount = 0;
    std::vector<FieldDef> fields;
    std::vector<std::size_t> offsets;  // of each field within a record; the flag byte is 0
};

// Reads and checks the header of a whole table file held in `bytes`. Throws ttp::Error
// naming `file` (as the person should read it) and what is wrong, without reading past
// the end of `bytes`.
Layout parseLayout(std::string_view bytes, const std::string& file);

// The layout of a new level 7 table with these fields: the widths of integer, float and
// logical fields are set here. Throws ttp::Error naming `file` for a field list no table
// can hold.
Layout newLayout(const std::vector<FieldDef>& fields, const std::string& file);

// The header bytes of `layout` (level 7 only), dated today, the terminator included.
std::string headerBytes(const Layout& layout);

// Bytes 1-7 of a header: today's date and `count`, little-endian.
std::string dateAndCount(std::size_t count);

}  // namespace ttp::dbf
