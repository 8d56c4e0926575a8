#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/dbf_table.h"

// Reading and writing one field's bytes within a record, by its physical type. `raw` and
// `dest` are the field's `def.width` bytes; `table` names the table in messages.
namespace ttp::dbf {

bool readNull(const FieldDef& def, std::string_view raw);
std::string readText(const FieldDef& def, std::string_view raw, const std::string& table);
std::int64_t readInteger(const FieldDef& def, std::string_view raw, const std::string& table);

void writeNull(const FieldDef& def, char* dest);
void writeText(const FieldDef& def, char* dest, std::string_view value, const std::string& table);
void writeInteger(const FieldDef& def, char* dest, std::int64_t value, const std::string& table);
void writeLogical(const FieldDef& def, char* dest, bool value, const std::string& table);

}  // namespace ttp::dbf
