#include <optional>
#include <string>

#include "export/export_run.h"
#include "export/short_code.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"

namespace ttp {
namespace {

constexpr std::size_t kTaskCodeWidth = 10;

}  // namespace

void ExportRun::ExportarMaterias() {
    const xml::Document& doc = document();
    // Every export codes its subjects and tasks afresh, whatever an abandoned run left.
    state_.ListaCodigos.clear();
    state_.ListaCodigosLargos.clear();

    staging::rebuild(state_.staging, staging::asignomt());
    auto table = staging::open(state_.staging, staging::asignomt().name);
    for (const auto& materia : doc.select(exchange::kMaterias)) {
        const std::string longCode = exchange::elementText(materia);
        const std::optional<std::string> code =
            shortcode::asignomt(longCode, state_.ListaCodigos, state_.ListaCodigosLargos);
        if (!code) continue;  // the same subject again: one row is enough

        table.append();
        table.setText("COD", *code);
        table.setText("CODLARGO", longCode);
        table.setText("NOMBRE", longCode);
        table.setLogical("ESTAREA", false);
        table.post();
    }
    table.close();
}

void ExportRun::ExportarTareas() {
    const xml::Document& doc = document();

    // Appends to the table the subjects step has just built, drawing on the same two lists so
    // that subjects and tasks share one pool of codes.
    auto table = staging::open(state_.staging, staging::asignomt().name);
    for (const auto& tarea : doc.select(exchange::kTareas)) {
        const std::string longCode = exchange::elementText(tarea);
        const std::optional<std::string> code =
            shortcode::asignomt(longCode, state_.ListaCodigos, state_.ListaCodigosLargos);
        if (!code) continue;  // seen before, as a subject or as a task

        table.append();
        table.setText("COD", *code);
        table.setText("CODLARGO", longCode);
        table.setText("NOMBRE", longCode);
        table.setText("CODTAREA", longCode.substr(0, kTaskCodeWidth));
        table.setLogical("ESTAREA", true);
        table.post();
    }
    table.close();

    state_.ListaCodigos.clear();
    state_.ListaCodigosLargos.clear();
}

}  // namespace ttp
