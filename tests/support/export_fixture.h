#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "formats/text.h"
#include "support/files.h"

// Small helpers for tests of the export: a throw-away staging folder, exchange documents written
// from strings, and staging tables read back as plain rows.
namespace ttp::test {

// An exchange document in UTF-8: the XML declaration and the root `datosRVT` around `body`.
inline std::string datosRVT(std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<datosRVT>" + std::string(body) +
           "</datosRVT>\n";
}

// One record of a staging table: field name to its text() value, converted to UTF-8 so that
// tests can compare with literal UTF-8 strings.
using Row = std::map<std::string, std::string>;

// Every record of NAME.DBF in `dir`, in record order.
inline std::vector<Row> readRows(const std::filesystem::path& dir, std::string_view name) {
    dbf::Table table = dbf::Table::open(staging::tableFile(dir, name));
    std::vector<Row> rows;
    for (table.first(); !table.eof(); table.next()) {
        Row row;
        for (const dbf::FieldDef& field : table.fields()) {
            row[field.name] = text::toUtf8(table.text(field.name));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// One field of every record of NAME.DBF in `dir`, in record order (UTF-8).
inline std::vector<std::string> readColumn(const std::filesystem::path& dir, std::string_view name,
                                           const std::string& field) {
    std::vector<std::string> values;
    for (const Row& row : readRows(dir, name)) {
        auto it = row.find(field);
        if (it == row.end()) throw std::runtime_error("no field " + field);
        values.push_back(it->second);
    }
    return values;
}

// The field names of NAME.DBF in `dir`, in order.
inline std::vector<std::string> readFieldNames(const std::filesystem::path& dir,
                                               std::string_view name) {
    dbf::Table table = dbf::Table::open(staging::tableFile(dir, name));
    std::vector<std::string> names;
    for (const dbf::FieldDef& field : table.fields()) names.push_back(field.name);
    return names;
}

}  // namespace ttp::test
