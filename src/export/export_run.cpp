#include "export/export_run.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/error.h"
#include "formats/staging_tables.h"
#include "formats/xml_document.h"

namespace ttp {
namespace {

constexpr std::string_view kNoExisteArchivo = "No existe archivo";
constexpr std::string_view kProcesoFinalizado = "Proceso finalizado";

// An empty path and a folder count as missing: only a file can be exported.
bool fileExists(const std::filesystem::path& file) {
    if (file.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

}  // namespace

void ExportRun::BExportarClick() {
    // A cancelled dialog keeps the path of the last confirmed one.
    if (auto chosen = ui_.chooseXmlFile()) state_.FicheroXML = *chosen;

    if (!fileExists(state_.FicheroXML)) {
        ui_.showMessage(kNoExisteArchivo);
        if (state_.NumParametros == 2) {
            state_.EstadoTransformacion = -1;
            ui_.closeWindow();
        }
        return;
    }

    // The previous document goes first; a file that is not well-formed XML then stops the run
    // here, before any table is touched, instead of exporting an empty document over the
    // tables of the last export.
    state_.DocumentoXML.reset();
    state_.DocumentoXML.emplace(xml::Document::load(state_.FicheroXML));

    {
        // Restores the cursor however the steps end.
        BusyCursor busy(ui_);
        staging::requireDirectory(state_.staging);
        ExportarMaterias();
        ExportarTareas();
        ExportarProfesores();
        ExportarAulas();
        ExportarMarcos();
        ExportarGrupos();
        ExportarSesiones();
    }

    // Set before the message, so that a window closed meanwhile already records it.
    state_.EstadoTransformacion = 1;
    ui_.showMessage(kProcesoFinalizado);
    ui_.disableDirectionButtons();
    if (state_.NumParametros == 2) ui_.closeWindow();
}

const xml::Document& ExportRun::document() const {
    if (!state_.DocumentoXML) throw Error("No hay ningún documento XML cargado");
    return *state_.DocumentoXML;
}

}  // namespace ttp
