#include <QTest>
#include <optional>
#include <string>
#include <vector>

#include "app/hosted_mode.h"

Q_DECLARE_METATYPE(std::optional<std::uint32_t>)

class HostedModeTest : public QObject {
    Q_OBJECT
  private slots:
    void hexHandle_data();
    void hexHandle();
    void parameterCount();
    void directionLowerCasedAsciiOnly();
    void badHandleNamesTheConvertedText();
    void emptyArgumentsAreNotParameters();
};

void HostedModeTest::hexHandle_data() {
    QTest::addColumn<QString>("digits");
    QTest::addColumn<std::optional<std::uint32_t>>("handle");
    using H = std::optional<std::uint32_t>;
    QTest::newRow("upper case") << "1A2B" << H(0x1A2B);
    QTest::newRow("lower case") << "ffff" << H(0xFFFF);
    QTest::newRow("eight digits") << "FFFFFFFF" << H(0xFFFFFFFF);
    QTest::newRow("leading zeros do not count") << "0000000012345678" << H(0x12345678);
    QTest::newRow("zero") << "0" << H(0);
    QTest::newRow("nine significant digits") << "100000000" << H();
    QTest::newRow("0x prefix") << "0x1A2B" << H();
    QTest::newRow("sign") << "-1" << H();
    QTest::newRow("plus sign") << "+1" << H();
    QTest::newRow("dollar already there") << "$1A" << H();
    QTest::newRow("blank inside") << "1A 2B" << H();
    QTest::newRow("blank in front") << " 1A" << H();
    QTest::newRow("not hexadecimal") << "12G" << H();
    QTest::newRow("empty") << "" << H();
}

void HostedModeTest::hexHandle() {
    QFETCH(QString, digits);
    QFETCH(std::optional<std::uint32_t>, handle);
    QCOMPARE(ttp::app::parseHexHandle(digits.toStdString()), handle);
}

void HostedModeTest::parameterCount() {
    using ttp::app::readParameters;
    QVERIFY(!readParameters({}).twoParameters);
    QVERIFY(!readParameters({"exportar"}).twoParameters);
    QVERIFY(!readParameters({"exportar", "1A2B", "x"}).twoParameters);
    QVERIFY(!readParameters({"exportar", "1A2B", "x"}).hosted());

    const auto start = readParameters({"EXPORTAR", "1A2B"});
    QVERIFY(start.twoParameters);
    QVERIFY(start.hosted());
    QCOMPARE(*start.handle, 0x1A2Bu);
    QCOMPARE(start.direction, std::string("exportar"));
    QVERIFY(start.handleError.empty());
}

void HostedModeTest::directionLowerCasedAsciiOnly() {
    using ttp::app::lowerAscii;
    QCOMPARE(lowerAscii("Importar"), std::string("importar"));
    // No trimming, and letters beyond ASCII keep their case.
    QCOMPARE(lowerAscii(" EXPORTAR"), std::string(" exportar"));
    QCOMPARE(lowerAscii("IMPORTAR\xC3\x91"), std::string("importar\xC3\x91"));
    QCOMPARE(ttp::app::readParameters({"Importar ", "ffff"}).direction, std::string("importar "));
}

void HostedModeTest::badHandleNamesTheConvertedText() {
    const auto start = ttp::app::readParameters({"exportar", "0x1A2B"});
    QVERIFY(start.twoParameters);
    QVERIFY(!start.hosted());
    QCOMPARE(start.direction, std::string("exportar"));
    QCOMPARE(start.handleError, std::string("'$0x1A2B' no es un valor entero válido"));
}

void HostedModeTest::emptyArgumentsAreNotParameters() {
    const char* argv[] = {"/opt/ttp/TransTavolexPedanor", "", "exportar", "", "1A2B", nullptr};
    const auto parameters = ttp::app::programParameters(5, argv);
    QCOMPARE(parameters, (std::vector<std::string>{"exportar", "1A2B"}));
}

QTEST_GUILESS_MAIN(HostedModeTest)
#include "hosted_mode_test.moc"
