#pragma once

#include <QString>
#include <deque>
#include <string>

#include "app/modal_dialogs.h"

namespace ttp::app {

// For automated tests of the whole program only: when the environment variable
// TTP_TEST_ANSWERS names a file, its lines answer the window's dialogs in order instead of a
// person:
//   archivo PATH    the file-open dialog confirms PATH
//   cancelar        the file-open dialog is cancelled
//   marcos 0 2      the frame dialog selects these lines (0 = first) and presses Continuar
//   exportar        once the window is shown, BExportar is pressed
//   importar        once the window is shown, BImportar is pressed
//   salir           once the window is shown, BClose is pressed
// The last three are taken when they stand first in the script after the window is shown or
// after the run of a button before has ended.
// Messages and error reports are acknowledged at once and written to standard error as
// "mensaje: TEXT" and "error: TEXT". A dialog with no fitting answer left ends the program
// with exit code 3, so that a test fails instead of waiting for a person.
class AnswerScript : public ModalDialogs {
  public:
    explicit AnswerScript(std::deque<std::string> answers) : answers_(std::move(answers)) {}

    // The answers of the file named by TTP_TEST_ANSWERS; nothing when it is not set.
    static std::unique_ptr<AnswerScript> fromEnvironment();

    void showMessage(QWidget* parent, const QString& text) override;
    void showError(QWidget* parent, const QString& errorText) override;
    std::optional<QString> runFileDialog(QFileDialog& dialog) override;
    void runFrameDialog(TPlantillas& dialog) override;
    void windowShown(TMForm& form) override;

  private:
    void act(TMForm& form);
    std::string next(const char* dialog);

    std::deque<std::string> answers_;
};

}  // namespace ttp::app
