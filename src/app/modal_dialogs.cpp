#include "app/modal_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/frame_dialog.h"
#include "app/message_boxes.h"

namespace ttp::app {

void ModalDialogs::showMessage(QWidget* parent, const QString& text) {
    plainMessageBox(parent, text)->exec();
}

void ModalDialogs::showError(QWidget* parent, const QString& errorText) {
    errorReportBox(parent, errorText)->exec();
}

std::optional<QString> ModalDialogs::runFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

void ModalDialogs::runFrameDialog(TPlantillas& dialog) {
    dialog.exec();
}

}  // namespace ttp::app
