#include "app/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/app_texts.h"

namespace ttp::app {

std::unique_ptr<QMessageBox> plainMessageBox(QWidget* parent, const QString& text) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setObjectName("MensajeBox");
    box->setWindowTitle(QString::fromUtf8(kTitulo));
    box->setIcon(QMessageBox::NoIcon);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    QPushButton* aceptar = box->addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    box->setDefaultButton(aceptar);
    box->setEscapeButton(aceptar);
    return box;
}

QString errorReportText(const QString& errorText) {
    // Messages of our own carry no full stop at their end; one quoted from elsewhere might.
    if (errorText.endsWith(QLatin1Char('.'))) return errorText;
    return errorText + QLatin1Char('.');
}

std::unique_ptr<QMessageBox> errorReportBox(QWidget* parent, const QString& errorText) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setObjectName("ErrorBox");
    box->setWindowTitle(QString::fromUtf8(kTitulo));
    box->setIcon(QMessageBox::Critical);
    box->setTextFormat(Qt::PlainText);
    box->setText(errorReportText(errorText));
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    return box;
}

}  // namespace ttp::app
