#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/gradient_panel.h"
#include "app/help_chm.h"
#include "app/help_viewer.h"
#include "app/main_form.h"
#include "app/message_boxes.h"
#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "import/import_fixture.h"
#include "recording_dialogs.h"
#include "support/export_fixture.h"

using ttp::app::GradientPanel;
using ttp::app::TMForm;
using ttp::test::RecordingDialogs;
namespace fs = std::filesystem;
using ttp::test::readBytes;

namespace {

const fs::path kSample = fs::path(TTP_SOURCE_DIR) / "samples" / "centro-ejemplo.xml";

QString q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// A program folder and a staging folder of its own for each window.
struct Setting {
    ttp::test::TempDir program;
    ttp::test::TempDir staging;
    RecordingDialogs dialogs;

    Setting() { fs::create_directory(staging / "Pedanor"); }

    std::unique_ptr<TMForm> window(std::vector<std::string> parameters = {}) {
        ttp::app::MFormSetup setup;
        setup.parameters = std::move(parameters);
        setup.programDir = program.path();
        setup.staging = staging.path();
        return std::make_unique<TMForm>(std::move(setup), dialogs);
    }

    // The sample school copied where the file dialog starts.
    fs::path school() {
        const fs::path file = staging / "Pedanor" / "centro.xml";
        fs::copy_file(kSample, file, fs::copy_options::overwrite_existing);
        return file;
    }

