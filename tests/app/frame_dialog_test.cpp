#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "app/frame_dialog.h"
#include "app/gradient_panel.h"
#include "recording_dialogs.h"
#include "support/export_fixture.h"

using ttp::app::TPlantillas;
using ttp::test::RecordingDialogs;
namespace fs = std::filesystem;

namespace {

std::string tramo(const std::string& frame, const std::string& dia, const std::string& indice,
                  const std::string& tipo = "T") {
    return "<tramo><submarco>" + frame + "</submarco><dia>" + dia + "</dia><indice>" + indice +
           "</indice><horaEntrada>08:30</horaEntrada><horaSalida>09:25</horaSalida><Tipo>" + tipo +
           "</Tipo></tramo>";
}

// Three frames; the third has an id longer than ten characters and a non-ASCII letter.
std::string threeFrames() {
    const std::string third = "Tarde-Invierno ñ";
    return ttp::test::datosRVT(
        "<marcosDeHorario>"
        "<marcoHorario id=\"M1\">" +
        tramo("M1", "0", "1") + tramo("M1", "0", "2") + tramo("M1", "1", "1") +
        tramo("M1", " 0", "3") + tramo("M1", "00", "4") +
        "</marcoHorario>"
        "<marcoHorario id=\"M2\">" +
        tramo("M2", "0", "1", "Recreo largo de media mañana") +
        "</marcoHorario>"
        "<marcoHorario id=\"" +
        third + "\">" + tramo(third, "0", "7") +
        "</marcoHorario>"
        "</marcosDeHorario>");
}

QStringList lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

void ctrlClick(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(row)).center());
}

void click(QListWidget* list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods,
                      list->visualItemRect(list->item(row)).center());
}

struct Fixture {
    ttp::test::TempDir dir;
    fs::path file = dir / "centro.xml";
    RecordingDialogs dialogs;
    QWidget owner;
    Fixture() { ttp::test::writeFile(file, threeFrames()); }
};

}  // namespace

class FrameDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void layout();
    void activationListsFramesAndFirstMondaySlots();
    void clickedFrameShowsItsSlots();
    void nothingSelected_data();
    void nothingSelected();
    void threeSelected();
    void twoSelectedInListOrder();
    void shiftClickSelectsRange();
    void unreadableDocumentClosesWithError();
};

