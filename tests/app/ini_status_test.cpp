#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/ini_status.h"
#include "core/error.h"
#include "support/files.h"

using ttp::app::ini::withProfileString;
using ttp::test::readBytes;

class IniStatusTest : public QObject {
    Q_OBJECT
  private slots:
    void setsKey_data();
    void setsKey();
    void writesStatusFileBesideProgram();
    void keepsOtherSectionsOfExistingFile();
    void failureNamesFileAndKeepsIt();
};

void IniStatusTest::setsKey_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("empty file") << QByteArray("")
                                << QByteArray("[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("other section, no final line end")
        << QByteArray("[Otra]\r\nclave=x")
        << QByteArray("[Otra]\r\nclave=x\r\n[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("key replaced in place, other lines byte for byte")
        << QByteArray(
               "; comentario\r\n[Transformadores]\r\nAntes = a \r\nTransformado=-1\r\n"
               "Despues=b\r\n\r\n[Otra]\r\nTransformado=7\r\n")
        << QByteArray(
               "; comentario\r\n[Transformadores]\r\nAntes = a \r\nTransformado=1\r\n"
               "Despues=b\r\n\r\n[Otra]\r\nTransformado=7\r\n");
    QTest::newRow("section and key matched without regard to case or blanks")
        << QByteArray("[ TRANSFORMADORES ]\ntransformado = 0\n")
        << QByteArray("[ TRANSFORMADORES ]\nTransformado=1\n");
    QTest::newRow("missing key goes after the section's last entry, before blank lines")
        << QByteArray("[Transformadores]\nOtro=3\n\n[Siguiente]\nTransformado=9\n")
        << QByteArray("[Transformadores]\nOtro=3\nTransformado=1\n\n[Siguiente]\nTransformado=9\n");
    QTest::newRow("key of another section is not taken")
        << QByteArray("[Otra]\r\nTransformado=5\r\n")
        << QByteArray("[Otra]\r\nTransformado=5\r\n[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("a comment naming the key is not the key")
        << QByteArray("[Transformadores]\r\n;Transformado=0\r\n")
        << QByteArray("[Transformadores]\r\n;Transformado=0\r\nTransformado=1\r\n");
    QTest::newRow("byte order mark before the section")
        << QByteArray("\xEF\xBB\xBF[Transformadores]\r\nTransformado=0\r\n")
        << QByteArray("\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n");
    QTest::newRow("only the first of two equal sections")
        << QByteArray("[Transformadores]\nTransformado=0\n[transformadores]\nTransformado=0\n")
        << QByteArray("[Transformadores]\nTransformado=1\n[transformadores]\nTransformado=0\n");
}

void IniStatusTest::setsKey() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const std::string result =
        withProfileString(before.toStdString(), "Transformadores", "Transformado", "1");
    QCOMPARE(QByteArray::fromStdString(result), after);
}

void IniStatusTest::writesStatusFileBesideProgram() {
    ttp::test::TempDir dir;
    ttp::app::ini::writeStatus(dir.path(), -1);
    QCOMPARE(readBytes(dir / "Tavolex.ini"),
             std::string("[Transformadores]\r\nTransformado=-1\r\n"));
    ttp::app::ini::writeStatus(dir.path(), 0);
    QCOMPARE(readBytes(dir / "Tavolex.ini"),
             std::string("[Transformadores]\r\nTransformado=0\r\n"));
    // Nothing else is left in the folder.
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()),
                           std::filesystem::directory_iterator()),
             1);
}

void IniStatusTest::keepsOtherSectionsOfExistingFile() {
    ttp::test::TempDir dir;
    const std::string before =
        "[Tavolex]\r\nRuta=C:\\TX15\r\n\r\n[Transformadores]\r\n"
        "Transformado=0\r\nOtro=x\r\n";
    ttp::test::writeFile(dir / "Tavolex.ini", before);
    ttp::app::ini::writeStatus(dir.path(), 1);
    QCOMPARE(readBytes(dir / "Tavolex.ini"),
             std::string("[Tavolex]\r\nRuta=C:\\TX15\r\n\r\n[Transformadores]\r\n"
                         "Transformado=1\r\nOtro=x\r\n"));
}

void IniStatusTest::failureNamesFileAndKeepsIt() {
    ttp::test::TempDir dir;
    // A folder where the file should be: it can be neither read nor replaced.
    std::filesystem::create_directory(dir / "Tavolex.ini");
    try {
        ttp::app::ini::writeStatus(dir.path(), 1);
        QFAIL("no error");
    } catch (const ttp::Error& e) {
        QCOMPARE(std::string(e.what()), "Unable to write to " + (dir / "Tavolex.ini").string());
    }
    QVERIFY(std::filesystem::is_directory(dir / "Tavolex.ini"));

    // A folder that does not exist.
    const auto missing = dir / "no-existe";
    QVERIFY_THROWS_EXCEPTION(ttp::Error, ttp::app::ini::writeStatus(missing, 1));
    QVERIFY(!std::filesystem::exists(missing));
}

QTEST_GUILESS_MAIN(IniStatusTest)
#include "ini_status_test.moc"
