#pragma once

// Texts the person sees on the program's own windows.
namespace ttp::app {

inline constexpr const char* kTitulo = "TransTavolexPedanor";
inline constexpr const char* kCaptionMForm = "Exportar e importar datos entre Tavolex y Pedanor ";
inline constexpr const char* kCaptionPlantillas = "Planillas, Marcos o Jornadas Horarias";

}  // namespace ttp::app
