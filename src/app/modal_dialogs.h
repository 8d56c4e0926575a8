#pragma once

#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace ttp::app {

class TMForm;
class TPlantillas;

// Every modal dialog the window shows goes through here, so that a test (or the answers
// script of the hosted-mode tests) can stand in for the person. The default shows them.
class ModalDialogs {
  public:
    virtual ~ModalDialogs() = default;

    // A plain message box; returns once acknowledged.
    virtual void showMessage(QWidget* parent, const QString& text);
    // The error report for an error's text (the full stop is added here).
    virtual void showError(QWidget* parent, const QString& errorText);
    // Runs the file-open dialog; the chosen file, or nothing when cancelled.
    virtual std::optional<QString> runFileDialog(QFileDialog& dialog);
    // Runs the frame selection dialog until it has closed.
    virtual void runFrameDialog(TPlantillas& dialog);
    // The main window has just been shown.
    virtual void windowShown(TMForm& /*form*/) {}
};

}  // namespace ttp::app
