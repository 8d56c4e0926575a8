#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "support/frames_fixture.h"

namespace ttp {
namespace {

using test::Row;
using test::StepHarness;

std::string tramo(std::string_view submarco, std::string_view dia, std::string_view indice,
                  std::string_view desde, std::string_view hasta, std::string_view tipo = "L") {
    return "<tramo><submarco>" + std::string(submarco) + "</submarco><dia>" + std::string(dia) +
           "</dia><indice>" + std::string(indice) + "</indice><horaEntrada>" + std::string(desde) +
           "</horaEntrada><horaSalida>" + std::string(hasta) + "</horaSalida><Tipo>" +
           std::string(tipo) + "</Tipo></tramo>";
}

std::string marco(std::string_view attributes, const std::string& tramos) {
    return "<marcoHorario " + std::string(attributes) + ">" + tramos + "</marcoHorario>";
}

std::string marcos(const std::string& content) {
    return "<marcosDeHorario>" + content + "</marcosDeHorario>";
}

// The dialog's answer for these cells (each padded to 10, as the dialog builds them).
FrameDialogResult chosen(std::vector<std::string> ids, bool valid = true) {
    FrameDialogResult r;
    r.SeleccionValida = valid;
    for (auto id : ids) {
        id.resize(10, ' ');
        r.MarcosSeleccionados += id;
    }
    return r;
}

std::vector<std::string> column(const std::vector<Row>& rows, const std::string& field) {
    std::vector<std::string> values;
    for (const auto& row : rows) values.push_back(row.at(field));
    return values;
}

std::string errorOf(StepHarness& h) {
    try {
        h.run.ExportarMarcos();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

TEST(ExportarMarcos, SingleFrameNeedsNoDialogAndFillsEveryField) {
    StepHarness h;
    h.load(marcos(marco("id=\" Mañana \" nombre=\"x\"",
                        tramo("Mañana", "0", "3", "09:30:00", "10:25:59", " Lectivo "))));
    h.run.ExportarMarcos();

    EXPECT_TRUE(h.ui.frameDialogsShown.empty());
    EXPECT_EQ(h.state.Marco1,
              "Ma\xF1"
              "ana");
    EXPECT_EQ(h.state.Marco2, "");
    EXPECT_EQ(h.state.DigitoMarco1, "0");
    EXPECT_EQ(h.state.DigitoMarco2, "1");

    const auto rows = h.rows("DIASHORAST");
    ASSERT_EQ(rows.size(), 1u);
    const Row expected = {
        {"DIHO", "13"},
        {"CODDIHO", ""},
        {"DIA", "1"},
        {"TEXTODIA", "Lunes"},
        {"HORA", "3"},
        {"TEXTOHOR", "3-09:30-10:25"},
        {"HORADESDE", "09:30"},
        {"HORAHASTA", "10:25"},
        {"MINUTOS", "55"},
        {"MARCO", "0"},
        {"MARCOXML", "Mañana"},
        {"PD_MARCO_ID", "Ma"},
        {"PD_SUBMARCO", "Ma"},
        {"PD_DIA", "0"},
        {"PD_HORADESDE", "09:30:00"},
        {"PD_HORAHASTA", "10:25:59"},
        {"PD_TIPO", "Lectivo"},
    };
    EXPECT_EQ(rows.front(), expected);
}

TEST(ExportarMarcos, DaysSlotsAndLengths) {
    struct Case {
        const char* dia;
        const char* indice;
        const char* desde;
        const char* hasta;
        const char* diho;
        const char* textodia;
        const char* minutos;
    };
    const std::vector<Case> cases = {
        {"0", "1", "08:00", "08:55", "11", "Lunes", "55"},
        {"1", "2", "08:00", "09:00", "22", "Martes", "60"},
        {"2", "1", "08:00", "08:30", "31", "Miércoles", "30"},
        {"3", "1", "08:00", "08:30", "41", "Jueves", "30"},
        {"4", "10", "13:00", "14:05", "510", "Viernes", "65"},
        {"5", "1", "08:00", "08:30", "61", "Sábado", "30"},
        {"6", "1", "08:00", "08:30", "71", "Domingo", "30"},
        {"7", "1", "08:00", "08:30", "81", "", "30"},
        {"-1", "1", "08:00", "08:30", "01", "", "30"},
        {"00", "2", "10:30", "10:00", "12", "Lunes", "-30"},  // ends before it starts
        {"-0", "3", "23:00", "00:15", "13", "Lunes", "-1365"},
    };
    std::string slots;
    for (const auto& c : cases) slots += tramo("1", c.dia, c.indice, c.desde, c.hasta);
    StepHarness h;
    h.load(marcos(marco("id=\"1\"", slots)));
    h.run.ExportarMarcos();

    const auto rows = h.rows("DIASHORAST");
    ASSERT_EQ(rows.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].diho);
        EXPECT_EQ(rows[i].at("DIHO"), cases[i].diho);
        EXPECT_EQ(rows[i].at("TEXTODIA"), cases[i].textodia);
        EXPECT_EQ(rows[i].at("MINUTOS"), cases[i].minutos);
        EXPECT_EQ(rows[i].at("DIA") + rows[i].at("HORA"), cases[i].diho);
    }
}

TEST(ExportarMarcos, TwoChosenFramesGetDigitsByTheirMondayFirstSlot) {
    struct Case {
        const char* name;
        std::string frame1;  // slots of frame "A"
        std::string frame2;  // slots of frame "B"
        const char* digit1;
        const char* digit2;
    };
    const std::vector<Case> cases = {
        {"first earlier", tramo("A", "0", "1", "08:00", "09:00"),
         tramo("B", "0", "1", "15:00", "16:00"), "0", "1"},
        {"second earlier", tramo("A", "0", "1", "15:00", "16:00"),
         tramo("B", "0", "1", "08:00", "09:00"), "1", "0"},
        {"same start", tramo("A", "0", "1", "08:00", "09:00"),
         tramo("B", "0", "1", "08:00", "08:30"), "0", "1"},
        // Only day 0, slot 1 counts: Tuesday's and Monday's second slot do not.
        {"first without Monday slot 1",
         tramo("A", "1", "1", "20:00", "21:00") + tramo("A", "0", "2", "20:00", "21:00"),
         tramo("B", "0", "1", "00:01", "01:00"), "0", "1"},
        {"second without Monday slot 1", tramo("A", "0", "1", "23:59", "23:59"),
         tramo("B", "0", "2", "00:00", "01:00"), "0", "1"},
        {"second without one, first after midnight", tramo("A", "0", "1", "24:01", "24:30"),
         tramo("B", "0", "2", "00:00", "01:00"), "1", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StepHarness h;
        h.load(marcos(marco("id=\"A\"", c.frame1) + marco("id=\"B\"", c.frame2) +
                      marco("id=\"C\"", tramo("C", "0", "1", "00:00", "00:01"))));
        h.ui.frameAnswers.push_back(chosen({"A", "B"}));
        h.run.ExportarMarcos();

        EXPECT_EQ(h.state.Marco1, "A");
        EXPECT_EQ(h.state.Marco2, "B");
        EXPECT_EQ(h.state.DigitoMarco1, c.digit1);
        EXPECT_EQ(h.state.DigitoMarco2, c.digit2);
        const auto rows = h.rows("DIASHORAST");
        ASSERT_FALSE(rows.empty());
        for (const auto& row : rows) {
            EXPECT_EQ(row.at("MARCO"), row.at("MARCOXML") == "A" ? c.digit1 : c.digit2);
            EXPECT_NE(row.at("MARCOXML"), "C");
        }
    }
}

TEST(ExportarMarcos, DialogComesBackUntilTheSelectionIsValid) {
    StepHarness h;
    h.load(marcos(marco("id=\"1\"", tramo("1", "0", "1", "08:00", "09:00")) +
                  marco("id=\"2\"", tramo("2", "0", "1", "15:00", "16:00"))));
    h.ui.frameAnswers.push_back(chosen({}, false));
    h.ui.frameAnswers.push_back(chosen({"1", "2", "3"}, false));
    h.ui.frameAnswers.push_back(chosen({"2"}));
    h.run.ExportarMarcos();

    EXPECT_EQ(h.ui.frameDialogsShown, (std::vector<std::filesystem::path>(3, h.state.FicheroXML)));
    EXPECT_EQ(h.state.Marco1, "2");
    EXPECT_EQ(h.state.Marco2, "");
    // Only frame 2's slots, with the digit "0".
    const auto rows = h.rows("DIASHORAST");
    EXPECT_EQ(column(rows, "MARCOXML"), (std::vector<std::string>{"2"}));
    EXPECT_EQ(column(rows, "MARCO"), (std::vector<std::string>{"0"}));
    EXPECT_EQ(h.state.DigitoMarco2, "1");
}

TEST(ExportarMarcos, SlotsOfFramesNotChosenAreNeverRead) {
    StepHarness h;
    h.load(marcos(marco("id=\"1\"", tramo("1", "0", "1", "08:00", "09:00")) +
                  marco("id=\"2\"", tramo("2", "lunes", "x", "ocho", "nueve") +
                                        "<tramo><submarco>2</submarco></tramo>")));
    h.ui.frameAnswers.push_back(chosen({"1"}));
    h.run.ExportarMarcos();
    EXPECT_EQ(column(h.rows("DIASHORAST"), "MARCOXML"), (std::vector<std::string>{"1"}));
}

TEST(ExportarMarcos, OneFrameChosenAlsoTakesSlotsWithoutFrame) {
    StepHarness h;
    h.load(marcos(marco("id=\"1\"", tramo("1", "0", "1", "08:00", "09:00") +
                                        tramo(" ", "0", "2", "09:00", "10:00")) +
                  marco("id=\"2\"", tramo("2", "0", "1", "15:00", "16:00"))));
    h.ui.frameAnswers.push_back(chosen({"1"}));
    h.run.ExportarMarcos();
    const auto rows = h.rows("DIASHORAST");
    EXPECT_EQ(column(rows, "MARCOXML"), (std::vector<std::string>{"1", ""}));
    // The empty frame is Marco2 and takes its digit.
    EXPECT_EQ(column(rows, "MARCO"), (std::vector<std::string>{"0", "1"}));
}

TEST(ExportarMarcos, MissingChildrenReadAsEmptyWithoutShiftingOtherSlots) {
    StepHarness h;
    h.load(marcos(marco("id=\"1\"",
                        "<tramo><submarco>1</submarco><dia>0</dia><indice>1</indice>"
                        "<horaEntrada>08:00</horaEntrada><horaSalida>09:00</horaSalida></tramo>" +
                            tramo("1", "0", "2", "09:00", "10:00", "Recreo"))));
    h.run.ExportarMarcos();
    EXPECT_EQ(column(h.rows("DIASHORAST"), "PD_TIPO"), (std::vector<std::string>{"", "Recreo"}));
}

TEST(ExportarMarcos, DocumentsThatCannotBeExportedStopWithAMessage) {
    struct Case {
        const char* name;
        std::string body;
        std::vector<FrameDialogResult> answers;
        std::vector<std::string> inMessage;
        std::size_t rowsLeft;  // rows posted before the failure
    };
    const std::string ok = tramo("1", "0", "1", "08:00", "09:00");
    const std::vector<Case> cases = {
        {"no frame at all", "<materias/>", {}, {"marcoHorario", "centro.xml"}, 0},
        {"single frame without id", marcos(marco("nombre=\"1\"", ok)), {}, {"id", "línea"}, 0},
        {"single frame id over 10",
         marcos(marco("id=\"Vespertino-1\"", ok)),
         {},
         {"Vespertino-1"},
         0},
        {"chosen frame id over 10",
         marcos(marco("id=\"1\"", ok) + marco("id=\"Vespertino-1\"", ok)),
         {chosen({"1", "Vespertino-1"})},
         {"Vespertino-1"},
         0},
        {"bad day",
         marcos(marco("id=\"1\"", ok + "\n" + tramo("1", "0x1", "2", "08:00", "09:00"))),
         {},
         {"'0x1' no es un valor entero válido", "dia", "línea 3"},
         1},
        {"bad slot number",
         marcos(marco("id=\"1\"", tramo("1", "0", "1.", "08:00", "09:00"))),
         {},
         {"'1.' no es un valor entero válido", "indice"},
         0},
        {"empty slot number",
         marcos(marco("id=\"1\"", tramo("1", "0", "", "08:00", "09:00"))),
         {},
         {"'' no es un valor entero válido", "indice"},
         0},
        {"day out of range",
         marcos(marco("id=\"1\"", tramo("1", "2147483648", "1", "08:00", "09:00"))),
         {},
         {"'2147483648' no es un valor entero válido"},
         0},
        {"bad start",
         marcos(marco("id=\"1\"", ok + tramo("1", "0", "2", "8:00", "09:00"))),
         {},
         {"'8:' no es un valor entero válido", "horaEntrada"},
         1},
        {"short end",
         marcos(marco("id=\"1\"", tramo("1", "0", "1", "08:00", "09"))),
         {},
         {"'' no es un valor entero válido", "horaSalida"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StepHarness h;
        h.load(c.body);
        for (const auto& a : c.answers) h.ui.frameAnswers.push_back(a);
        const std::string message = errorOf(h);
        ASSERT_FALSE(message.empty());
        for (const auto& part : c.inMessage) {
            EXPECT_NE(message.find(part), std::string::npos) << message;
        }
        // The table was rebuilt first: an earlier export's rows never survive.
        EXPECT_EQ(h.rows("DIASHORAST").size(), c.rowsLeft);
    }
}

TEST(ExportarMarcos, CutIdOfAnotherFrameIsFineWhenAnIdMatchesWhole) {
    StepHarness h;
    h.load(marcos(marco("id=\"Vespertino\"", tramo("Vespertino", "0", "1", "15:00", "16:00")) +
                  marco("id=\"Vespertino-1\"", tramo("Vespertino-1", "0", "1", "08:00", "09:00"))));
    h.ui.frameAnswers.push_back(chosen({"Vespertino"}));
    h.run.ExportarMarcos();
    EXPECT_EQ(column(h.rows("DIASHORAST"), "MARCOXML"), (std::vector<std::string>{"Vespertino"}));
}

TEST(ExportarMarcos, AChosenFrameWithoutSlotsIsNoticed) {
    StepHarness h;
    // The dialog lists the first attribute, which here is not the id the slots carry.
    h.load(marcos(marco("nombre=\"Tarde\" id=\"2\"", tramo("2", "0", "1", "15:00", "16:00")) +
                  marco("id=\"1\"", tramo("1", "0", "1", "08:00", "09:00"))));
    h.ui.frameAnswers.push_back(chosen({"Tarde", "1"}));
    h.run.ExportarMarcos();
    EXPECT_EQ(column(h.rows("DIASHORAST"), "MARCOXML"), (std::vector<std::string>{"1"}));
    EXPECT_EQ(
        h.ui.notices,
        (std::vector<std::string>{"marco horario 'Tarde': ningún tramo lo tiene en submarco"}));
}

TEST(ExportarMarcos, ASecondExportReplacesTheSlots) {
    StepHarness h;
    h.load(marcos(marco("id=\"1\"", tramo("1", "0", "1", "08:00", "09:00") +
                                        tramo("1", "0", "2", "09:00", "10:00"))));
    h.run.ExportarMarcos();
    h.load(marcos(marco("id=\"2\"", tramo("2", "1", "1", "15:00", "16:00"))));
    h.run.ExportarMarcos();
    EXPECT_EQ(column(h.rows("DIASHORAST"), "DIHO"), (std::vector<std::string>{"21"}));
    EXPECT_EQ(h.state.Marco1, "2");
}

}  // namespace
}  // namespace ttp
