#pragma once

#include "core/interaction.h"

namespace ttp::app {

class ModalDialogs;
class TMForm;

// A run's view of the main window: its message boxes, its file-open dialog, the frame
// selection dialog, the busy cursor, its direction buttons and its closing.
class WindowInteraction : public Interaction {
  public:
    WindowInteraction(TMForm& form, ModalDialogs& dialogs) : form_(form), dialogs_(dialogs) {}
    ~WindowInteraction() override;

    void showMessage(std::string_view text) override;
    std::optional<std::filesystem::path> chooseXmlFile() override;
    FrameDialogResult showFrameDialog(const std::filesystem::path& ficheroXml) override;
    void setBusy(bool busy) override;
    void disableDirectionButtons() override;
    void closeWindow() override;

  private:
    TMForm& form_;
    ModalDialogs& dialogs_;
    bool busy_ = false;
};

}  // namespace ttp::app
