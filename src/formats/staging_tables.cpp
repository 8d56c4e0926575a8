#include "formats/staging_tables.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "core/error.h"
#include "formats/dbf_file.h"

namespace ttp::staging {
namespace {

using dbf::FieldDef;
using dbf::FieldType;

FieldDef chars(std::string name, int width) {
    return FieldDef{std::move(name), FieldType::Character, width, 0, 'C'};
}
FieldDef integer(std::string name) {
    return FieldDef{std::move(name), FieldType::Integer, 4, 0, 'I'};
}
FieldDef number(std::string name) {
    return FieldDef{std::move(name), FieldType::Float, 18, 8, 'N'};
}
FieldDef logical(std::string name) {
    return FieldDef{std::move(name), FieldType::Logical, 1, 0, 'L'};
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::filesystem::path home() {
    const std::string fromEnvironment = environment("HOME");
    if (!fromEnvironment.empty()) return fromEnvironment;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

// Deletes `file` if it is there. A table that another program holds open is not pulled
// from under it: that is the in-use error, as when opening it.
void removeUnlessInUse(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    dbf::LockedFile held;
    try {
        held = dbf::LockedFile::open(file);
    } catch (const dbf::InUseError&) {
        throw;
    } catch (const Error&) {
        // Unreadable or gone: deleting is still worth a try.
    }
    std::filesystem::remove(file, ec);  // a failure is ignored: creating then reports it
}

}  // namespace

const TableDef& asignomt() {
    static const TableDef table{"ASIGNOMT",
                                {chars("COD", 10), chars("CODLARGO", 10), chars("NOMBRE", 80),
                                 chars("MATERIA", 8), chars("CODTAREA", 10), logical("ESTAREA")}};
    return table;
}

const TableDef& proft() {
    static const TableDef table{"PROFT",
                                {chars("ABREV", 10), chars("NOMBRE", 80), chars("DEPART", 40),
                                 integer("DNI"), chars("X_EMPLEADO", 10)}};
    return table;
}

const TableDef& aulat() {
    static const TableDef table{"AULAT",
                                {chars("ABREV", 10), chars("NOMBRE", 80), chars("EDIFICIO", 1),
                                 integer("MAXALUM"), chars("PD_GENERICA", 1)}};
    return table;
}

const TableDef& diashorast() {
    static const TableDef table{
        "DIASHORAST",
        {chars("DIHO", 10), chars("CODDIHO", 10), chars("DIA", 20), chars("TEXTODIA", 20),
         chars("HORA", 8), chars("TEXTOHOR", 20), chars("HORADESDE", 8), chars("HORAHASTA", 8),
         chars("MINUTOS", 8), chars("MARCO", 1), chars("MARCOXML", 10), chars("PD_MARCO_ID", 2),
         chars("PD_SUBMARCO", 2), chars("PD_DIA", 1), chars("PD_HORADESDE", 8),
         chars("PD_HORAHASTA", 8), chars("PD_TIPO", 20)}};
    return table;
}

const TableDef& grupost() {
    static const TableDef table{
        "GRUPOST",
        {chars("ABREV", 10), chars("TURNO", 1), chars("NIVEL", 5), chars("CURSO", 3),
         chars("GRUPO", 2), chars("DESCRIP", 80), chars("MARCO", 1)}};
    return table;
}

const TableDef& asigt() {
    static const TableDef table{
        "ASIGT",
        {chars("CASIG", 10), chars("CPROF", 10), chars("CGRUP", 10), chars("CAULA", 10),
         chars("TURNO", 1), chars("NIVEL", 5), chars("CURSO", 3), chars("GRUPO", 2),
         number("HORAS"), chars("SESIONES", 20), chars("NCONEX", 4), chars("CTAREA", 10),
         integer("PD_SESION")}};
    return table;
}

std::filesystem::path defaultDirectory() {
#ifdef _WIN32
    return "C:\\TTEMP";
#else
    const std::string chosen = environment("TTP_STAGING_DIR");
    if (!chosen.empty()) return chosen;
    std::string prefix = environment("WINEPREFIX");
    const std::filesystem::path wine =
        prefix.empty() ? home() / ".wine" : std::filesystem::path(prefix);
    return wine / "drive_c" / "TTEMP";
#endif
}

void requireDirectory(const std::filesystem::path& dir) {
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec)) return;
    if (std::filesystem::exists(dir, ec)) {
        throw Error("La carpeta de intercambio " + dir.string() + " no es una carpeta");
    }
    throw Error("No existe la carpeta de intercambio " + dir.string());
}

std::filesystem::path tableFile(const std::filesystem::path& dir, std::string_view name) {
    return dbf::findFile(dir, std::string(name) + ".DBF");
}

void rebuild(const std::filesystem::path& dir, const TableDef& table) {
    const std::string name(table.name);
    removeUnlessInUse(tableFile(dir, name));
    std::error_code ec;
    std::filesystem::remove(dbf::findFile(dir, name + ".MDX"), ec);
    dbf::Table::create(dir / (name + ".DBF"), table.fields);
}

dbf::Table open(const std::filesystem::path& dir, std::string_view name) {
    return dbf::Table::open(tableFile(dir, name));
}

}  // namespace ttp::staging
