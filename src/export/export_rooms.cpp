#include <cstdint>
#include <string>
#include <vector>

#include "core/error.h"
#include "export/code_list.h"
#include "export/export_run.h"
#include "export/integer_text.h"
#include "export/short_code.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"
#include "formats/text.h"

namespace ttp {
namespace {

// More generic rooms than any school has; a count above it is a slip (an extra digit, a
// number pasted into the wrong attribute) that would otherwise fill the disk with rows.
constexpr std::int32_t kMaxGenericRooms = 10000;

void appendRoom(dbf::Table& table, const std::string& code, const std::string& name,
                std::string_view generic) {
    table.append();
    table.setText("ABREV", code);
    table.setText("NOMBRE", name);
    table.setText("PD_GENERICA", generic);
    table.post();
}

std::string place(const xml::Node& general) {
    std::string where = "El elemento general";
    if (general.line() > 0) where += " (línea " + std::to_string(general.line()) + ")";
    return where;
}

}  // namespace

void ExportRun::ExportarAulas() {
    const xml::Document& doc = document();
    staging::rebuild(state_.staging, staging::aulat());
    CodeList codes;  // shared by ordinary and generic rooms, ordinary ones first

    auto table = staging::open(state_.staging, staging::aulat().name);
    for (const auto& aula : doc.select(exchange::kAulas)) {
        const std::string name = exchange::childText(aula, "nombre");
        appendRoom(table, shortcode::aulat(name, codes), name, "N");
    }

    // Only the first `general` counts. Its attributes are taken by position, whatever their
    // names: the generic name, then the number of generic rooms; neither is trimmed.
    const auto generals = doc.select(exchange::kGeneral);
    if (!generals.empty()) {
        const xml::Node& general = generals.front();
        const std::string genericName = exchange::attributeAt(general, 0);
        const std::string countText = exchange::attributeAt(general, 1);
        const std::int32_t count =
            integer_text::require(countText, place(general) + ", número de aulas genéricas");
        if (count > kMaxGenericRooms) {
            throw Error(place(general) + " pide " + text::toUtf8(countText) +
                        " aulas genéricas; como máximo se admiten " +
                        std::to_string(kMaxGenericRooms));
        }
        for (std::int32_t k = 1; k <= count; ++k) {
            appendRoom(table, shortcode::aulatGeneric(genericName, k, codes), genericName, "S");
        }
    }
    table.close();
}

}  // namespace ttp
