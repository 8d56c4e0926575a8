#include "import/import_run.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "formats/dbf_table.h"
#include "formats/exchange_document.h"
#include "formats/staging_tables.h"
#include "formats/text.h"
#include "formats/xml_document.h"

namespace ttp {

namespace {

constexpr std::string_view kPrimerMensaje =
    "Deberá Abrir el fichero XML de PEDANOR,\r\ndesde el cual realizó la Importación a Tavolex";
constexpr std::string_view kNoExiste = "No existe archivo XML.";
constexpr std::string_view kFinalizado = "Proceso finalizado";

// The seven tables, in the order the run opens and closes them. GRUPOST, PROFT and ASIGNOMT
// are never read: opening them makes sure the export has run and that the timetabler has
// let go of all its tables.
enum TableSlot { kSoluc, kGrupos, kProfesor, kAulas, kNomAsg, kTramos, kAsig, kTableCount };
constexpr std::array<std::string_view, kTableCount> kTableNames = {
    "SOLUC", "GRUPOST", "PROFT", "AULAT", "ASIGNOMT", "DIASHORAST", "ASIGT"};

// Fields the run reads from each table; all must be there before anything is written.
struct RequiredFields {
    TableSlot table;
    std::vector<std::string_view> fields;
};

const std::vector<RequiredFields>& requiredFields() {
    static const std::vector<RequiredFields> kRequired = {
        {kSoluc, {"DIA", "HORA", "MARCO", "AULA", "ASIG", "CODGRUPO", "PROF"}},
        {kAulas, {"ABREV", "NOMBRE", "PD_GENERICA"}},
        {kTramos, {"MARCO", "MARCOXML"}},
        {kAsig, {"CASIG", "CGRUP", "PD_SESION"}},
    };
    return kRequired;
}

bool fileExists(const std::filesystem::path& file) {
    if (file.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

std::string utf8(std::string_view ansi) {
    return text::toUtf8(ansi);
}

std::string describe(const dbf::Table& table) {
    return table.file().filename().string();
}

void checkFields(const std::array<std::optional<dbf::Table>, kTableCount>& tables) {
    for (const auto& required : requiredFields()) {
        const dbf::Table& table = *tables[required.table];
        for (std::string_view field : required.fields) {
            if (!table.hasField(field)) {
                throw Error("La tabla " + describe(table) + " no tiene el campo " +
                            std::string(field));
            }
        }
    }
}

// NOMBRE of the first AULAT row whose PD_GENERICA is exactly "S"; empty when there is none.
std::string genericRoomName(dbf::Table& aulas) {
    for (aulas.first(); !aulas.eof(); aulas.next()) {
        if (aulas.text("PD_GENERICA") == "S") return aulas.text("NOMBRE");
    }
    return {};
}

// The element that receives the slots: a new `horario` at the end of the root. Any
// `horario` the document already holds is an earlier timetable; it is removed so that the
// result carries the new timetable alone instead of the two mixed together.
xml::Node newTimetable(xml::Document& document, const std::filesystem::path& file) {
    xml::Node root = document.selectFirst(exchange::kRoot);
    if (!root) {
        throw Error("El documento " + file.filename().string() +
                    " no tiene el elemento raíz datosRVT");
    }
    for (xml::Node old : root.children("horario")) old.remove();
    xml::Node horario = document.createElement("horario");
    root.appendChild(horario);
    return horario;
}

// Turns SOLUC rows into the `tramo` elements of the new timetable, one row at a time.
class SlotWriter {
  public:
    SlotWriter(xml::Document& document, xml::Node parent, Interaction& ui, std::string genericRoom)
        : document_(document), parent_(parent), ui_(ui), genericRoom_(std::move(genericRoom)) {}

    void write(dbf::Table& soluc, dbf::Table& tramos, dbf::Table& aulas, dbf::Table& asig) {
        const std::string row = "SOLUC fila " + std::to_string(soluc.recordIndex() + 1);
        const std::int64_t dia = soluc.integer("DIA");
        if (dia == 0) return;
        const std::int64_t hora = soluc.integer("HORA");

        // A frame digit that DIASHORAST does not know gives no frame, never the frame of
        // the row before.
        const std::string marco = soluc.text("MARCO");
        std::string frameId;
        tramos.first();
        if (tramos.locate("MARCO", marco)) {
            frameId = tramos.text("MARCOXML");
        } else {
            ui_.notice(row + ": el marco «" + utf8(marco) + "» no está en DIASHORAST");
        }

        xml::Node tramo = document_.createElement("tramo");
        tramo.setAttribute("dia", std::to_string(dia - 1));
        tramo.setAttribute("indice", std::to_string(hora));
        tramo.setAttribute("marco", utf8(frameId));
        parent_.appendChild(tramo);

        xml::Node aula = document_.createElement("aula");
        const std::string room = soluc.text("AULA");
        if (!text::trim(room).empty()) {
            if (aulas.locate("ABREV", room)) {
                if (aulas.text("PD_GENERICA") == "N") {
                    aula.setAttribute("id", utf8(aulas.text("NOMBRE")));
                }
            } else {
                ui_.notice(row + ": el aula «" + utf8(room) + "» no está en AULAT");
            }
        } else {
            aula.setAttribute("anonima", utf8(genericRoom_));
        }
        tramo.appendChild(aula);

        xml::Node sesion = document_.createElement("sesion");
        const std::string subject = soluc.text("ASIG");
        const std::string group = soluc.text("CODGRUPO");
        if (asig.locate({"CASIG", "CGRUP"}, {subject, group})) {
            sesion.setText(utf8(asig.text("PD_SESION")));
        } else {
            sesion.setText("");
            ui_.notice(row + ": la materia «" + utf8(subject) + "» con el grupo «" + utf8(group) +
                       "» no está en ASIGT");
        }
        aula.appendChild(sesion);

        xml::Node profesor = document_.createElement("profesor");
        profesor.setText(utf8(soluc.text("PROF")));
        aula.appendChild(profesor);
    }

  private:
    xml::Document& document_;
    xml::Node parent_;
    Interaction& ui_;
    std::string genericRoom_;
};

}  // namespace

void ImportRun::BImportarClick() {
    ui_.showMessage(kPrimerMensaje);
    if (auto chosen = ui_.chooseXmlFile()) state_.FicheroXML = *chosen;

    if (!fileExists(state_.FicheroXML)) {
        ui_.showMessage(kNoExiste);
        if (state_.NumParametros == 2) {
            state_.EstadoTransformacion = -1;
            ui_.closeWindow();
        }
        return;
    }

    std::filesystem::path result;
    {
        BusyCursor busy(ui_);
        staging::requireDirectory(state_.staging);

        // Opened in this order, each exclusively; whatever is open is closed again when an
        // error leaves the run.
        std::array<std::optional<dbf::Table>, kTableCount> tables;
        for (int i = 0; i < kTableCount; ++i) {
            tables[i].emplace(staging::open(state_.staging, kTableNames[i]));
        }
        checkFields(tables);

        std::string genericRoom = genericRoomName(*tables[kAulas]);

        // A file that is not well-formed stops here, before anything is written.
        state_.DocumentoXML.reset();
        state_.DocumentoXML.emplace(xml::Document::load(state_.FicheroXML));
        xml::Document& document = *state_.DocumentoXML;
        xml::Node horario = newTimetable(document, state_.FicheroXML);

        SlotWriter writer(document, horario, ui_, std::move(genericRoom));
        dbf::Table& soluc = *tables[kSoluc];
        for (soluc.first(); !soluc.eof(); soluc.next()) {
            writer.write(soluc, *tables[kTramos], *tables[kAulas], *tables[kAsig]);
        }

        // The input keeps its content: the result goes to a file of its own, written
        // through a temporary file so that a failure never leaves a truncated result.
        result = exchange::resultPath(state_.FicheroXML);
        document.save(result);

        for (auto& table : tables) {
            table->close();
            table.reset();
        }
    }

    result_ = result;
    state_.EstadoTransformacion = 1;
    ui_.showMessage(kFinalizado);
    ui_.disableDirectionButtons();
    if (state_.NumParametros == 2) ui_.closeWindow();
}

}  // namespace ttp
