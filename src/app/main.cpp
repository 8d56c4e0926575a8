#include <QApplication>
#include <QDir>
#include <QFile>
#include <memory>

#include "app/answer_script.h"
#include "app/hosted_mode.h"
#include "app/main_form.h"
#include "formats/staging_tables.h"

int main(int argc, char** argv) {
    // Taken before Qt removes the options it knows (-display, -platform, ...) from argv: the
    // host's two parameters are counted as given.
    std::vector<std::string> parameters = ttp::app::programParameters(argc, argv);

    QApplication app(argc, argv);

    ttp::app::ModalDialogs dialogs;
    std::unique_ptr<ttp::app::AnswerScript> answers = ttp::app::AnswerScript::fromEnvironment();

    ttp::app::MFormSetup setup;
    setup.parameters = std::move(parameters);
    setup.programDir = std::filesystem::path(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    setup.staging = ttp::staging::defaultDirectory();

    ttp::app::TMForm form(std::move(setup), answers ? *answers : dialogs);
    QObject::connect(&form, &ttp::app::TMForm::formClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Hosted, showing runs the named direction first; the run may close the window for good.
    form.show();
    if (form.hasClosed()) return 0;
    return QApplication::exec();
}
