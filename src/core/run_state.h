#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "export/code_list.h"
#include "formats/xml_document.h"

namespace ttp {

// The state both directions share, owned by the window (or the command-line tool) for the
// life of the program.
struct RunState {
    // 2 in hosted mode, else 0.
    int NumParametros = 0;
    // 0 nothing completed, 1 a run completed, -1 the chosen file was missing (hosted mode).
    int EstadoTransformacion = 0;
    // The last confirmed file of the file-open dialog; never cleared.
    std::filesystem::path FicheroXML;
    // The document of the current run.
    std::optional<xml::Document> DocumentoXML;

    // Subjects and tasks of the current export (short codes and long codes seen).
    CodeList ListaCodigos;
    CodeList ListaCodigosLargos;

    // The chosen frame ids (at most 10 characters) and their frame digits "0"/"1".
    std::string Marco1;
    std::string Marco2;
    std::string DigitoMarco1;
    std::string DigitoMarco2;

    // The staging directory the runs read and write.
    std::filesystem::path staging;
};

}  // namespace ttp
