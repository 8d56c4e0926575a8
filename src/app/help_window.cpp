#include "app/help_window.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

#include "app/help_chm.h"
#include "app/help_viewer.h"
#include "core/error.h"

namespace ttp::app {

namespace {

// The error report of the program: its title, an error icon, the text with a full stop.
void showHelpError(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("TransTavolexPedanor"),
                    QString::fromUtf8(text.data(), qsizetype(text.size())) + QLatin1Char('.'),
                    QMessageBox::Ok, parent);
    box.exec();
}

// The help window already open on this file for the same window, or a new one. The viewer
// belongs to the window that asked, so that it stays usable above a modal dialog and goes
// when that window goes.
HelpViewer* helpViewer(QWidget* parent, const std::filesystem::path& file) {
    QWidget* owner = parent ? parent->window() : nullptr;
    if (owner) {
        for (auto* viewer : owner->findChildren<HelpViewer*>(Qt::FindDirectChildrenOnly)) {
            if (viewer->help().path() == file) return viewer;
        }
    }
    try {
        auto* viewer = new HelpViewer(std::make_shared<const ChmFile>(file), owner);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        return viewer;
    } catch (const Error& e) {
        showHelpError(parent, e.what());
        return nullptr;
    }
}

}  // namespace

std::filesystem::path HelpSystem::defaultHelpFile() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()) /
           "PEDANOR.chm";
}

void HelpSystem::showContents(QWidget* parent) {
    if (HelpViewer* viewer = helpViewer(parent, file_)) {
        viewer->showPage(viewer->help().defaultTopic());
        viewer->contentsTree()->setFocus();
    }
}

void HelpSystem::showContext(QWidget* parent, int context) {
    HelpViewer* viewer = helpViewer(parent, file_);
    if (!viewer) return;
    const auto topic = context >= 0
                           ? viewer->help().topicForContext(static_cast<std::uint32_t>(context))
                           : std::nullopt;
    if (!topic) {
        if (!viewer->isVisible()) viewer->deleteLater();
        showHelpError(parent, "El archivo de ayuda \"" + file_.string() +
                                  "\" no tiene ningún tema para el contexto " +
                                  std::to_string(context));
        return;
    }
    viewer->showPage(*topic);
}

}  // namespace ttp::app
