#include <string>

#include "export/code_list.h"
#include "export/export_run.h"
#include "export/short_code.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"

namespace ttp {

void ExportRun::ExportarGrupos() {
    const xml::Document& doc = document();
    staging::rebuild(state_.staging, staging::grupost());
    CodeList codes;  // codes issued to groups in this run only

    auto table = staging::open(state_.staging, staging::grupost().name);
    // Every group is written, a school with a single group included.
    for (const auto& grupo : doc.select(exchange::kGrupos)) {
        // Only the first character of the group's frame is compared, with the whole of each
        // chosen id: a group of frame "12" belongs to frame "1".
        std::string frame = exchange::attributeNamed(grupo, "submarco").substr(0, 1);
        if (frame != state_.Marco1 && frame != state_.Marco2) continue;

        const std::string level = exchange::childText(grupo, "nivel");
        const std::string course = exchange::childText(grupo, "curso");
        const std::string unit = exchange::childText(grupo, "unidad");
        const std::string code = shortcode::grupost(level, course, unit, codes);
        const std::string& digit =
            frame == state_.Marco1 ? state_.DigitoMarco1 : state_.DigitoMarco2;
        const std::string name = exchange::childText(grupo, "nombre");

        table.append();
        table.setText("ABREV", code);
        table.setText("TURNO", "");
        table.setText("NIVEL", level);
        table.setText("CURSO", course);
        table.setText("GRUPO", unit);
        table.setText("MARCO", digit);
        table.setText("DESCRIP", name);
        table.post();
    }
    table.close();
}

}  // namespace ttp
