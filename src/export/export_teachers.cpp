#include <string>

#include "export/code_list.h"
#include "export/export_run.h"
#include "export/short_code.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"

namespace ttp {

void ExportRun::ExportarProfesores() {
    const xml::Document& doc = document();
    staging::rebuild(state_.staging, staging::proft());
    CodeList codes;  // teacher codes are tested against each other only

    auto table = staging::open(state_.staging, staging::proft().name);
    for (const auto& profesor : doc.select(exchange::kProfesores)) {
        const std::string name = exchange::childText(profesor, "nombre");
        const std::string fullName = exchange::childText(profesor, "nombreCompleto");
        const std::string code = shortcode::proft(name, codes);

        table.append();
        table.setText("ABREV", code);
        table.setText("NOMBRE", fullName);
        table.post();
    }
    table.close();
}

}  // namespace ttp
