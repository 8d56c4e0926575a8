#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>

#include "core/error.h"
#include "export/export_run.h"
#include "export/integer_text.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"
#include "formats/text.h"

namespace ttp {
namespace {

constexpr std::int32_t kSessionsInText = 13;

// "sesión 17" after the session's number as written, or its line when it carries none (UTF-8).
std::string sessionLabel(const xml::Node& sesion) {
    if (auto number = sesion.attributeAt(0)) return "sesión " + text::trim(*number);
    return "sesión de la línea " + std::to_string(sesion.line());
}

std::string inQuotes(std::string_view ansi) {
    return "'" + text::toUtf8(ansi) + "'";
}

// The weekly sessions as the timetabler reads them: one "1" per session up to thirteen, the
// rest as a number in front.
std::string sessionsText(std::int32_t n) {
    if (n >= kSessionsInText + 1) {
        return std::to_string(n - kSessionsInText) + std::string(kSessionsInText, '1');
    }
    if (n >= 1) return std::string(static_cast<std::size_t>(n), '1');
    return {};
}

// Trimmed teacher name → the code issued to the first teacher of that name. The teachers
// step writes one PROFT row per profesor, in document order, so the k-th row holds the code
// of the k-th profesor; a code the short-code rule lengthened or folded is found this way.
std::unordered_map<std::string, std::string> codesByTeacherName(const xml::Document& doc,
                                                                dbf::Table& proft) {
    std::unordered_map<std::string, std::string> codes;
    const auto profesores = doc.select(exchange::kProfesores);
    std::size_t k = 0;
    for (proft.first(); !proft.eof() && k < profesores.size(); proft.next(), ++k) {
        codes.emplace(exchange::childText(profesores[k], "nombre"), proft.text("ABREV"));
    }
    return codes;
}

// The session number held by the element's first attribute, whatever its name.
std::int32_t sessionNumber(const xml::Node& sesion) {
    const std::string value = text::trim(exchange::attributeAt(sesion, 0));
    const std::string where =
        "sesión de la línea " + std::to_string(sesion.line()) + ", número de sesión";
    const std::int32_t number = integer_text::require(value, where);
    // The table's integer field keeps its lowest value for "no value".
    if (number == std::numeric_limits<std::int32_t>::min()) {
        throw Error(where + ": '" + text::toUtf8(value) + "' no cabe en el campo PD_SESION");
    }
    return number;
}

struct SessionRow {
    std::string casig, cprof, cgrup, nivel, curso, grupo, horas, sesiones, ctarea;
    std::int32_t pdSesion = 0;
};

}  // namespace

void ExportRun::ExportarSesiones() {
    const xml::Document& doc = document();
    staging::rebuild(state_.staging, staging::asigt());
    auto asigt = staging::open(state_.staging, staging::asigt().name);
    auto grupost = staging::open(state_.staging, staging::grupost().name);
    auto proft = staging::open(state_.staging, staging::proft().name);
    auto asignomt = staging::open(state_.staging, staging::asignomt().name);

    const auto teacherCodes = codesByTeacherName(doc, proft);

    for (const auto& sesion : doc.select(exchange::kSesiones)) {
        SessionRow row;
        const std::string materia = exchange::childText(sesion, "materia");
        if (!asignomt.locate("NOMBRE", materia)) {
            ui_.notice(sessionLabel(sesion) + ": materia " + inQuotes(materia) +
                       " desconocida; se omite");
            continue;
        }
        row.casig = asignomt.text("COD");

        // An empty text names nothing: its field stays empty without a notice.
        const std::string profesor = exchange::childText(sesion, "profesor");
        if (auto byName = teacherCodes.find(profesor); byName != teacherCodes.end()) {
            row.cprof = byName->second;
        } else if (proft.locate("ABREV", profesor)) {
            row.cprof = proft.text("ABREV");
        } else if (!profesor.empty()) {
            ui_.notice(sessionLabel(sesion) + ": profesor " + inQuotes(profesor) +
                       " no encontrado");
        }

        const std::string grupo = exchange::childText(sesion, "grupo");
        if (grupost.locate("DESCRIP", grupo)) {
            row.cgrup = grupost.text("ABREV");
            row.nivel = grupost.text("NIVEL");
            row.curso = grupost.text("CURSO");
            row.grupo = grupost.text("GRUPO");
        } else if (!grupo.empty()) {
            ui_.notice(sessionLabel(sesion) + ": grupo " + inQuotes(grupo) + " no encontrado");
        }

        row.horas =
            exchange::childText(sesion, "distribucionSemanal/distribucionVariable/numSesiones");
        if (row.horas.empty()) row.horas = "1";
        const std::int32_t count = integer_text::require(
            row.horas, "sesión de la línea " + std::to_string(sesion.line()) + ", numSesiones");
        row.sesiones = sessionsText(count);

        const std::string tarea = exchange::childText(sesion, "tarea");
        if (asignomt.locate("COD", tarea)) {
            row.ctarea = asignomt.text("COD");
        } else if (!tarea.empty()) {
            ui_.notice(sessionLabel(sesion) + ": tarea " + inQuotes(tarea) + " no encontrada");
        }

        row.pdSesion = sessionNumber(sesion);

        // Appended only once every value is known, so a bad value leaves no half row.
        asigt.append();
        asigt.setText("CASIG", row.casig);
        asigt.setText("CPROF", row.cprof);
        asigt.setText("CGRUP", row.cgrup);
        asigt.setText("CAULA", "");
        asigt.setText("TURNO", "");
        asigt.setText("NIVEL", row.nivel);
        asigt.setText("CURSO", row.curso);
        asigt.setText("GRUPO", row.grupo);
        asigt.setInteger("HORAS", count);
        asigt.setText("SESIONES", row.sesiones);
        asigt.setText("CTAREA", row.ctarea);
        asigt.setInteger("PD_SESION", row.pdSesion);
        asigt.post();
    }
    asigt.close();
    asignomt.close();
    proft.close();
    grupost.close();
}

}  // namespace ttp
