#include "export/frame_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "support/export_fixture.h"

namespace ttp {
namespace {

using test::datosRVT;
using test::TempDir;
using test::writeFile;

constexpr std::string_view kNinguno = "Debe al menos seleccionar 1 Marco Horario.";
constexpr std::string_view kDemasiados =
    "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios";

std::string tramo(std::string_view submarco, std::string_view dia, std::string_view indice,
                  std::string_view desde, std::string_view hasta, std::string_view tipo) {
    return "<tramo><submarco>" + std::string(submarco) + "</submarco><dia>" + std::string(dia) +
           "</dia><indice>" + std::string(indice) + "</indice><horaEntrada>" + std::string(desde) +
           "</horaEntrada><horaSalida>" + std::string(hasta) + "</horaSalida><Tipo>" +
           std::string(tipo) + "</Tipo></tramo>";
}

// Three frames; the second is listed by its first attribute, whatever its name, untrimmed.
const std::string kThreeFrames = datosRVT(
    "<marcosDeHorario>"
    "<marcoHorario id=\"1\">" +
    tramo("1", "0", "1", "08:30", "09:25", "T") + tramo("1", "1", "1", "08:30", "09:25", "T") +
    tramo("1", "0", "2", "09:25", "10:20", "Recreo de la mañana y más") +
    tramo("1", " 0", "3", "10:20", "11:15", "T") + tramo("1", "00", "4", "11:15", "12:10", "T") +
    "</marcoHorario>"
    "<marcoHorario nombre=\" Tarde \" id=\"2\">" +
    tramo(" Tarde ", "0", "1", "15:00", "15:55", "L") +
    tramo("2", "0", "2", "16:00", "16:55", "L") +
    "</marcoHorario>"
    "<marcoHorario id=\"Nocturno-largo\">" +
    "<tramo><submarco>Nocturno-largo</submarco><dia>0</dia></tramo>" +
    "</marcoHorario>"
    "</marcosDeHorario>");

class FrameSelectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = dir_ / "centro.xml";
        writeFile(file_, kThreeFrames);
        dialog_.FormActivate(file_);
    }

    FrameDialogResult close(const std::vector<bool>& selected) {
        return dialog_.FormClose(selected,
                                 [this](std::string_view m) { messages_.emplace_back(m); });
    }

    TempDir dir_;
    std::filesystem::path file_;
    FrameSelection dialog_;
    std::vector<std::string> messages_;
};

TEST_F(FrameSelectionTest, ListsEveryFrameByItsFirstAttributeUntrimmed) {
    EXPECT_EQ(dialog_.frameLines(), (std::vector<std::string>{"1", " Tarde ", "Nocturno-largo"}));
}

TEST_F(FrameSelectionTest, SlotListShowsOnlyExactMondaySlotsOfTheFrame) {
    // Day " 0" and "00" are not Monday here; the long line is cut to 30 characters, in
    // Windows-1252 ("ñ" is one character).
    EXPECT_EQ(dialog_.mondaySlotLines(0),
              (std::vector<std::string>{"1-08:30-09:25-T", "2-09:25-10:20-Recreo de la ma\xF1"}));
    // The frame's line is compared exactly: the slot of " Tarde " only, not those of "2".
    EXPECT_EQ(dialog_.mondaySlotLines(1), (std::vector<std::string>{"1-15:00-15:55-L"}));
    // Missing children read as empty text.
    EXPECT_EQ(dialog_.mondaySlotLines(2), (std::vector<std::string>{"---"}));
    EXPECT_TRUE(dialog_.mondaySlotLines(3).empty());
}

struct CloseCase {
    const char* name;
    std::vector<bool> selected;
    bool valid;
    std::string_view message;  // empty: none
    std::string result;
};

TEST_F(FrameSelectionTest, ClosingChecksTheCountAndBuildsCellsInListOrder) {
    const std::vector<CloseCase> cases = {
        {"nothing selected", {false, false, false}, false, kNinguno, ""},
        {"no selection at all", {}, false, kNinguno, ""},
        {"one, padded to 10", {true, false, false}, true, "", "1         "},
        {"untrimmed line kept", {false, true, false}, true, "", " Tarde    "},
        {"long id cut to 10", {false, false, true}, true, "", "Nocturno-l"},
        {"two in list order", {true, false, true}, true, "", "1         Nocturno-l"},
        {"three", {true, true, true}, false, kDemasiados, "1          Tarde    Nocturno-l"},
        {"flags past the list ignored", {true, false, false, true, true}, true, "", "1         "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.clear();
        const FrameDialogResult r = close(c.selected);
        EXPECT_EQ(r.SeleccionValida, c.valid);
        EXPECT_EQ(r.MarcosSeleccionados, c.result);
        if (c.message.empty()) {
            EXPECT_TRUE(messages_.empty());
        } else {
            EXPECT_EQ(messages_, (std::vector<std::string>{std::string(c.message)}));
        }
    }
}

TEST_F(FrameSelectionTest, ActivatingAgainReadsTheFileAfresh) {
    writeFile(file_, datosRVT("<marcosDeHorario><marcoHorario id=\"A\"/><marcoHorario id=\"B\"/>"
                              "</marcosDeHorario>"));
    dialog_.FormActivate(file_);
    EXPECT_EQ(dialog_.frameLines(), (std::vector<std::string>{"A", "B"}));
    // Fewer than two slots in the document: nothing to list.
    EXPECT_TRUE(dialog_.mondaySlotLines(0).empty());
}

TEST(FrameSelectionLoad, FilesThatCanOfferNoChoiceAreErrors) {
    struct Case {
        const char* name;
        std::string content;  // empty: no file at all
        std::string inMessage;
    };
    const std::vector<Case> cases = {
        {"missing file", "", "centro.xml"},
        {"not well-formed", "<datosRVT><marcosDeHorario>", "centro.xml"},
        {"one frame only", datosRVT("<marcosDeHorario><marcoHorario id=\"1\"/></marcosDeHorario>"),
         "centro.xml"},
        {"no frame", datosRVT(""), "marcoHorario"},
        {"frame without attributes",
         datosRVT("<marcosDeHorario><marcoHorario id=\"1\"/>\n<marcoHorario/></marcosDeHorario>"),
         "marcoHorario"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto file = dir / "centro.xml";
        if (!c.content.empty()) writeFile(file, c.content);
        FrameSelection dialog;
        try {
            dialog.FormActivate(file);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.inMessage), std::string::npos) << e.what();
        }
    }
}

TEST(FrameSelectionLoad, Windows1252DocumentIsListedInWindows1252) {
    TempDir dir;
    const auto file = dir / "centro.xml";
    writeFile(file,
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<datosRVT><marcosDeHorario>"
              "<marcoHorario id=\"Ma\xF1"
              "ana\"/><marcoHorario id=\"Tarde\"/></marcosDeHorario></datosRVT>");
    FrameSelection dialog;
    dialog.FormActivate(file);
    EXPECT_EQ(dialog.frameLines(), (std::vector<std::string>{"Ma\xF1"
                                                             "ana",
                                                             "Tarde"}));
}

}  // namespace
}  // namespace ttp
