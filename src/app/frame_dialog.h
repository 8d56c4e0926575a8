#pragma once

#include <QDialog>
#include <exception>
#include <filesystem>

#include "core/interaction.h"
#include "export/frame_selection.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace ttp::app {

class GradientPanel;
class ModalDialogs;

// The dialog in which the person picks the one or two time frames of the export. It lists
// the frames of its own copy of the document, shows the Monday slots of the frame last
// clicked and, whenever it closes, checks the selection and builds the result.
class TPlantillas : public QDialog {
    Q_OBJECT
  public:
    TPlantillas(QWidget* owner, std::filesystem::path ficheroXml, ModalDialogs& dialogs);

    GradientPanel* Draw3D4;
    QLabel* LabelPlantillas;
    QLabel* LabelSelec;
    QLabel* LabelMarcos;
    QLabel* Label1;
    QListWidget* ListBox2;
    QListWidget* ListBox1;
    QLabel* LabelNombre;
    QLabel* LabelPlanFec1;
    QLabel* LabelPlanFec2;
    QComboBox* ComboBoxPlantilla;
    QPushButton* BitBtnContinuar;

    // What the dialog handed back when it closed (SeleccionValida, MarcosSeleccionados).
    const FrameDialogResult& result() const { return result_; }
    // The error met while loading the document; the dialog then closes at once.
    std::exception_ptr failure() const { return failure_; }

    void FormActivate();
    void ComboBoxPlantillaChange();
    void ListBox2Click();
    void BitBtnContinuarClick();

  signals:
    // F1 in the dialog: the help context 3.
    void helpRequested();

  protected:
    // Every way of closing (Continuar, the close box, Escape) passes here: FormClose.
    void done(int code) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void FormClose();

    std::filesystem::path ficheroXml_;
    ModalDialogs& dialogs_;
    FrameSelection selection_;
    FrameDialogResult result_;
    std::exception_ptr failure_;
    bool activated_ = false;
    bool deactivated_ = false;
    bool closed_ = false;
};

}  // namespace ttp::app
