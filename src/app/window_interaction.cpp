#include "app/window_interaction.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

#include "app/frame_dialog.h"
#include "app/main_form.h"
#include "app/modal_dialogs.h"

namespace ttp::app {

WindowInteraction::~WindowInteraction() {
    setBusy(false);
}

void WindowInteraction::showMessage(std::string_view text) {
    dialogs_.showMessage(&form_,
                         QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::optional<std::filesystem::path> WindowInteraction::chooseXmlFile() {
    QFileDialog& dialog = *form_.OpenDialogXML;
    const std::optional<QString> chosen = dialogs_.runFileDialog(dialog);
    if (!chosen) return std::nullopt;
    // Offered again by the next run.
    const QFileInfo info(*chosen);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    return std::filesystem::path(native.toStdString());
}

FrameDialogResult WindowInteraction::showFrameDialog(const std::filesystem::path& ficheroXml) {
    TPlantillas dialog(&form_, ficheroXml, dialogs_);
    QObject::connect(&dialog, &TPlantillas::helpRequested, &form_,
                     [this, &dialog] { form_.showHelpContext(&dialog); });
    dialogs_.runFrameDialog(dialog);
    if (dialog.failure()) std::rethrow_exception(dialog.failure());
    return dialog.result();
}

void WindowInteraction::setBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void WindowInteraction::disableDirectionButtons() {
    form_.BExportar->setEnabled(false);
    form_.BImportar->setEnabled(false);
}

void WindowInteraction::closeWindow() {
    form_.close();
}

}  // namespace ttp::app
