#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/help_window.h"
#include "app/hosted_mode.h"
#include "core/run_state.h"

class QFileDialog;
class QLabel;
class QPushButton;

namespace ttp::app {

class GradientPanel;
class ModalDialogs;
class WindowInteraction;

// What the window is created with.
struct MFormSetup {
    // The program's parameters, without the program path.
    std::vector<std::string> parameters;
    // The folder of the program: "Tavolex.ini" and "PEDANOR.chm" live there.
    std::filesystem::path programDir;
    // The staging directory of the runs.
    std::filesystem::path staging;
};

// The main window: one button per direction of the exchange, a close button and a help
// button. Standalone it waits for the person; hosted it is embedded into the timetabler's
// window, runs the named direction as it is first shown and closes itself when done, leaving
// the outcome in "Tavolex.ini".
class TMForm : public QWidget {
    Q_OBJECT
  public:
    // `dialogs` must outlive the window.
    TMForm(MFormSetup setup, ModalDialogs& dialogs);
    ~TMForm() override;

    GradientPanel* Draw3D1;
    GradientPanel* Draw3D2;
    QPushButton* BExportar;
    QPushButton* BClose;
    QLabel* Label3;
    GradientPanel* Draw3D3;
    QLabel* Label4;
    QPushButton* BImportar;
    QFileDialog* OpenDialogXML;
    QLabel* Label1;
    QPushButton* Button1;

    const RunState& state() const { return state_; }
    // Whether the window has been embedded into a host window.
    bool embedded() const { return embedded_; }
    // Whether the window has closed (by a run or by the person).
    bool hasClosed() const { return closed_; }

    void BExportarClick();
    void BImportarClick();
    void Button1Click();
    // Help context 3 (F1) over `parent`.
    void showHelpContext(QWidget* parent);

    void setVisible(bool visible) override;

  signals:
    // The window has closed: the program ends.
    void formClosed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void placeWindow();
    // Runs one direction; an error ends it with the error report.
    void runGuarded(const std::function<void()>& run);

    MFormSetup setup_;
    ModalDialogs& dialogs_;
    HostedStart start_;
    RunState state_;
    HelpSystem help_;
    std::unique_ptr<WindowInteraction> ui_;
    bool embedded_ = false;
    bool closed_ = false;
};

}  // namespace ttp::app
