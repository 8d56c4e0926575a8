#include "cli/cli_interaction.h"

#include <cstdio>
#include <string>

#include "core/error.h"

namespace ttp::cli {

void CliInteraction::showMessage(std::string_view text) {
    messages_.emplace_back(text);
    std::string line(text);
    // Messages written for a message box break lines with CR LF.
    std::string out;
    for (char c : line) {
        if (c != '\r') out += c;
    }
    std::printf("%s\n", out.c_str());
    std::fflush(stdout);
}

FrameDialogResult CliInteraction::showFrameDialog(const std::filesystem::path& ficheroXml) {
    if (!frameDialog) throw Error("No se puede elegir marcos horarios desde esta orden");
    return frameDialog(ficheroXml);
}

void CliInteraction::notice(std::string_view text) {
    std::fprintf(stderr, "aviso: %.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace ttp::cli
