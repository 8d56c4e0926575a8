#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_interaction.h"
#include "cli/commands.h"
#include "core/run_state.h"
#include "export/export_run.h"
#include "export/frame_selection.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"
#include "formats/text.h"
#include "formats/xml_document.h"

namespace ttp::cli {
namespace {

// The dialog's lines and cells are 10 characters wide.
constexpr std::size_t kFrameCellWidth = 10;

// The ids of --marcos, each as the dialog's list shows a line: Windows-1252, padded or cut
// to 10 characters. An empty value names no frame.
std::vector<std::string> frameCells(std::string_view value) {
    std::vector<std::string> cells;
    if (value.empty()) return cells;
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = value.find(',', from);
        std::string cell = text::toAnsi(value.substr(from, comma - from));
        cell.resize(kFrameCellWidth, ' ');
        cells.push_back(std::move(cell));
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    return cells;
}

std::string cellOf(const std::string& line) {
    std::string cell = line;
    cell.resize(kFrameCellWidth, ' ');
    return cell;
}

std::string listOfFrames(const std::vector<std::string>& lines) {
    std::string list;
    for (const auto& line : lines) {
        if (!list.empty()) list += ", ";
        list += "'" + text::toUtf8(line) + "'";
    }
    return list;
}

std::string withoutCarriageReturns(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

// Answers the frame dialog from --marcos, as a person would tick the lines in the dialog.
// Decided before the run starts, so that wrong usage leaves every table as it was. Nothing
// when the document offers no choice.
std::optional<FrameDialogResult> chooseFrames(const std::filesystem::path& file,
                                              const std::optional<std::string>& marcos,
                                              Interaction& ui) {
    const xml::Document document = xml::Document::load(file);
    if (document.select(exchange::kMarcos).size() < 2) {
        if (marcos) ui.notice("el documento no tiene varios marcos horarios; se ignora --marcos");
        return std::nullopt;
    }

    FrameSelection dialog;
    dialog.FormActivate(file);
    const std::vector<std::string>& lines = dialog.frameLines();
    if (!marcos) {
        throw UsageError{
            "el documento tiene varios marcos horarios; elija uno o dos con "
            "--marcos ID[,ID] entre: " +
            listOfFrames(lines)};
    }

    std::vector<bool> selected(lines.size(), false);
    for (const std::string& cell : frameCells(*marcos)) {
        bool found = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (cellOf(lines[i]) == cell) {
                selected[i] = true;
                found = true;
            }
        }
        if (!found) {
            throw UsageError{"el marco horario '" + text::toUtf8(text::trim(cell)) +
                             "' no está en el documento; marcos: " + listOfFrames(lines)};
        }
    }

    std::string message;
    FrameDialogResult result =
        dialog.FormClose(selected, [&message](std::string_view text) { message = text; });
    if (!result.SeleccionValida) throw UsageError{withoutCarriageReturns(message)};
    return result;
}

void printRowCounts(const std::filesystem::path& staging) {
    for (const auto* def : {&staging::asignomt(), &staging::proft(), &staging::aulat(),
                            &staging::diashorast(), &staging::grupost(), &staging::asigt()}) {
        const std::size_t rows = staging::open(staging, def->name).recordCount();
        std::printf("%.*s: %zu %s\n", static_cast<int>(def->name.size()), def->name.data(), rows,
                    rows == 1 ? "fila" : "filas");
    }
}

}  // namespace

int exportar(const std::vector<std::string>& args) {
    const Arguments parsed = parseArguments(args, {"--staging", "--marcos"});

    RunState state;
    state.staging = stagingFolder(parsed);
    const std::filesystem::path file = fullPath(parsed.file);

    CliInteraction ui(file);
    // A missing file is left to the run, which reports it as the window would.
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) {
        if (auto choice = chooseFrames(file, parsed.option("--marcos"), ui)) {
            ui.frameDialog = [answer = *choice](const std::filesystem::path&) { return answer; };
        }
    }

    ExportRun run(state, ui);
    run.BExportarClick();
    if (state.EstadoTransformacion != 1) return 1;  // "No existe archivo"
    printRowCounts(state.staging);
    std::fflush(stdout);
    return 0;
}

}  // namespace ttp::cli
