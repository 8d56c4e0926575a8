// The help window on the compiled help file, on the offscreen platform.

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>
#include <filesystem>

#include "app/help_chm.h"
#include "app/help_viewer.h"
#include "app/help_window.h"

using namespace ttp::app;

namespace {

const std::filesystem::path kHelpFile = TTP_HELP_FILE;

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The text and caption of the next modal message box, which is then closed.
struct SeenMessage {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

void answerNextMessage(SeenMessage& seen) {
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = {box->windowTitle(), box->text(), box->icon()};
        box->accept();
    });
}

// A browser that notes the size of every picture it hands to a page.
class RecordingBrowser : public ChmBrowser {
  public:
    using ChmBrowser::ChmBrowser;
    QList<QSize> pictures;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = ChmBrowser::loadResource(type, name);
        if (type == QTextDocument::ImageResource) pictures << resource.value<QImage>().size();
        return resource;
    }
};

QList<HelpViewer*> viewersOf(QWidget& owner) {
    return owner.findChildren<HelpViewer*>(Qt::FindDirectChildrenOnly);
}

QTreeWidgetItem* lineFor(QTreeWidget* tree, const QString& text) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0) == text) return *it;
    }
    return nullptr;
}

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void helpFileIsBesideTheProgram() {
        // The tests are built into the program's folder, where the build puts the help file.
        QCOMPARE(HelpSystem::defaultHelpFile().filename().string(), std::string("PEDANOR.chm"));
        QVERIFY(std::filesystem::exists(HelpSystem::defaultHelpFile()));
        QVERIFY(std::filesystem::equivalent(HelpSystem::defaultHelpFile(), kHelpFile));
    }

    void contentsButtonOpensTheContentsOnTheMainTopic() {
        QWidget window;
        HelpSystem help(kHelpFile);
        help.showContents(&window);
        QCOMPARE(viewersOf(window).size(), 1);
        HelpViewer* viewer = viewersOf(window).front();
        QVERIFY(viewer->isVisible());
        QVERIFY(viewer->isWindow());

        const ChmFile file(kHelpFile);
        QCOMPARE(viewer->browser()->source(), helpPageUrl(file.defaultTopic()));
        QCOMPARE(viewer->browser()->documentTitle(),
                 QStringLiteral("TransTavolexPedanor"));  // the main page's own <title>

        // The tree holds the contents, lines for lines, and marks the page shown.
        const auto contents = file.contents();
        QCOMPARE(viewer->contentsTree()->topLevelItemCount(), int(contents.size()));
        QCOMPARE(viewer->contentsTree()->topLevelItem(0)->text(0), utf8(contents[0].name));
        QCOMPARE(viewer->contentsTree()->topLevelItem(0)->childCount(),
                 int(contents[0].children.size()));
        QCOMPARE(viewer->contentsTree()->currentItem(), viewer->contentsTree()->topLevelItem(0));

        // The keyword index, in order, leads to its pages too.
        QTreeWidget* index = viewer->indexTree();
        QCOMPARE(index->topLevelItemCount(), int(file.index().size()));
        for (int i = 1; i < index->topLevelItemCount(); ++i) {
            QVERIFY(index->topLevelItem(i - 1)->text(0) <= index->topLevelItem(i)->text(0));
        }
        QTreeWidgetItem* ini = lineFor(index, QStringLiteral("Tavolex.ini"));
        QVERIFY(ini);
        index->setCurrentItem(ini);
        QCOMPARE(viewer->browser()->source(), helpPageUrl("/integrado.htm"));

        // A second press reuses the open window.
        help.showContents(&window);
        QCOMPARE(viewersOf(window).size(), 1);
    }

    void picturesAndStyleComeFromTheHelpFile() {
        QWidget window;
        HelpSystem(kHelpFile).showContents(&window);
        ChmBrowser* browser = viewersOf(window).front()->browser();
        const ChmFile file(kHelpFile);

        const QImage shown =
            browser->loadResource(QTextDocument::ImageResource, QUrl("flujo.png")).value<QImage>();
        const std::string bytes = *file.read("/flujo.png");
        const QImage stored =
            QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()));
        QVERIFY(!shown.isNull());
        QCOMPARE(shown, stored);

        const QString style =
            browser->loadResource(QTextDocument::StyleSheetResource, QUrl("estilo.css")).toString();
        QCOMPARE(style, utf8(*file.read("/estilo.css")));

        // Accented letters of the UTF-8 pages arrive intact.
        QVERIFY(browser->toPlainText().contains(QStringLiteral("gestión escolar")));
    }

    void linksAndContentsLinesMoveBetweenPages() {
        QWidget window;
        HelpSystem(kHelpFile).showContents(&window);
        HelpViewer* viewer = viewersOf(window).front();
        ChmBrowser* browser = viewer->browser();

        browser->setSource(browser->source().resolved(QUrl("exportar.htm")));
        QCOMPARE(browser->source(), helpPageUrl("/exportar.htm"));
        QCOMPARE(browser->documentTitle(), QStringLiteral("Cómo exportar de Pedanor a Tavolex"));
        QCOMPARE(viewer->contentsTree()->currentItem()->text(0), browser->documentTitle());
        QVERIFY(browser->isBackwardAvailable());

        // A link written for the Windows viewer stays inside the file.
        browser->setSource(QUrl("ms-its:PEDANOR.chm::/importar.htm"));
        QCOMPARE(browser->source(), helpPageUrl("/importar.htm"));

        QTreeWidgetItem* frames =
            lineFor(viewer->contentsTree(), QStringLiteral("Cómo elegir los marcos horarios"));
        QVERIFY(frames);
        viewer->contentsTree()->setCurrentItem(frames);
        QCOMPARE(browser->source(), helpPageUrl("/marcos.htm"));
        QVERIFY(browser->toPlainText().contains(
            QStringLiteral("Debe al menos seleccionar 1 Marco Horario.")));

        QTreeWidgetItem* errors = lineFor(viewer->contentsTree(), QStringLiteral("Errores"));
        QVERIFY(errors);
        viewer->contentsTree()->setCurrentItem(errors);
        QCOMPARE(browser->source(), helpPageUrl("/mensajes.htm#errores"));

        browser->backward();
        QCOMPARE(browser->source(), helpPageUrl("/marcos.htm"));
        QCOMPARE(viewer->contentsTree()->currentItem(), frames);
    }

    void aMissingPageSaysWhichOne() {
        QWidget window;
        HelpSystem(kHelpFile).showContents(&window);
        ChmBrowser* browser = viewersOf(window).front()->browser();
        browser->setSource(helpPageUrl("/no-existe.htm"));
        QVERIFY(browser->toPlainText().contains(
            QStringLiteral("no tiene la página \"/no-existe.htm\"")));
    }

    void f1OpensContextThreeOnTheMainTopic() {
        QWidget window;
        HelpSystem(kHelpFile).showContext(&window, 3);
        QCOMPARE(viewersOf(window).size(), 1);
        QCOMPARE(viewersOf(window).front()->browser()->source(),
                 helpPageUrl(*ChmFile(kHelpFile).topicForContext(3)));
    }

    void anUnmappedContextIsReported() {
        QWidget window;
        SeenMessage seen;
        answerNextMessage(seen);
        HelpSystem(kHelpFile).showContext(&window, 77);
        QCOMPARE(seen.caption, QStringLiteral("TransTavolexPedanor"));
        QVERIFY2(seen.text.contains(QStringLiteral("contexto 77")), qPrintable(seen.text));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY(viewersOf(window).isEmpty());
    }

    void aDamagedHelpFileIsReportedNotShown() {
        // The pages lie in the compressed part at the end of the file, so a file cut in
        // half opens but none of its pages can be read.
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const auto cut = std::filesystem::path(scratch.filePath("PEDANOR.chm").toStdString());
        std::filesystem::copy_file(kHelpFile, cut,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::resize_file(cut, std::filesystem::file_size(kHelpFile) / 2);
        for (bool contents : {true, false}) {
            QWidget window;
            SeenMessage seen;
            answerNextMessage(seen);
            HelpSystem help(cut);
            if (contents) {
                help.showContents(&window);
            } else {
                help.showContext(&window, 3);
            }
            QCOMPARE(seen.caption, QStringLiteral("TransTavolexPedanor"));
            QVERIFY2(seen.text.contains(QString::fromStdString(cut.string())),
                     qPrintable(seen.text));
            QVERIFY2(seen.text.contains(QStringLiteral("dañado")), qPrintable(seen.text));
            QVERIFY(viewersOf(window).isEmpty());
        }
    }

    void olderHelpFilesShowWithTheirPicturesAndLetters() {
        // Pages in a subfolder, in the Windows code page without a word about it.
        RecordingBrowser browser(std::make_shared<const ChmFile>(TTP_SAMPLE_HELP_FILE));
        browser.setSource(QUrl("temas/inicio.htm"));
        QCOMPARE(browser.source(), helpPageUrl("/temas/inicio.htm"));
        QCOMPARE(browser.documentTitle(), QStringLiteral("Página de prueba"));
        // Pictures are loaded when the page is laid out on screen.
        browser.resize(400, 300);
        browser.show();
        QCoreApplication::processEvents();
        QVERIFY2(browser.toPlainText().contains(QStringLiteral("Introducción €")),
                 qPrintable(browser.toPlainText()));
        QCOMPARE(browser.pictures, QList<QSize>{QSize(7, 5)});

        browser.setSource(browser.source().resolved(QUrl("../otro.htm")));
        QCOMPARE(browser.source(), helpPageUrl("/otro.htm"));
        QVERIFY(browser.toPlainText().contains(QStringLiteral("Cañón")));

        browser.backward();
        browser.setSource(QUrl("ms-its:muestra.chm::/temas/segundo.htm"));
        QCOMPARE(browser.source(), helpPageUrl("/temas/segundo.htm"));
        QVERIFY(browser.toPlainText().contains(QStringLiteral("Señal")));
    }

    void aMissingHelpFileNamesWhereItWasLookedFor() {
        const auto missing =
            std::filesystem::temp_directory_path() / "ttp-sin-ayuda" / "PEDANOR.chm";
        for (bool contents : {true, false}) {
            QWidget window;
            SeenMessage seen;
            answerNextMessage(seen);
            HelpSystem help(missing);
            if (contents) {
                help.showContents(&window);
            } else {
                help.showContext(&window, 3);
            }
            QCOMPARE(seen.caption, QStringLiteral("TransTavolexPedanor"));
            QCOMPARE(seen.icon, QMessageBox::Critical);
            QVERIFY2(seen.text.contains(QString::fromStdString(missing.string())),
                     qPrintable(seen.text));
            QVERIFY(seen.text.endsWith(QLatin1Char('.')));
            QVERIFY(viewersOf(window).isEmpty());
        }
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
