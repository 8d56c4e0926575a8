#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"

namespace ttp::test {

// An Interaction whose answers a test scripts in advance and whose every call it records.
class ScriptedInteraction : public Interaction {
  public:
    // Answers of the file-open dialog, one per call; nullopt is a cancel. When the queue is
    // empty the dialog is cancelled.
    std::deque<std::optional<std::filesystem::path>> files;
    // Answers of the frame dialog, one per dialog shown; when empty, a dialog gives an invalid
    // selection (the test would loop: it fails instead).
    std::deque<FrameDialogResult> frameAnswers;

    std::vector<std::string> messages;
    std::vector<std::string> notices;
    std::vector<std::filesystem::path> frameDialogsShown;
    std::vector<bool> busyCalls;
    int disableCalls = 0;
    int closeCalls = 0;
    bool busy = false;

    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    std::optional<std::filesystem::path> chooseXmlFile() override {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    FrameDialogResult showFrameDialog(const std::filesystem::path& ficheroXml) override {
        frameDialogsShown.push_back(ficheroXml);
        if (frameAnswers.empty()) throw std::runtime_error("unexpected frame dialog");
        auto r = frameAnswers.front();
        frameAnswers.pop_front();
        return r;
    }
    void setBusy(bool b) override {
        busy = b;
        busyCalls.push_back(b);
    }
    void disableDirectionButtons() override { ++disableCalls; }
    void closeWindow() override { ++closeCalls; }
    void notice(std::string_view text) override { notices.emplace_back(text); }
};

}  // namespace ttp::test
