#include "export/frame_selection.h"

#include <string>

#include "core/error.h"
#include "formats/exchange_document.h"
#include "formats/text.h"

namespace ttp {
namespace {

// A path as UTF-8 text for messages.
std::string pathText(const std::filesystem::path& p) {
    const auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

constexpr std::size_t kCellWidth = 10;
constexpr std::size_t kSlotLineWidth = 30;

constexpr std::string_view kNingunMarco = "Debe al menos seleccionar 1 Marco Horario.";
constexpr std::string_view kDemasiadosMarcos =
    "Demasiados Marcos Horarios seleccionados.\r\n"
    "Como máximo puede seleccionar 2 Marcos Horarios";

}  // namespace

void FrameSelection::FormActivate(const std::filesystem::path& ficheroXml) {
    // Every activation starts afresh: a selection made before is lost with the old lines.
    frames_.clear();
    DocumentoMarcos.reset();
    DocumentoMarcos.emplace(xml::Document::load(ficheroXml));

    const auto marcos = DocumentoMarcos->select(exchange::kMarcos);
    if (marcos.size() < 2) {
        // Without two frames no selection can ever be valid, and the caller would show the
        // dialog again and again; the file must have changed since the run read it.
        throw Error("El archivo " + pathText(ficheroXml) +
                    " no contiene varios Marcos Horarios (marcoHorario) entre los que elegir");
    }
    frames_.reserve(marcos.size());
    for (const auto& marco : marcos) {
        // The first attribute whatever its name, as the frame list has always shown it; an
        // element without attributes is an error naming its line.
        frames_.push_back(exchange::attributeAt(marco, 0));
    }
}

std::vector<std::string> FrameSelection::mondaySlotLines(std::size_t index) const {
    std::vector<std::string> lines;
    if (!DocumentoMarcos || index >= frames_.size()) return lines;
    const auto tramos = DocumentoMarcos->select(exchange::kTramos);
    if (tramos.size() <= 1) return lines;
    const std::string& frame = frames_[index];
    for (const auto& tramo : tramos) {
        // Untrimmed and exact: a day written " 0" or "00" is not listed here.
        if (exchange::childTextRaw(tramo, "submarco") != frame) continue;
        if (exchange::childTextRaw(tramo, "dia") != "0") continue;
        std::string line = exchange::childTextRaw(tramo, "indice") + "-" +
                           exchange::childTextRaw(tramo, "horaEntrada") + "-" +
                           exchange::childTextRaw(tramo, "horaSalida") + "-" +
                           exchange::childTextRaw(tramo, "Tipo");
        if (line.size() > kSlotLineWidth) line.resize(kSlotLineWidth);
        lines.push_back(std::move(line));
    }
    return lines;
}

FrameDialogResult FrameSelection::FormClose(
    const std::vector<bool>& selected, const std::function<void(std::string_view)>& message) const {
    FrameDialogResult result;
    result.SeleccionValida = true;

    std::size_t count = 0;
    for (std::size_t i = 0; i < frames_.size() && i < selected.size(); ++i) {
        if (selected[i]) ++count;
    }
    if (count > 2) {
        if (message) message(kDemasiadosMarcos);
        result.SeleccionValida = false;
    } else if (count < 1) {
        if (message) message(kNingunMarco);
        result.SeleccionValida = false;
    }

    // Built whether or not the selection is valid; list order, whatever the clicks' order.
    for (std::size_t i = 0; i < frames_.size() && i < selected.size(); ++i) {
        if (!selected[i]) continue;
        std::string cell = frames_[i] + std::string(kCellWidth, ' ');
        cell.resize(kCellWidth);
        result.MarcosSeleccionados += cell;
    }
    return result;
}

}  // namespace ttp
