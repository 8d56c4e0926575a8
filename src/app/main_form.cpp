#include "app/main_form.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <exception>

#include "app/app_fonts.h"
#include "app/app_texts.h"
#include "app/button_glyphs.h"
#include "app/coloured_label.h"
#include "app/gradient_panel.h"
#include "app/ini_status.h"
#include "app/modal_dialogs.h"
#include "app/window_interaction.h"
#include "core/error.h"
#include "export/export_run.h"
#include "import/import_run.h"

namespace ttp::app {
namespace {

constexpr int kHelpContext = 3;

QPushButton* button(QWidget* parent, const char* name, const QIcon& glyph, const char* text,
                    QRect place) {
    auto* b = new QPushButton(glyph, QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(place);
    return b;
}

QString pathText(const std::filesystem::path& p) {
    return QFile::decodeName(QByteArray::fromStdString(p.string()));
}

}  // namespace

TMForm::TMForm(MFormSetup setup, ModalDialogs& dialogs)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      setup_(std::move(setup)),
      dialogs_(dialogs),
      help_(setup_.programDir / "PEDANOR.chm"),
      ui_(std::make_unique<WindowInteraction>(*this, dialogs)) {
    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(QString::fromUtf8(kCaptionMForm));
    setFont(sansSerifFont(11));
    setFixedSize(632, 266);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    Draw3D1 = new GradientPanel(this, QColor(194, 205, 254), QColor(207, 242, 254),
                                QColor(204, 216, 230));
    Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
    Draw3D1->setGeometry(0, 168, 633, 97);

    Draw3D2 = new GradientPanel(this, QColor(249, 211, 125), Qt::white, QColor(255, 238, 221));
    Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
    Draw3D2->setGeometry(1, 0, 315, 169);

    BExportar = button(Draw3D2, "BExportar", okGlyph(), "Aceptar", {96, 120, 89, 25});
    BClose = button(Draw3D1, "BClose", closeGlyph(), "&Salir", {256, 32, 89, 25});
    Label3 = colouredLabel(Draw3D2, "Label3", "Transformar datos desde Pedanor hacia Tavolex ",
                           {24, 24, 265, 57}, arialFont(16), Qt::black, true);

    Draw3D3 = new GradientPanel(this, QColor(249, 211, 125), Qt::white, QColor(255, 238, 221));
    Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
    Draw3D3->setGeometry(316, 0, 317, 169);

    Label4 = colouredLabel(Draw3D3, "Label4", "Transformar datos desde Tavolex hacia Pedanor",
                           {8, 24, 305, 57}, arialFont(16), Qt::black, true);
    BImportar = button(Draw3D3, "BImportar", okGlyph(), "Aceptar", {96, 120, 89, 25});

    OpenDialogXML =
        new QFileDialog(this, QStringLiteral("Archivo XML"), pathText(setup_.staging / "Pedanor"),
                        QStringLiteral("*.xml (*.xml)"));
    OpenDialogXML->setObjectName(QStringLiteral("OpenDialogXML"));
    OpenDialogXML->setAcceptMode(QFileDialog::AcceptOpen);
    // The chosen file need not exist: a missing one is the run's to report.
    OpenDialogXML->setFileMode(QFileDialog::AnyFile);
    OpenDialogXML->setDefaultSuffix(QStringLiteral("xml"));

    Label1 = colouredLabel(Draw3D1, "Label1", "TransTavolexPedanor para TX15 V-1.0",
                           {8, 72, 252, 13}, sansSerifFont(11, true), Qt::red, false);
    Button1 = button(Draw3D1, "Button1", QIcon(), "F1 Ayuda", {512, 56, 75, 25});

    connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
    connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
    connect(BClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { showHelpContext(this); });

    state_.staging = setup_.staging;
    FormCreate();
}

TMForm::~TMForm() = default;

void TMForm::FormCreate() {
    // The code lists start empty with the run state itself.
    state_.EstadoTransformacion = 0;
    start_ = readParameters(setup_.parameters);
    if (!start_.twoParameters) return;
    if (!start_.handle) {
        // The window stays an ordinary one, and the named direction still starts when shown.
        dialogs_.showError(this, QString::fromStdString(start_.handleError));
        return;
    }
    embedded_ = embedInto(*this, *start_.handle);
    state_.NumParametros = 2;
    placeWindow();
}

void TMForm::setVisible(bool visible) {
    const bool showing = visible && isHidden() && !closed_;
    if (showing) {
        FormShow();
        // The run may have closed the window before it was ever seen.
        if (closed_) return;
        placeWindow();
    }
    QWidget::setVisible(visible);
    if (showing) dialogs_.windowShown(*this);
}

void TMForm::FormShow() {
    // The parameter count decides, not NumParametros: a bad handle still starts the run.
    if (!start_.twoParameters) return;
    if (start_.direction == "importar") BImportarClick();
    if (closed_) return;
    if (start_.direction == "exportar") BExportarClick();
}

void TMForm::placeWindow() {
    QSize area;
    if (embedded_) {
        area = hostClientSize(*start_.handle);
        // The host's size is in the display's pixels, ours in scaled ones.
        area /= devicePixelRatioF();
    } else if (QScreen* s = screen()) {
        area = s->geometry().size();
    }
    if (area.isEmpty()) return;
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
}

void TMForm::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    event->accept();
    // Embedded, the window has a parent and does not count as the application's last window.
    emit formClosed();
}

void TMForm::FormClose() {
    if (state_.NumParametros != 2) return;
    try {
        ini::writeStatus(setup_.programDir, state_.EstadoTransformacion);
    } catch (const std::exception& e) {
        // The host then finds no fresh status; the program ends all the same.
        dialogs_.showError(this, QString::fromUtf8(e.what()));
    }
}

void TMForm::runGuarded(const std::function<void()>& run) {
    QString failure;
    try {
        run();
        return;
    } catch (const Error& e) {
        failure = QString::fromUtf8(e.what());
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    // The run is abandoned: the person gets the normal cursor back with the report.
    ui_->setBusy(false);
    dialogs_.showError(this, failure);
}

void TMForm::BExportarClick() {
    runGuarded([this] { ExportRun(state_, *ui_).BExportarClick(); });
}

void TMForm::BImportarClick() {
    runGuarded([this] { ImportRun(state_, *ui_).BImportarClick(); });
}

void TMForm::Button1Click() {
    help_.showContents(this);
}

void TMForm::showHelpContext(QWidget* parent) {
    help_.showContext(parent, kHelpContext);
}

}  // namespace ttp::app
