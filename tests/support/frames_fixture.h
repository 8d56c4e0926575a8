#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "export/export_run.h"
#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "formats/text.h"
#include "formats/xml_document.h"
#include "support/export_fixture.h"
#include "support/scripted_interaction.h"

// Helpers for the tests of the slot, group and session steps: one export run over a document
// written from a string, with a throw-away staging folder and scripted answers.
namespace ttp::test {

struct StepHarness {
    TempDir dir;
    RunState state;
    ScriptedInteraction ui;
    ExportRun run{state, ui};

    StepHarness() { state.staging = dir.path(); }

    // Writes the document to a file of the folder (the frame dialog reads the file) and makes
    // it the run's document, as the run does after loading it.
    void load(std::string_view body) {
        const std::filesystem::path file = dir / "centro.xml";
        writeFile(file, datosRVT(body));
        state.FicheroXML = file;
        state.DocumentoXML.emplace(xml::Document::load(file));
    }

    std::vector<Row> rows(std::string_view table) const { return readRows(dir.path(), table); }
};

// Rebuilds a staging table and fills it with these rows (field name → UTF-8 text); what a
// step before the tested one would have written.
inline void writeTable(const std::filesystem::path& dir, const staging::TableDef& def,
                       const std::vector<Row>& rows) {
    staging::rebuild(dir, def);
    dbf::Table table = staging::open(dir, def.name);
    for (const Row& row : rows) {
        table.append();
        for (const auto& [field, value] : row) table.setText(field, text::toAnsi(value));
        table.post();
    }
    table.close();
}

}  // namespace ttp::test
