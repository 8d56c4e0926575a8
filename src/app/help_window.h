#pragma once

#include <filesystem>

class QWidget;

namespace ttp::app {

// The program's help: "PEDANOR.chm" in the program's folder, shown in a help window of our own
// that reads the compiled file. A missing or unreadable help file gives a message box naming
// where it was looked for.
class HelpSystem {
  public:
    explicit HelpSystem(std::filesystem::path helpFile) : file_(std::move(helpFile)) {}

    // The help file beside the running program.
    static std::filesystem::path defaultHelpFile();

    const std::filesystem::path& helpFile() const { return file_; }

    // The table of contents (the help button).
    void showContents(QWidget* parent);
    // The topic mapped to a help context (F1 gives context 3).
    void showContext(QWidget* parent, int context);

  private:
    std::filesystem::path file_;
};

}  // namespace ttp::app
