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

// The help window already open on this file over the window that asks, if any. A viewer
// belongs to the window that asked, so that it stays usable above a modal dialog and goes
// when that window goes.
HelpViewer* openViewer(QWidget* parent, const std::filesystem::path& file) {
    if (QWidget* owner = parent ? parent->window() : nullptr) {
        for (auto* viewer : owner->findChildren<HelpViewer*>(Qt::FindDirectChildrenOnly)) {
            if (viewer->help().path() == file) return viewer;
        }
    }
    return nullptr;
}

// Shows the page that `pageOf` picks in the help window over `parent`, opening the file when
// no window has it open. Whatever keeps the help from showing is reported in a message box,
// and a window opened for it goes again.
template <class PageOf>
void showHelp(QWidget* parent, const std::filesystem::path& file, PageOf pageOf) {
    std::unique_ptr<HelpViewer> opened;
    try {
        HelpViewer* viewer = openViewer(parent, file);
        if (!viewer) {
            opened = std::make_unique<HelpViewer>(std::make_shared<const ChmFile>(file),
                                                  parent ? parent->window() : nullptr);
            opened->setAttribute(Qt::WA_DeleteOnClose);
            viewer = opened.get();
        }
        const std::string page = pageOf(viewer->help());
        viewer->showPage(page);
        opened.release();  // closing it deletes it; so does its owner
    } catch (const Error& e) {
        showHelpError(parent, e.what());
    }
}

}  // namespace

std::filesystem::path HelpSystem::defaultHelpFile() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()) /
           "PEDANOR.chm";
}

void HelpSystem::showContents(QWidget* parent) {
    showHelp(parent, file_, [](const ChmFile& help) { return help.defaultTopic(); });
    if (HelpViewer* viewer = openViewer(parent, file_)) viewer->contentsTree()->setFocus();
}

void HelpSystem::showContext(QWidget* parent, int context) {
    showHelp(parent, file_, [&](const ChmFile& help) {
        const auto topic =
            context >= 0 ? help.topicForContext(static_cast<std::uint32_t>(context)) : std::nullopt;
        if (!topic) {
            throw Error("El archivo de ayuda \"" + help.path().string() +
                        "\" no tiene ningún tema para el contexto " + std::to_string(context));
        }
        return *topic;
    });
}

}  // namespace ttp::app
