#include "app/frame_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

#include "app/app_fonts.h"
#include "app/app_texts.h"
#include "app/button_glyphs.h"
#include "app/coloured_label.h"
#include "app/gradient_panel.h"
#include "app/modal_dialogs.h"
#include "formats/text.h"

namespace ttp::app {
namespace {

const QColor kMaroon(128, 0, 0);
const QColor kSkyBlue(166, 202, 240);
// The inactive-caption-text colour of the classic Windows scheme.
const QColor kInactiveCaptionText(212, 208, 200);

QString display(const std::string& ansi) {
    return QString::fromStdString(text::toUtf8(ansi));
}

}  // namespace

TPlantillas::TPlantillas(QWidget* owner, std::filesystem::path ficheroXml, ModalDialogs& dialogs)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ficheroXml_(std::move(ficheroXml)),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("Plantillas"));
    setWindowTitle(QString::fromUtf8(kCaptionPlantillas));
    setFont(sansSerifFont(11));
    setFixedSize(369, 281);
    move(424, 285);

    Draw3D4 = new GradientPanel(this, kSkyBlue, Qt::white, kInactiveCaptionText);
    Draw3D4->setObjectName(QStringLiteral("Draw3D4"));
    Draw3D4->setGeometry(0, 0, 369, 281);

    LabelPlantillas = colouredLabel(Draw3D4, "LabelPlantillas",
                                    "Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su "
                                    "Horario en Tavolex.",
                                    {16, 2, 321, 33}, arialFont(13), Qt::black, true);
    QFont italic = arialFont(13);
    italic.setItalic(true);
    LabelSelec =
        colouredLabel(Draw3D4, "LabelSelec",
                      "Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y "
                      "seleccione cada marco con 1 click del botón izquierdo del ratón.",
                      {16, 36, 321, 50}, italic, Qt::red, true);
    LabelMarcos = colouredLabel(Draw3D4, "LabelMarcos", "MARCOS", {40, 86, 74, 16}, arialFont(16),
                                kMaroon, false);
    Label1 =
        colouredLabel(Draw3D4, "Label1", "HORAS", {215, 86, 67, 18}, arialFont(16), kMaroon, false);

    ListBox2 = new QListWidget(Draw3D4);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setGeometry(16, 103, 127, 45);
    ListBox2->setSelectionMode(QAbstractItemView::ExtendedSelection);

    ListBox1 = new QListWidget(Draw3D4);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(152, 103, 193, 146);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

    QFont underlined = arialFont(16);
    underlined.setUnderline(true);
    LabelNombre =
        colouredLabel(Draw3D4, "LabelNombre", "-", {9, 151, 120, 41}, underlined, kMaroon, false);
    LabelPlanFec1 = colouredLabel(Draw3D4, "LabelPlanFec1", "-", {9, 196, 120, 23}, arialFont(16),
                                  kMaroon, false);
    LabelPlanFec2 = colouredLabel(Draw3D4, "LabelPlanFec2", "-", {9, 226, 120, 23}, arialFont(16),
                                  kMaroon, false);

    ComboBoxPlantilla = new QComboBox(Draw3D4);
    ComboBoxPlantilla->setObjectName(QStringLiteral("ComboBoxPlantilla"));
    ComboBoxPlantilla->setGeometry(150, 254, 81, 21);
    ComboBoxPlantilla->setVisible(false);

    BitBtnContinuar = new QPushButton(okGlyph(), QStringLiteral("Continuar"), Draw3D4);
    BitBtnContinuar->setObjectName(QStringLiteral("BitBtnContinuar"));
    BitBtnContinuar->setGeometry(255, 253, 89, 25);
    QFont bold = sansSerifFont(11, true);
    BitBtnContinuar->setFont(bold);
    BitBtnContinuar->setDefault(true);

    connect(BitBtnContinuar, &QPushButton::clicked, this, &TPlantillas::BitBtnContinuarClick);
    connect(ListBox2, &QListWidget::clicked, this, [this] { ListBox2Click(); });
    connect(ListBox2, &QListWidget::currentRowChanged, this, [this] { ListBox2Click(); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &TPlantillas::helpRequested);
}

void TPlantillas::FormActivate() {
    try {
        selection_.FormActivate(ficheroXml_);
    } catch (...) {
        // The run reports it once the dialog has gone; nothing could be chosen from it.
        failure_ = std::current_exception();
        QMetaObject::invokeMethod(
            this, [this] { done(QDialog::Rejected); }, Qt::QueuedConnection);
        return;
    }
    ComboBoxPlantilla->blockSignals(true);
    ComboBoxPlantilla->clear();
    ListBox2->blockSignals(true);
    ListBox2->clear();
    for (const std::string& line : selection_.frameLines()) {
        ComboBoxPlantilla->addItem(display(line));
        ListBox2->addItem(display(line));
    }
    ListBox2->setCurrentRow(-1);
    ListBox2->blockSignals(false);
    ComboBoxPlantilla->setCurrentIndex(0);
    ComboBoxPlantilla->blockSignals(false);
    ComboBoxPlantillaChange();
}

void TPlantillas::ComboBoxPlantillaChange() {
    const int index = ComboBoxPlantilla->currentIndex();
    ListBox1->clear();
    if (index < 0) return;
    for (const std::string& line : selection_.mondaySlotLines(static_cast<std::size_t>(index))) {
        ListBox1->addItem(display(line));
    }
}

void TPlantillas::ListBox2Click() {
    const int row = ListBox2->currentRow();
    if (row < 0 || row >= ComboBoxPlantilla->count()) return;
    ComboBoxPlantilla->setCurrentIndex(row);
    ComboBoxPlantillaChange();
}

void TPlantillas::BitBtnContinuarClick() {
    accept();
}

void TPlantillas::FormClose() {
    std::vector<bool> selected(static_cast<std::size_t>(ListBox2->count()));
    for (int i = 0; i < ListBox2->count(); ++i) {
        selected[static_cast<std::size_t>(i)] = ListBox2->item(i)->isSelected();
    }
    result_ = selection_.FormClose(selected, [this](std::string_view message) {
        dialogs_.showMessage(
            this, QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    });
}

void TPlantillas::done(int code) {
    if (!closed_) {
        closed_ = true;
        if (!failure_) FormClose();
    }
    QDialog::done(code);
}

void TPlantillas::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

bool TPlantillas::event(QEvent* event) {
    // Activation loads and lists afresh each time the dialog comes back to the front; its first
    // activation is the showing itself.
    if (event->type() == QEvent::WindowDeactivate) {
        deactivated_ = true;
    } else if (event->type() == QEvent::WindowActivate && deactivated_ && !closed_ && !failure_) {
        deactivated_ = false;
        FormActivate();
    }
    return QDialog::event(event);
}

}  // namespace ttp::app
