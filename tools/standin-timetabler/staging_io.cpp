#include "staging_io.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"
#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "formats/text.h"

namespace ttp::standin {

namespace {

std::optional<int> parseInt(std::string_view s) {
    const std::string t = text::trim(s);
    int value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || t.empty()) return std::nullopt;
    return value;
}

// "HH:MM" to minutes since midnight; -1 when the text is no such time.
int minutes(std::string_view time) {
    if (time.size() < 5 || time[2] != ':') return -1;
    auto h = parseInt(time.substr(0, 2));
    auto m = parseInt(time.substr(3, 2));
    if (!h || !m || *h < 0 || *h > 24 || *m < 0 || *m > 59) return -1;
    return *h * 60 + *m;
}

void requireFields(const dbf::Table& table, std::initializer_list<std::string_view> fields) {
    for (std::string_view f : fields) {
        if (!table.hasField(f)) {
            throw Error("La tabla " + table.file().filename().string() + " no tiene el campo " +
                        std::string(f));
        }
    }
}

std::vector<Slot> readSlots(const std::filesystem::path& dir) {
    dbf::Table t = staging::open(dir, "DIASHORAST");
    requireFields(t, {"DIA", "HORA", "MARCO", "HORADESDE", "HORAHASTA"});
    const bool hasKind = t.hasField("PD_TIPO");
    std::vector<Slot> slots;
    for (t.first(); !t.eof(); t.next()) {
        auto dia = parseInt(t.text("DIA"));
        auto hora = parseInt(t.text("HORA"));
        if (!dia || !hora || *dia < 1 || t.text("MARCO").empty()) continue;  // not a usable slot
        // Breaks are slots of the frame too, but nobody is taught in them.
        if (hasKind && text::foldCase(text::trim(t.text("PD_TIPO"))) == "RECREO") continue;
        slots.push_back({*dia, *hora, t.text("MARCO"), minutes(t.text("HORADESDE")),
                         minutes(t.text("HORAHASTA"))});
    }
    return slots;
}

std::vector<Group> readGroups(const std::filesystem::path& dir) {
    dbf::Table t = staging::open(dir, "GRUPOST");
    requireFields(t, {"ABREV", "MARCO"});
    std::vector<Group> groups;
    for (t.first(); !t.eof(); t.next()) {
        groups.push_back({t.text("ABREV"), t.text("MARCO")});
    }
    return groups;
}

std::vector<std::string> readRooms(const std::filesystem::path& dir) {
    dbf::Table t = staging::open(dir, "AULAT");
    requireFields(t, {"ABREV", "PD_GENERICA"});
    std::vector<std::string> rooms;
    for (t.first(); !t.eof(); t.next()) {
        if (t.text("PD_GENERICA") == "N" && !t.text("ABREV").empty()) {
            rooms.push_back(t.text("ABREV"));
        }
    }
    return rooms;
}

std::vector<Course> readCourses(const std::filesystem::path& dir) {
    dbf::Table t = staging::open(dir, "ASIGT");
    requireFields(t, {"CASIG", "CPROF", "CGRUP", "TURNO", "NIVEL", "CURSO", "GRUPO", "HORAS",
                      "SESIONES", "CTAREA"});
    std::vector<Course> courses;
    for (t.first(); !t.eof(); t.next()) {
        Course c;
        c.casig = t.text("CASIG");
        c.cprof = t.text("CPROF");
        c.cgrup = t.text("CGRUP");
        c.turno = t.text("TURNO");
        c.nivel = t.text("NIVEL");
        c.curso = t.text("CURSO");
        c.grupo = t.text("GRUPO");
        c.sesiones = t.text("SESIONES");
        c.ctarea = t.text("CTAREA");
        const std::int64_t horas = t.integer("HORAS");
        c.horas = static_cast<int>(std::clamp<std::int64_t>(horas, 0, kMaxSessionsPerCourse));
        courses.push_back(std::move(c));
    }
    return courses;
}

dbf::FieldDef charField(std::string name, int width) {
    return {std::move(name), dbf::FieldType::Character, width};
}
dbf::FieldDef intField(std::string name) {
    return {std::move(name), dbf::FieldType::Integer, 0};
}

}  // namespace

Problem readProblem(const std::filesystem::path& dir) {
    staging::requireDirectory(dir);
    Problem p;
    p.slots = readSlots(dir);
    p.groups = readGroups(dir);
    p.rooms = readRooms(dir);
    p.courses = readCourses(dir);
    return p;
}

void writeSoluc(const std::filesystem::path& dir, const std::vector<SolucRow>& rows) {
    const std::filesystem::path file = staging::tableFile(dir, staging::kSoluc);
    dbf::Table::create(
        file, {intField("DIA"), intField("HORA"), charField("MARCO", 1), charField("AULA", 10),
               charField("ASIG", 10), charField("CODGRUPO", 10), charField("PROF", 10),
               charField("TURNO", 1), charField("NIVEL", 5), charField("CURSO", 3),
               charField("GRUPO", 2), charField("TAREA", 10), charField("SESIONES", 20)});
    dbf::Table t = dbf::Table::open(file);
    for (const SolucRow& r : rows) {
        t.append();
        t.setInteger("DIA", r.dia);
        t.setInteger("HORA", r.hora);
        t.setText("MARCO", r.marco);
        t.setText("AULA", r.aula);
        t.setText("ASIG", r.asig);
        t.setText("CODGRUPO", r.codgrupo);
        t.setText("PROF", r.prof);
        t.setText("TURNO", r.turno);
        t.setText("NIVEL", r.nivel);
        t.setText("CURSO", r.curso);
        t.setText("GRUPO", r.grupo);
        t.setText("TAREA", r.tarea);
        t.setText("SESIONES", r.sesiones);
        t.post();
    }
    t.close();
}

Summary solve(const std::filesystem::path& dir) {
    const std::vector<SolucRow> rows = place(readProblem(dir));
    writeSoluc(dir, rows);
    Summary s;
    for (const SolucRow& r : rows) (r.dia == 0 ? s.unplaced : s.placed)++;
    return s;
}

}  // namespace ttp::standin