void FrameDialogTest::layout() {
    Fixture f;
    TPlantillas d(&f.owner, f.file, f.dialogs);
    QCOMPARE(d.windowTitle(), QString("Planillas, Marcos o Jornadas Horarias"));
    QVERIFY(!(d.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(d.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(d.windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(d.Draw3D4->geometry(), QRect(0, 0, 369, 281));

    struct LabelCase {
        QLabel* label;
        QRect place;
        const char* text;
        int pixelSize;
        QColor colour;
        bool italic, underline, wrap;
    };
    const QColor maroon(128, 0, 0);
    const LabelCase labels[] = {
        {d.LabelPlantillas,
         {16, 2, 321, 33},
         "Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Tavolex.",
         13,
         Qt::black,
         false,
         false,
         true},
        {d.LabelSelec,
         {16, 36, 321, 50},
         "Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y seleccione cada "
         "marco con 1 click del botón izquierdo del ratón.",
         13,
         Qt::red,
         true,
         false,
         true},
        {d.LabelMarcos, {40, 86, 74, 16}, "MARCOS", 16, maroon, false, false, false},
        {d.Label1, {215, 86, 67, 18}, "HORAS", 16, maroon, false, false, false},
        {d.LabelNombre, {9, 151, 120, 41}, "-", 16, maroon, false, true, false},
        {d.LabelPlanFec1, {9, 196, 120, 23}, "-", 16, maroon, false, false, false},
        {d.LabelPlanFec2, {9, 226, 120, 23}, "-", 16, maroon, false, false, false},
    };
    for (const LabelCase& c : labels) {
        QCOMPARE(c.label->parentWidget(), d.Draw3D4);
        QCOMPARE(c.label->geometry(), c.place);
        QCOMPARE(c.label->text(), QString::fromUtf8(c.text));
        QCOMPARE(c.label->font().pixelSize(), c.pixelSize);
        QCOMPARE(c.label->font().families().front(), QString("Arial"));
        QVERIFY(c.label->font().bold());
        QCOMPARE(c.label->font().italic(), c.italic);
        QCOMPARE(c.label->font().underline(), c.underline);
        QCOMPARE(c.label->palette().color(c.label->foregroundRole()), c.colour);
        QCOMPARE(c.label->wordWrap(), c.wrap);
    }
    QCOMPARE(d.ListBox2->geometry(), QRect(16, 103, 127, 45));
    QCOMPARE(d.ListBox2->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(d.ListBox1->geometry(), QRect(152, 103, 193, 146));
    QCOMPARE(d.ComboBoxPlantilla->geometry(), QRect(150, 254, 81, 21));
    QVERIFY(d.ComboBoxPlantilla->isHidden());
    QCOMPARE(d.BitBtnContinuar->geometry(), QRect(255, 253, 89, 25));
    QCOMPARE(d.BitBtnContinuar->text(), QString("Continuar"));
    QVERIFY(d.BitBtnContinuar->font().bold());
    QVERIFY(d.BitBtnContinuar->isDefault());
    QVERIFY(!d.BitBtnContinuar->icon().isNull());
}

void FrameDialogTest::activationListsFramesAndFirstMondaySlots() {
    Fixture f;
    TPlantillas d(&f.owner, f.file, f.dialogs);
    QCOMPARE(d.ListBox2->count(), 0);  // nothing is read before the dialog shows
    d.show();
    QCOMPARE(lines(d.ListBox2), (QStringList{"M1", "M2", "Tarde-Invierno ñ"}));
    QCOMPARE(d.ComboBoxPlantilla->count(), 3);
    QCOMPARE(d.ComboBoxPlantilla->currentText(), QString("M1"));
    QVERIFY(d.ListBox2->selectedItems().isEmpty());
    // Only the day text "0" counts here: " 0" and "00" are not shown, nor Tuesday.
    QCOMPARE(lines(d.ListBox1), (QStringList{"1-08:30-09:25-T", "2-08:30-09:25-T"}));
    d.close();
}

void FrameDialogTest::clickedFrameShowsItsSlots() {
    Fixture f;
    TPlantillas d(&f.owner, f.file, f.dialogs);
    d.show();
    click(d.ListBox2, 1);
    QCOMPARE(d.ComboBoxPlantilla->currentIndex(), 1);
    // Cut to 30 characters.
    QCOMPARE(lines(d.ListBox1), QStringList{QString("1-08:30-09:25-Recreo largo de ")});
    QCOMPARE(d.ListBox1->item(0)->text().size(), 30);
    click(d.ListBox2, 2);
    QCOMPARE(lines(d.ListBox1), QStringList{"7-08:30-09:25-T"});
    QCOMPARE(d.ListBox2->selectedItems().size(), 1);
    // Ctrl-clicking the selected frame deselects it and still shows its slots.
    ctrlClick(d.ListBox2, 0);
    ctrlClick(d.ListBox2, 0);
    QVERIFY(!d.ListBox2->item(0)->isSelected());
    QCOMPARE(lines(d.ListBox1), (QStringList{"1-08:30-09:25-T", "2-08:30-09:25-T"}));
    d.close();
}

void FrameDialogTest::nothingSelected_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("Continuar") << 0;
    QTest::newRow("close box") << 1;
    QTest::newRow("Escape") << 2;
}

void FrameDialogTest::nothingSelected() {
    QFETCH(int, way);
    Fixture f;
    TPlantillas d(&f.owner, f.file, f.dialogs);
    d.show();
    if (way == 0) QTest::mouseClick(d.BitBtnContinuar, Qt::LeftButton);
    if (way == 1) d.close();
    if (way == 2) QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(d.isHidden());
    QCOMPARE(f.dialogs.texts(), QStringList{"Debe al menos seleccionar 1 Marco Horario."});
    QCOMPARE(f.dialogs.boxes.front().icon, QMessageBox::NoIcon);
    QCOMPARE(f.dialogs.boxes.front().buttons, QStringList{"Aceptar"});
    QVERIFY(!d.result().SeleccionValida);
    QVERIFY(d.result().MarcosSeleccionados.empty());
}

void FrameDialogTest::threeSelected() {
    Fixture f;
    TPlantillas d(&f.owner, f.file, f.dialogs);
    d.show();
    ctrlClick(d.ListBox2, 2);
    ctrlClick(d.ListBox2, 0);
    ctrlClick(d.ListBox2, 1);
    QTest::mouseClick(d.BitBtnContinuar, Qt::LeftButton);
    QCOMPARE(f.dialogs.texts(),
             QStringList{"Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede "
                         "seleccionar 2 Marcos Horarios"});
    QVERIFY(!d.result().SeleccionValida);
    // Built all the same, in list order.
    QCOMPARE(d.result().MarcosSeleccionados.size(), size_t(30));
}

void FrameDialogTest::twoSelectedInListOrder() {
    Fixture f;
    TPlantillas d(&f.owner, f.file, f.dialogs);
    d.show();
    ctrlClick(d.ListBox2, 2);
    ctrlClick(d.ListBox2, 0);
    QTest::keyClick(&d, Qt::Key_Return);  // Continuar is the default button
    QVERIFY(d.isHidden());
    QVERIFY(f.dialogs.boxes.empty());
    QVERIFY(d.result().SeleccionValida);
    // Padded and cut to 10 characters each, in the document's code page.
    QCOMPARE(d.result().MarcosSeleccionados, std::string("M1        Tarde-Invi"));
}

void FrameDialogTest::shiftClickSelectsRange() {
    Fixture f;
    TPlantillas d(&f.owner, f.file, f.dialogs);
    d.show();
    click(d.ListBox2, 0);
    click(d.ListBox2, 1, Qt::ShiftModifier);
    QTest::mouseClick(d.BitBtnContinuar, Qt::LeftButton);
    QVERIFY(d.result().SeleccionValida);
    QCOMPARE(d.result().MarcosSeleccionados, std::string("M1        M2        "));
}

void FrameDialogTest::unreadableDocumentClosesWithError() {
    Fixture f;
    TPlantillas d(&f.owner, f.dir / "no-existe.xml", f.dialogs);
    f.dialogs.runFrameDialog(d);  // returns: the dialog closes itself
    QVERIFY(d.failure() != nullptr);
    QVERIFY(f.dialogs.boxes.empty());
    QVERIFY(!d.result().SeleccionValida);
}

QTEST_MAIN(FrameDialogTest)
#include "frame_dialog_test.moc"
