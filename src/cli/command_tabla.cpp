// ttp tabla FICHERO.DBF: a table's fields, then its rows as CSV, in UTF-8.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "formats/dbf_table.h"
#include "formats/text.h"

namespace ttp::cli {
namespace {

// A CSV cell (RFC 4180): quoted when it holds a separator, a quote or a line break.
std::string csvCell(std::string_view value) {
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void printLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        line += csvCell(cells[i]);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int tabla(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"falta el fichero DBF"};
    if (args.size() > 1) throw UsageError{"sobra el argumento: " + args[1]};
    if (args[0].size() > 1 && args[0][0] == '-') throw UsageError{"opción desconocida: " + args[0]};

    dbf::Table table = dbf::Table::open(args[0]);
    std::printf("Tabla %s (nivel %d, %zu registros)\n", args[0].c_str(), table.level(),
                table.recordCount());
    std::printf("Campos:\n");
    std::vector<std::string> names;
    for (const dbf::FieldDef& field : table.fields()) {
        const std::string name = text::toUtf8(field.name);
        std::string size = std::to_string(field.width);
        if (field.decimals > 0) size += "." + std::to_string(field.decimals);
        std::printf("  %-12s %c %s\n", name.c_str(), field.code, size.c_str());
        names.push_back(name);
    }
    std::printf("Registros:\n");
    printLine(names);
    for (table.first(); !table.eof(); table.next()) {
        std::vector<std::string> cells;
        for (const dbf::FieldDef& field : table.fields()) {
            cells.push_back(text::toUtf8(table.text(field.name)));
        }
        printLine(cells);
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace ttp::cli
