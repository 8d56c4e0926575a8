#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

// The two kinds of message box of the program, both captioned with the application title.
namespace ttp::app {

// A plain message: the text, one button "Aceptar", no icon.
std::unique_ptr<QMessageBox> plainMessageBox(QWidget* parent, const QString& text);

// The error report: an error icon, the error's text with a full stop added, one OK button.
std::unique_ptr<QMessageBox> errorReportBox(QWidget* parent, const QString& errorText);

// The error's text as the report shows it: a full stop added unless it already ends with one.
QString errorReportText(const QString& errorText);

}  // namespace ttp::app