    fs::path ini() const { return program / "Tavolex.ini"; }
    std::string iniText() const { return readBytes(ini()); }
};

std::string status(const std::string& value) {
    return "[Transformadores]\r\nTransformado=" + value + "\r\n";
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void windowAndPanels();
    void labelsAndButtons();
    void openDialogSettings();
    void messageBoxes();
    void cancelledExportLeavesWindowUsable();
    void completedExportWithFrameChoice();
    void invalidFrameChoiceBringsNewDialog();
    void failedRunReportsErrorWithNormalCursor();
    void importThroughWindowAfterExport();
    void hostedCancelledRunWritesMinusOne();
    void hostedCompletedRunWritesOne();
    void hostedClosedByHandWritesZero();
    void badHandleReportedRunStillStarts();
    void failedStatusWriteStillCloses();
    void standaloneCloseWritesNothing();
    void helpButtonAndF1();
    void missingHelpFileIsReported();
};

void MainFormTest::windowAndPanels() {
    Setting s;
    auto w = s.window();
    QCOMPARE(w->objectName(), QString("MForm"));
    QCOMPARE(w->windowTitle(), QString("Exportar e importar datos entre Tavolex y Pedanor "));
    QCOMPARE(w->size(), QSize(632, 266));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    const Qt::WindowFlags flags = w->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(w->font().pixelSize(), 11);

    struct Panel {
        GradientPanel* panel;
        const char* name;
        QRect place;
        QColor start, middle, end;
    };
    const QColor face(249, 211, 125), faceEnd(255, 238, 221);
    const Panel panels[] = {
        {w->Draw3D1,
         "Draw3D1",
         {0, 168, 633, 97},
         {194, 205, 254},
         {207, 242, 254},
         {204, 216, 230}},
        {w->Draw3D2, "Draw3D2", {1, 0, 315, 169}, face, Qt::white, faceEnd},
        {w->Draw3D3, "Draw3D3", {316, 0, 317, 169}, face, Qt::white, faceEnd},
    };
    for (const Panel& p : panels) {
        QCOMPARE(p.panel->objectName(), QString(p.name));
        QCOMPARE(p.panel->parentWidget(), w.get());
        QCOMPARE(p.panel->geometry(), p.place);
        QCOMPARE(p.panel->startColor(), p.start);
        QCOMPARE(p.panel->middleColor(), p.middle);
        QCOMPARE(p.panel->endColor(), p.end);
    }

    // The gradient as drawn: start colour at the top, middle at half height, end at the bottom.
    const QImage image = w->Draw3D2->grab().toImage();
    const int x = 3;  // left of every control
    auto near = [](QRgb actual, QColor expected) {
        const QColor a(actual);
        return qAbs(a.red() - expected.red()) <= 3 && qAbs(a.green() - expected.green()) <= 3 &&
               qAbs(a.blue() - expected.blue()) <= 3;
    };
    QVERIFY(near(image.pixel(x, 0), QColor(249, 211, 125)));
    QVERIFY(near(image.pixel(x, 84), Qt::white));
    QVERIFY(near(image.pixel(x, 168), QColor(255, 238, 221)));
}

void MainFormTest::labelsAndButtons() {
    Setting s;
    auto w = s.window();
    struct LabelCase {
        QLabel* label;
        const char* name;
        QWidget* parent;
        QRect place;
        const char* text;
        int pixelSize;
        QColor colour;
        bool wrap;
        QString family;
    };
    const LabelCase labels[] = {
        {w->Label3,
         "Label3",
         w->Draw3D2,
         {24, 24, 265, 57},
         "Transformar datos desde Pedanor hacia Tavolex ",
         16,
         Qt::black,
         true,
         "Arial"},
        {w->Label4,
         "Label4",
         w->Draw3D3,
         {8, 24, 305, 57},
         "Transformar datos desde Tavolex hacia Pedanor",
         16,
         Qt::black,
         true,
         "Arial"},
        {w->Label1,
         "Label1",
         w->Draw3D1,
         {8, 72, 252, 13},
         "TransTavolexPedanor para TX15 V-1.0",
         11,
         Qt::red,
         false,
         "MS Sans Serif"},
    };
    for (const LabelCase& c : labels) {
        QCOMPARE(c.label->objectName(), QString(c.name));
        QCOMPARE(c.label->parentWidget(), c.parent);
        QCOMPARE(c.label->geometry(), c.place);
        QCOMPARE(c.label->text(), QString::fromUtf8(c.text));
        QCOMPARE(c.label->font().pixelSize(), c.pixelSize);
        QVERIFY(c.label->font().bold());
        QCOMPARE(c.label->font().families().front(), c.family);
        // A face with the same metrics follows on systems without the Windows one.
        QVERIFY(c.label->font().families().contains("Liberation Sans"));
        QCOMPARE(c.label->palette().color(c.label->foregroundRole()), c.colour);
        QCOMPARE(c.label->wordWrap(), c.wrap);
        QVERIFY(!c.label->autoFillBackground());
    }

    struct ButtonCase {
        QPushButton* button;
        const char* name;
        QWidget* parent;
        QRect place;
        const char* text;
        bool glyph;
    };
    const ButtonCase buttons[] = {
        {w->BExportar, "BExportar", w->Draw3D2, {96, 120, 89, 25}, "Aceptar", true},
        {w->BImportar, "BImportar", w->Draw3D3, {96, 120, 89, 25}, "Aceptar", true},
        {w->BClose, "BClose", w->Draw3D1, {256, 32, 89, 25}, "&Salir", true},
        {w->Button1, "Button1", w->Draw3D1, {512, 56, 75, 25}, "F1 Ayuda", false},
    };
    for (const ButtonCase& c : buttons) {
        QCOMPARE(c.button->objectName(), QString(c.name));
        QCOMPARE(c.button->parentWidget(), c.parent);
        QCOMPARE(c.button->geometry(), c.place);
        QCOMPARE(c.button->text(), QString(c.text));
        QCOMPARE(!c.button->icon().isNull(), c.glyph);
        QVERIFY(c.button->isEnabled());
    }
    QCOMPARE(w->BClose->shortcut(), QKeySequence("Alt+S"));
}

void MainFormTest::openDialogSettings() {
    Setting s;
    auto w = s.window();
    QFileDialog* d = w->OpenDialogXML;
    QCOMPARE(d->objectName(), QString("OpenDialogXML"));
    QCOMPARE(d->windowTitle(), QString("Archivo XML"));
    QCOMPARE(d->nameFilters(), QStringList{"*.xml (*.xml)"});
    QCOMPARE(d->defaultSuffix(), QString("xml"));
    QCOMPARE(d->fileMode(), QFileDialog::AnyFile);
    QCOMPARE(d->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(fs::path(d->directory().absolutePath().toStdString()),
             fs::canonical(s.staging / "Pedanor"));
}

void MainFormTest::messageBoxes() {
    auto plain = ttp::app::plainMessageBox(nullptr, "Proceso finalizado");
    QCOMPARE(plain->windowTitle(), QString("TransTavolexPedanor"));
    QCOMPARE(plain->text(), QString("Proceso finalizado"));
    QCOMPARE(plain->icon(), QMessageBox::NoIcon);
    QCOMPARE(plain->buttons().size(), 1);
    QCOMPARE(plain->buttons().front()->text(), QString("Aceptar"));

    auto error = ttp::app::errorReportBox(nullptr, "La tabla falta");
    QCOMPARE(error->windowTitle(), QString("TransTavolexPedanor"));
    QCOMPARE(error->text(), QString("La tabla falta."));
    QCOMPARE(error->icon(), QMessageBox::Critical);
    QCOMPARE(error->buttons().size(), 1);
    QCOMPARE(error->standardButton(error->buttons().front()), QMessageBox::Ok);

    // A text that already ends with a full stop gets no second one.
    QCOMPARE(ttp::app::errorReportText("No existe archivo XML."),
             QString("No existe archivo XML."));
}

void MainFormTest::cancelledExportLeavesWindowUsable() {
    Setting s;
    auto w = s.window();
    w->show();
    w->BExportar->click();
    QCOMPARE(s.dialogs.texts(), QStringList{"No existe archivo"});
    const auto& box = s.dialogs.boxes.front();
    QCOMPARE(box.title, QString("TransTavolexPedanor"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QStringList{"Aceptar"});
    QVERIFY(!box.busyCursor);
    QCOMPARE(fs::path(s.dialogs.fileDialogDirectories.front().toStdString()),
             fs::canonical(s.staging / "Pedanor"));
    QVERIFY(w->isVisible());
    QVERIFY(w->BExportar->isEnabled());
    QVERIFY(w->BImportar->isEnabled());
    QCOMPARE(w->state().EstadoTransformacion, 0);
    QVERIFY(!fs::exists(s.staging / "ASIGNOMT.DBF"));
}

void MainFormTest::completedExportWithFrameChoice() {
    Setting s;
    const fs::path school = s.school();
    auto w = s.window();
    w->show();
    s.dialogs.files.push_back(q(school));
    s.dialogs.frameClicks.push_back({1});
    w->BExportar->click();

    QCOMPARE(s.dialogs.texts(), QStringList{"Proceso finalizado"});
    QVERIFY(!s.dialogs.boxes.front().busyCursor);
    QCOMPARE(s.dialogs.frameDialogs, 1);
    QCOMPARE(w->state().EstadoTransformacion, 1);
    QCOMPARE(w->state().FicheroXML, school);
    QVERIFY(w->state().Marco1.starts_with("2"));
    QVERIFY(!w->BExportar->isEnabled());
    QVERIFY(!w->BImportar->isEnabled());
    QVERIFY(w->isVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    for (const char* table : {"ASIGNOMT", "PROFT", "AULAT", "DIASHORAST", "GRUPOST", "ASIGT"}) {
        QVERIFY2(fs::exists(ttp::staging::tableFile(s.staging.path(), table)), table);
    }
    // The dialog offers the confirmed file the next time.
    QCOMPARE(w->OpenDialogXML->selectedFiles().value(0), q(school));
    // Standalone, nothing is written for a host.
    w->close();
    QVERIFY(!fs::exists(s.ini()));
}

void MainFormTest::invalidFrameChoiceBringsNewDialog() {
    Setting s;
    const fs::path school = s.school();
    auto w = s.window();
    w->show();
    s.dialogs.files.push_back(q(school));
    // Nothing chosen in the first dialog; both frames, lower one first, in the second.
    s.dialogs.frameClicks = {{}, {1, 0}};
    w->BExportar->click();
    QCOMPARE(s.dialogs.frameDialogs, 2);
    QCOMPARE(s.dialogs.texts(),
             (QStringList{"Debe al menos seleccionar 1 Marco Horario.", "Proceso finalizado"}));
    // Both frames, the upper line first whatever the order of the clicks.
    QCOMPARE(w->state().Marco1.substr(0, 1), std::string("1"));
    QCOMPARE(w->state().Marco2.substr(0, 1), std::string("2"));
}

void MainFormTest::failedRunReportsErrorWithNormalCursor() {
    Setting s;
    const fs::path school = s.school();
    auto w = s.window();
    w->show();
    // The staging folder is gone: the first table cannot be made.
    fs::copy_file(school, s.program / "centro.xml");
    fs::remove_all(s.staging.path());
    s.dialogs.files.push_back(q(s.program / "centro.xml"));
    w->BExportar->click();

    QCOMPARE(s.dialogs.boxes.size(), size_t(1));
    const auto& box = s.dialogs.boxes.front();
    QCOMPARE(box.title, QString("TransTavolexPedanor"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.text.endsWith('.'), qPrintable(box.text));
    QVERIFY2(box.text.contains(q(s.staging.path())), qPrintable(box.text));
    QVERIFY(!box.busyCursor);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(w->state().EstadoTransformacion, 0);
    QVERIFY(w->BExportar->isEnabled());
    QVERIFY(w->BImportar->isEnabled());
    QVERIFY(w->isVisible());

    // Another run, with the dialog cancelled, goes on with the earlier file.
    fs::create_directories(s.staging / "Pedanor");
    s.dialogs.frameClicks.push_back({0});
    w->BExportar->click();
    QCOMPARE(s.dialogs.texts().back(), QString("Proceso finalizado"));
    QCOMPARE(w->state().FicheroXML, s.program / "centro.xml");
}

void MainFormTest::importThroughWindowAfterExport() {
    Setting s;
    const fs::path school = s.school();
    {
        auto exporter = s.window();
        exporter->show();
        s.dialogs.files.push_back(q(school));
        s.dialogs.frameClicks.push_back({0});
        exporter->BExportar->click();
        QCOMPARE(exporter->state().EstadoTransformacion, 1);
    }
    // The timetabler places the first session of the export on Monday, slot 2.
    const auto sessions = ttp::test::readRows(s.staging.path(), "ASIGT");
    const auto tramos = ttp::test::readRows(s.staging.path(), "DIASHORAST");
    QVERIFY(!sessions.empty() && !tramos.empty());
    const auto& first = sessions.front();
    ttp::test::writeTable(
        s.staging / "SOLUC.DBF", ttp::test::solucFields(),
        {ttp::test::soluc("1", "2", tramos.front().at("MARCO"), "", first.at("CASIG"),
                          first.at("CGRUP"), first.at("CPROF"))});

    s.dialogs.boxes.clear();
    auto w = s.window();
    w->show();
    s.dialogs.files.push_back(q(school));
    w->BImportar->click();
    QCOMPARE(s.dialogs.texts(),
             (QStringList{"Deberá Abrir el fichero XML de PEDANOR,\r\ndesde el cual realizó la "
                          "Importación a Tavolex",
                          "Proceso finalizado"}));
    QCOMPARE(w->state().EstadoTransformacion, 1);
    QVERIFY(!w->BExportar->isEnabled());
    QVERIFY(!w->BImportar->isEnabled());
    const std::string result = readBytes(s.staging / "Pedanor" / "ResultadoTavolexcentro.xml");
    const std::string expected = "<sesion>" + first.at("PD_SESION") + "</sesion>";
    QVERIFY2(result.find(expected) != std::string::npos, expected.c_str());
    QVERIFY(result.find("indice=\"2\"") != std::string::npos);
}

void MainFormTest::hostedCancelledRunWritesMinusOne() {
    Setting s;
    auto w = s.window({"EXPORTAR", "1A2B"});
    QCOMPARE(w->state().NumParametros, 2);
    QVERIFY(!w->embedded());  // the offscreen platform cannot embed, and says nothing
    QVERIFY(s.dialogs.boxes.empty());
    w->show();
    // The run came first, and closed the window before it was ever seen.
    QCOMPARE(s.dialogs.texts(), QStringList{"No existe archivo"});
    QVERIFY(w->hasClosed());
    QVERIFY(!w->isVisible());
    QCOMPARE(s.iniText(), status("-1"));
}

void MainFormTest::hostedCompletedRunWritesOne() {
    Setting s;
    const fs::path school = s.school();
    ttp::test::writeFile(s.ini(), "[Tavolex]\r\nVersion=15\r\n");
    s.dialogs.files.push_back(q(school));
    s.dialogs.frameClicks.push_back({0});
    auto w = s.window({"Exportar", "ffff"});
    w->show();
    QCOMPARE(s.dialogs.texts(), QStringList{"Proceso finalizado"});
    QVERIFY(w->hasClosed());
    QCOMPARE(s.iniText(), "[Tavolex]\r\nVersion=15\r\n" + status("1"));
}

void MainFormTest::hostedClosedByHandWritesZero() {
    Setting s;
    auto w = s.window({"export", "ffff"});
    w->show();
    // Neither direction: nothing starts by itself.
    QVERIFY(w->isVisible());
    QVERIFY(s.dialogs.boxes.empty());
    QVERIFY(s.dialogs.fileDialogDirectories.empty());
    QVERIFY(!fs::exists(s.ini()));
    QTest::mouseClick(w->BClose, Qt::LeftButton);
    QVERIFY(w->hasClosed());
    QCOMPARE(s.iniText(), status("0"));
}

void MainFormTest::badHandleReportedRunStillStarts() {
    Setting s;
    auto w = s.window({"exportar", "0x1A2B"});
    QCOMPARE(s.dialogs.texts(), QStringList{"'$0x1A2B' no es un valor entero válido."});
    QCOMPARE(s.dialogs.boxes.front().icon, QMessageBox::Critical);
    QCOMPARE(w->state().NumParametros, 0);
    QVERIFY(!(w->windowFlags() & Qt::FramelessWindowHint));
    w->show();
    // The export started all the same; the window stays open afterwards.
    QCOMPARE(s.dialogs.fileDialogDirectories.size(), size_t(1));
    QCOMPARE(s.dialogs.texts().back(), QString("No existe archivo"));
    QVERIFY(w->isVisible());
    QVERIFY(!w->hasClosed());
    w->close();
    QVERIFY(!fs::exists(s.ini()));
}

void MainFormTest::failedStatusWriteStillCloses() {
    Setting s;
    fs::create_directory(s.ini());  // the status file cannot be written
    auto w = s.window({"importar", "ffff"});
    w->show();
    QCOMPARE(s.dialogs.texts().size(), 3);
    QCOMPARE(s.dialogs.texts()[1], QString("No existe archivo XML."));
    QCOMPARE(s.dialogs.texts()[2], "Unable to write to " + q(s.ini()) + ".");
    QVERIFY(w->hasClosed());
}

void MainFormTest::standaloneCloseWritesNothing() {
    for (const std::vector<std::string>& parameters :
         {std::vector<std::string>{}, {"exportar"}, {"exportar", "ffff", "x"}}) {
        Setting s;
        auto w = s.window(parameters);
        w->show();
        QVERIFY(s.dialogs.fileDialogDirectories.empty());
        QVERIFY(s.dialogs.boxes.empty());
        w->BClose->click();
        QVERIFY(w->hasClosed());
        QVERIFY(!fs::exists(s.ini()));
    }
}

void MainFormTest::helpButtonAndF1() {
    Setting s;
    const fs::path built = fs::path(TTP_BINARY_DIR) / "bin" / "PEDANOR.chm";
    QVERIFY2(fs::exists(built), "the help file is built with the program");
    fs::copy_file(built, s.program / "PEDANOR.chm");
    auto w = s.window();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    QTest::mouseClick(w->Button1, Qt::LeftButton);
    auto viewers = w->findChildren<ttp::app::HelpViewer*>();
    QCOMPARE(viewers.size(), 1);
    const ttp::app::ChmFile& help = viewers.front()->help();
    QCOMPARE(help.path(), s.program / "PEDANOR.chm");
    QCOMPARE(viewers.front()->browser()->source(), ttp::app::helpPageUrl(help.defaultTopic()));

    // F1 anywhere in the window: the topic of help context 3.
    const auto topic = help.topicForContext(3);
    QVERIFY(topic.has_value());
    // Another page first, so that F1 has to bring the topic back.
    std::string other;
    for (const std::string& f : help.files()) {
        if (f.ends_with(".htm") && f != *topic) other = f;
    }
    QVERIFY(!other.empty());
    viewers.front()->showPage(other);
    QCOMPARE(viewers.front()->browser()->source().path(), ttp::app::helpPageUrl(other).path());
    w->activateWindow();
    QTest::keyClick(w->BExportar, Qt::Key_F1);
    QCOMPARE(w->findChildren<ttp::app::HelpViewer*>().size(), 1);
    QCOMPARE(viewers.front()->browser()->source().path(), ttp::app::helpPageUrl(*topic).path());
    QVERIFY(s.dialogs.boxes.empty());
}

void MainFormTest::missingHelpFileIsReported() {
    Setting s;
    auto w = s.window();
    w->show();
    // The help's own error report: answered like the window's.
    QString text;
    QTimer::singleShot(0, [&text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) qFatal("a message box was expected in front");
        text = box->text();
        box->buttons().front()->click();
    });
    w->Button1->click();
    QVERIFY2(text.contains(q(s.program / "PEDANOR.chm")), qPrintable(text));
    QVERIFY(w->findChildren<ttp::app::HelpViewer*>().isEmpty());
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
