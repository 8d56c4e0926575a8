#include "app/answer_script.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/frame_dialog.h"
#include "app/main_form.h"
#include "app/message_boxes.h"

namespace ttp::app {
namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "TTP_TEST_ANSWERS: %s\n", what.c_str());
    std::fflush(stderr);
    std::_Exit(3);
}

}  // namespace

std::unique_ptr<AnswerScript> AnswerScript::fromEnvironment() {
    const char* file = std::getenv("TTP_TEST_ANSWERS");
    if (file == nullptr || *file == '\0') return nullptr;
    std::ifstream in(file);
    if (!in) fail(std::string("cannot read ") + file);
    std::deque<std::string> answers;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) answers.push_back(line);
    }
    return std::make_unique<AnswerScript>(std::move(answers));
}

std::string AnswerScript::next(const char* dialog) {
    if (answers_.empty()) fail(std::string("no answer left for ") + dialog);
    std::string answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void AnswerScript::showMessage(QWidget* /*parent*/, const QString& text) {
    std::fprintf(stderr, "mensaje: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void AnswerScript::showError(QWidget* /*parent*/, const QString& errorText) {
    std::fprintf(stderr, "error: %s\n", errorReportText(errorText).toUtf8().constData());
    std::fflush(stderr);
}

std::optional<QString> AnswerScript::runFileDialog(QFileDialog& /*dialog*/) {
    const std::string answer = next("the file-open dialog");
    if (answer == "cancelar") return std::nullopt;
    if (answer.rfind("archivo ", 0) == 0) return QString::fromStdString(answer.substr(8));
    fail("'" + answer + "' does not answer the file-open dialog");
}

void AnswerScript::runFrameDialog(TPlantillas& dialog) {
    const std::string answer = next("the frame dialog");
    if (answer.rfind("marcos", 0) != 0) fail("'" + answer + "' does not answer the frame dialog");
    dialog.show();  // activation lists the frames
    if (dialog.failure()) return;
    std::istringstream rows(answer.substr(6));
    for (int row; rows >> row;) {
        if (row < 0 || row >= dialog.ListBox2->count())
            fail("no frame line " + std::to_string(row));
        dialog.ListBox2->item(row)->setSelected(true);
    }
    dialog.BitBtnContinuar->click();
}

void AnswerScript::windowShown(TMForm& form) {
    QTimer::singleShot(0, &form, [this, &form] { act(form); });
}

void AnswerScript::act(TMForm& form) {
    // Presses the buttons the script names, one after the other from the event loop, as long
    // as the next answer is a button of the window; the dialogs of a run take theirs meanwhile.
    if (answers_.empty()) return;
    QPushButton* button = nullptr;
    if (answers_.front() == "exportar") button = form.BExportar;
    if (answers_.front() == "importar") button = form.BImportar;
    if (answers_.front() == "salir") button = form.BClose;
    if (button == nullptr) return;
    answers_.pop_front();
    button->click();
    if (!form.hasClosed()) QTimer::singleShot(0, &form, [this, &form] { act(form); });
}

}  // namespace ttp::app
