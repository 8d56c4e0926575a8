#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ttp {

// What one frame selection dialog hands back once it has closed.
struct FrameDialogResult {
    bool SeleccionValida = false;
    // Each chosen frame id in a cell of exactly 10 characters (padded or cut), in list order.
    std::string MarcosSeleccionados;
};

// The services a run needs from the person in front of it. The window implements them with
// dialogs and message boxes, the command-line tool with its arguments and standard streams,
// and tests with scripted answers. Texts are UTF-8.
class Interaction {
  public:
    virtual ~Interaction() = default;

    // A plain message; returns once the person has acknowledged it.
    virtual void showMessage(std::string_view text) = 0;

    // The file-open dialog for the exchange document; nothing when it was cancelled.
    virtual std::optional<std::filesystem::path> chooseXmlFile() = 0;

    // One frame selection dialog over the document at `ficheroXml`, shown modally.
    virtual FrameDialogResult showFrameDialog(const std::filesystem::path& ficheroXml) = 0;

    // The application-wide busy cursor.
    virtual void setBusy(bool busy) = 0;

    // After a completed run: disables the export button, then the import button.
    virtual void disableDirectionButtons() = 0;

    // Closes the main window (hosted mode).
    virtual void closeWindow() = 0;

    // A diagnostic line about the data (a session left out, a code not found). The window
    // ignores them; the command-line tool prints them on standard error.
    virtual void notice(std::string_view /*text*/) {}
};

// Shows the busy cursor for its lifetime, so that an error leaving a run restores the cursor.
class BusyCursor {
  public:
    explicit BusyCursor(Interaction& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyCursor() { ui_.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    Interaction& ui_;
};

}  // namespace ttp
