#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "export/export_run.h"
#include "export/integer_text.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"
#include "formats/text.h"

namespace ttp {
namespace {

constexpr std::size_t kFrameIdWidth = 10;
constexpr std::int32_t kEndOfDay = 1440;

// Windows-1252 names of the days 0 (Monday) to 6 (the accents as single bytes; the literals
// are split where a hex escape would swallow the next letter).
constexpr std::array<std::string_view, 7> kWeekdays = {"Lunes",
                                                       "Martes",
                                                       "Mi\xE9rcoles",
                                                       "Jueves",
                                                       "Viernes",
                                                       "S\xE1"
                                                       "bado",
                                                       "Domingo"};

std::string weekday(std::int32_t day) {
    if (day < 0 || day >= static_cast<std::int32_t>(kWeekdays.size())) return {};
    return std::string(kWeekdays[static_cast<std::size_t>(day)]);
}

std::string pathText(const std::filesystem::path& p) {
    const auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

// Where a slot's value stands, for messages (UTF-8).
std::string slotPlace(const xml::Node& tramo, std::string_view child) {
    return "tramo de la línea " + std::to_string(tramo.line()) + ", " + std::string(child);
}

// 60 × hours + minutes of a time text whose characters 1-2 are the hours and 4-5 the minutes.
std::int64_t minuteOfDay(std::string_view time, std::string_view where) {
    const auto part = [&](std::size_t from) {
        return from < time.size() ? time.substr(from, 2) : std::string_view{};
    };
    const std::int64_t hours = integer_text::require(part(0), where);
    const std::int64_t minutes = integer_text::require(part(3), where);
    return 60 * hours + minutes;
}

std::string firstFive(std::string_view time) {
    return std::string(time.substr(0, 5));
}

// One row of DIASHORAST, every value computed before anything is appended, so that a bad
// value never leaves a half-filled row behind.
struct SlotRow {
    std::string diho, dia, textodia, hora, textohor, horadesde, horahasta, minutos, frame, pdDia,
        pdHoradesde, pdHorahasta, pdTipo;
};

SlotRow readSlot(const xml::Node& tramo, const std::string& frame) {
    const std::int32_t day =
        integer_text::require(exchange::childText(tramo, "dia"), slotPlace(tramo, "dia"));
    const std::int32_t index =
        integer_text::require(exchange::childText(tramo, "indice"), slotPlace(tramo, "indice"));
    const std::string start = exchange::childText(tramo, "horaEntrada");
    const std::string end = exchange::childText(tramo, "horaSalida");
    const std::int64_t minutes = minuteOfDay(end, slotPlace(tramo, "horaSalida")) -
                                 minuteOfDay(start, slotPlace(tramo, "horaEntrada"));

    // 64-bit so that the largest day still gets its successor.
    const std::string dayText = std::to_string(std::int64_t{day} + 1);
    const std::string indexText = std::to_string(index);
    SlotRow row;
    row.diho = dayText + indexText;
    row.dia = dayText;
    row.textodia = weekday(day);
    row.hora = indexText;
    row.textohor = indexText + "-" + firstFive(start) + "-" + firstFive(end);
    row.horadesde = firstFive(start);
    row.horahasta = firstFive(end);
    row.minutos = std::to_string(minutes);
    row.frame = frame;
    row.pdDia = std::to_string(day);
    row.pdHoradesde = start;
    row.pdHorahasta = end;
    row.pdTipo = exchange::childText(tramo, "Tipo");
    return row;
}

void appendSlot(dbf::Table& table, const SlotRow& row) {
    table.append();
    table.setText("DIHO", row.diho);
    table.setText("DIA", row.dia);
    table.setText("TEXTODIA", row.textodia);
    table.setText("HORA", row.hora);
    table.setText("TEXTOHOR", row.textohor);
    table.setText("CODDIHO", "");
    table.setText("HORADESDE", row.horadesde);
    table.setText("HORAHASTA", row.horahasta);
    table.setText("MINUTOS", row.minutos);
    table.setText("MARCOXML", row.frame);
    table.setText("PD_MARCO_ID", row.frame);
    table.setText("PD_SUBMARCO", row.frame);
    table.setText("PD_DIA", row.pdDia);
    table.setText("PD_HORADESDE", row.pdHoradesde);
    table.setText("PD_HORAHASTA", row.pdHorahasta);
    table.setText("PD_TIPO", row.pdTipo);
    table.post();
}

std::string trimmedCell(std::string_view chosen, std::size_t from) {
    return text::trim(chosen.substr(from, kFrameIdWidth));
}

// A frame id longer than the 10 characters the tables hold would be cut and then match none
// of its own slots: the export would silently leave the frame out. Refuse it instead.
void requireShortFrameId(const std::string& id, const std::string& ficheroXml) {
    if (id.size() <= kFrameIdWidth) return;
    throw Error("El Marco Horario '" + text::toUtf8(id) + "' del archivo " + ficheroXml +
                " tiene un identificador de más de 10 caracteres; no se puede exportar");
}

// The chosen cells come from the dialog, which cuts each id to 10 characters. A cell that is
// the cut form of a longer id, and the whole of no id, names a frame that cannot be exported.
void requireChosenIdsExist(const std::vector<xml::Node>& marcos,
                           const std::vector<std::string>& chosen, const std::string& ficheroXml) {
    for (const auto& cell : chosen) {
        if (cell.empty()) continue;
        std::optional<std::string> longer;
        bool whole = false;
        for (const auto& marco : marcos) {
            if (marco.attributeCount() == 0) continue;
            const std::string id = text::trim(exchange::attributeAt(marco, 0));
            if (id == cell) {
                whole = true;
                break;
            }
            if (id.size() > kFrameIdWidth && text::trim(id.substr(0, kFrameIdWidth)) == cell) {
                longer = id;
            }
        }
        if (!whole && longer) requireShortFrameId(*longer, ficheroXml);
    }
}

std::string noSlotsNotice(const std::string& frame) {
    return "marco horario '" + text::toUtf8(frame) + "': ningún tramo lo tiene en submarco";
}

}  // namespace

void ExportRun::ExportarMarcos() {
    const xml::Document& doc = document();
    const std::string fichero = pathText(state_.FicheroXML);

    // The empty table exists before the choice, as the timetabler has always found it.
    staging::rebuild(state_.staging, staging::diashorast());

    const auto marcos = doc.select(exchange::kMarcos);
    if (marcos.empty()) {
        throw Error("El archivo " + fichero +
                    " no contiene ningún Marco Horario (marcoHorario); no se puede exportar");
    }

    std::string chosen;
    if (marcos.size() < 2) {
        const auto id = marcos.front().attribute("id");
        if (!id) {
            throw Error("El Marco Horario de la línea " + std::to_string(marcos.front().line()) +
                        " del archivo " + fichero + " no tiene el atributo id");
        }
        chosen = text::trim(text::toAnsi(*id));
        requireShortFrameId(chosen, fichero);
    } else {
        FrameDialogResult answer;
        do {
            answer = ui_.showFrameDialog(state_.FicheroXML);
        } while (!answer.SeleccionValida);
        chosen = answer.MarcosSeleccionados;
    }

    state_.Marco1.clear();
    state_.Marco2.clear();
    if (chosen.size() == 2 * kFrameIdWidth) {
        state_.Marco1 = trimmedCell(chosen, 0);
        state_.Marco2 = trimmedCell(chosen, kFrameIdWidth);
    } else {
        state_.Marco1 = trimmedCell(chosen, 0);
    }
    if (marcos.size() >= 2) {
        requireChosenIdsExist(marcos, {state_.Marco1, state_.Marco2}, fichero);
    }

    auto table = staging::open(state_.staging, staging::diashorast().name);
    std::size_t slots1 = 0;
    std::size_t slots2 = 0;
    for (const auto& tramo : doc.select(exchange::kTramos)) {
        const std::string frame = exchange::childText(tramo, "submarco");
        // Slots of frames not chosen are never parsed.
        if (frame != state_.Marco1 && frame != state_.Marco2) continue;
        appendSlot(table, readSlot(tramo, frame));
        ++(frame == state_.Marco1 ? slots1 : slots2);
    }
    // A chosen frame that no slot names (its id is not the frame's first attribute, say)
    // reaches the timetabler without slots: say so rather than leave it unnoticed.
    if (slots1 == 0) ui_.notice(noSlotsNotice(state_.Marco1));
    if (!state_.Marco2.empty() && slots2 == 0) ui_.notice(noSlotsNotice(state_.Marco2));

    // The frame whose Monday slot 1 starts earlier gets "0"; a first frame without one counts
    // as starting at 0, a second one at the end of the day.
    std::int64_t start1 = 0;
    std::int64_t start2 = kEndOfDay;
    table.first();
    if (table.locate({"DIHO", "MARCOXML"}, {"11", state_.Marco1})) {
        start1 = minuteOfDay(table.text("HORADESDE"), "DIASHORAST, HORADESDE");
    }
    if (table.locate({"DIHO", "MARCOXML"}, {"11", state_.Marco2})) {
        start2 = minuteOfDay(table.text("HORADESDE"), "DIASHORAST, HORADESDE");
    }
    const bool firstEarlier = start1 <= start2;
    state_.DigitoMarco1 = firstEarlier ? "0" : "1";
    state_.DigitoMarco2 = firstEarlier ? "1" : "0";

    for (table.first(); !table.eof(); table.next()) {
        const std::string frame = table.text("MARCOXML");
        const std::string* digit = nullptr;
        if (frame == state_.Marco1) {
            digit = &state_.DigitoMarco1;
        } else if (frame == state_.Marco2) {
            digit = &state_.DigitoMarco2;
        }
        if (!digit) continue;
        table.edit();
        table.setInteger("MARCO", *digit == "0" ? 0 : 1);
        table.post();
    }
    table.close();
}

}  // namespace ttp
