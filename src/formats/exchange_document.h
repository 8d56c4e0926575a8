#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/xml_document.h"

// The exchange document of the school-management program: its paths, and how values are
// taken from it. Values are read relative to their own parent element, so a missing child
// never shifts the values of later elements; a missing child reads as empty text.
// Every value returned here is Windows-1252 (see text.h).
namespace ttp::exchange {

inline constexpr std::string_view kRoot = "/datosRVT";
inline constexpr std::string_view kMaterias = "/datosRVT/materias/materia";
inline constexpr std::string_view kTareas = "/datosRVT/tareas/tarea";
inline constexpr std::string_view kProfesores = "/datosRVT/profesores/profesor";
inline constexpr std::string_view kAulas = "/datosRVT/aulas/aula";
inline constexpr std::string_view kGeneral = "/datosRVT/conjuntoDeAulas/general";
inline constexpr std::string_view kGrupos = "/datosRVT/grupos/grupo";
inline constexpr std::string_view kSesiones = "/datosRVT/sesionesLectivas/sesion";
inline constexpr std::string_view kMarcos = "/datosRVT/marcosDeHorario/marcoHorario";
inline constexpr std::string_view kTramos = "/datosRVT/marcosDeHorario/marcoHorario/tramo";
inline constexpr std::string_view kHorario = "/datosRVT/horario";

// Text of the element, trimmed, in Windows-1252.
std::string elementText(const xml::Node& element);

// Trimmed text of the first child element `child` of `parent`; "" when there is none.
// `child` may be a path of child steps relative to `parent`
// ("distribucionSemanal/distribucionVariable/numSesiones").
std::string childText(const xml::Node& parent, std::string_view child);

// Untrimmed text of the first child element `child` of `parent`; "" when there is none.
std::string childTextRaw(const xml::Node& parent, std::string_view child);

// Value of the attribute at `position` (start-tag order), untrimmed. Throws ttp::Error naming
// the element, its line and the position when the element has no such attribute.
std::string attributeAt(const xml::Node& element, std::size_t position);

// Trimmed value of the named attribute; "" when the element lacks it.
std::string attributeNamed(const xml::Node& element, std::string_view name);

// The result of an import: "ResultadoTavolex" + the input's file name, beside the input.
std::filesystem::path resultPath(const std::filesystem::path& input);

}  // namespace ttp::exchange
