#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "formats/xml_document.h"

namespace ttp {

// What the frame selection dialog knows and decides, without any widget: the window's dialog
// shows it, the command-line tool answers it from its arguments. Lines are Windows-1252.
class FrameSelection {
  public:
    // FormActivate: loads the dialog's own copy of the document (DocumentoMarcos) and lists
    // the frames. Throws ttp::Error when the file cannot be loaded.
    void FormActivate(const std::filesystem::path& ficheroXml);

    // One line per marcoHorario (its first attribute, untrimmed), in document order; empty when
    // the document holds fewer than two frames.
    const std::vector<std::string>& frameLines() const { return frames_; }

    // The Monday slot lines of the frame at `index` (ComboBoxPlantillaChange): each
    // "indice-horaEntrada-horaSalida-Tipo" cut to 30 characters.
    std::vector<std::string> mondaySlotLines(std::size_t index) const;

    // FormClose: checks that one or two lines are selected and builds MarcosSeleccionados in
    // list order. `message` receives the dialog's message (UTF-8) when the count is wrong.
    FrameDialogResult FormClose(const std::vector<bool>& selected,
                                const std::function<void(std::string_view)>& message) const;

  private:
    std::optional<xml::Document> DocumentoMarcos;
    std::vector<std::string> frames_;
};

}  // namespace ttp
