#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <optional>
#include <vector>

#include "app/frame_dialog.h"
#include "app/modal_dialogs.h"

namespace ttp::test {

// One message box as the person saw it.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool busyCursor = false;  // the hour-glass was showing
};

// Stands in for the person at the window's dialogs. Message boxes and the frame dialog are the
// real ones, run modally and answered from inside their own event loop; the file-open dialog
// is answered from `files` (nothing left: cancelled).
class RecordingDialogs : public app::ModalDialogs {
  public:
    std::deque<std::optional<QString>> files;
    // Lines to Ctrl-click in each frame dialog, in this order, before pressing Continuar.
    std::deque<std::vector<int>> frameClicks;

    std::vector<ShownBox> boxes;
    std::vector<QString> fileDialogDirectories;
    int frameDialogs = 0;

    void showMessage(QWidget* parent, const QString& text) override {
        answerNextBox();
        app::ModalDialogs::showMessage(parent, text);
    }
    void showError(QWidget* parent, const QString& errorText) override {
        answerNextBox();
        app::ModalDialogs::showError(parent, errorText);
    }
    std::optional<QString> runFileDialog(QFileDialog& dialog) override {
        fileDialogDirectories.push_back(dialog.directory().absolutePath());
        if (files.empty()) return std::nullopt;
        auto answer = files.front();
        files.pop_front();
        return answer;
    }
    void runFrameDialog(app::TPlantillas& dialog) override {
        ++frameDialogs;
        std::vector<int> clicks;
        if (!frameClicks.empty()) {
            clicks = frameClicks.front();
            frameClicks.pop_front();
        }
        QTimer::singleShot(0, &dialog, [&dialog, clicks] {
            QListWidget* list = dialog.ListBox2;
            for (int row : clicks) {
                const QRect place = list->visualItemRect(list->item(row));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  place.center());
            }
            QTest::mouseClick(dialog.BitBtnContinuar, Qt::LeftButton);
        });
        app::ModalDialogs::runFrameDialog(dialog);
    }

    QStringList texts() const {
        QStringList out;
        for (const auto& box : boxes) out << box.text;
        return out;
    }

  private:
    void answerNextBox() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) qFatal("a message box was expected in front");
            ShownBox shown;
            shown.title = box->windowTitle();
            shown.text = box->text();
            shown.icon = box->icon();
            for (QAbstractButton* b : box->buttons()) shown.buttons << b->text();
            shown.busyCursor = QApplication::overrideCursor() != nullptr;
            boxes.push_back(shown);
            box->buttons().front()->click();
        });
    }
};

}  // namespace ttp::test
