#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"

namespace ttp::cli {

// The command-line tool's side of a run: the file comes from the arguments, messages go to
// standard output, notices to standard error, and the frame choice to a callback set by the
// command (none: the run needs no choice).
class CliInteraction : public Interaction {
  public:
    explicit CliInteraction(std::filesystem::path file) : file_(std::move(file)) {}

    void showMessage(std::string_view text) override;
    std::optional<std::filesystem::path> chooseXmlFile() override { return file_; }
    FrameDialogResult showFrameDialog(const std::filesystem::path& ficheroXml) override;
    void setBusy(bool) override {}
    void disableDirectionButtons() override {}
    void closeWindow() override {}
    void notice(std::string_view text) override;

    std::function<FrameDialogResult(const std::filesystem::path&)> frameDialog;

    // The messages shown so far, in order.
    const std::vector<std::string>& messages() const { return messages_; }

  private:
    std::filesystem::path file_;
    std::vector<std::string> messages_;
};

}  // namespace ttp::cli
