#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/error.h"
#include "formats/dbf_table.h"
#include "support/frames_fixture.h"

namespace ttp {
namespace {

using test::Row;
using test::StepHarness;
using test::writeTable;

struct Sesion {
    std::string attributes;  // e.g. numero="7"
    std::string materia;
    std::string profesor;
    std::string grupo;
    std::string tarea;
    std::optional<std::string> numSesiones;  // nothing: no such element
};

std::string sesion(const Sesion& s) {
    std::string x = "<sesion " + s.attributes + "><materia>" + s.materia + "</materia><profesor>" +
                    s.profesor + "</profesor><grupo>" + s.grupo + "</grupo><tarea>" + s.tarea +
                    "</tarea>";
    if (s.numSesiones) {
        x += "<distribucionSemanal><distribucionVariable><numSesiones>" + *s.numSesiones +
             "</numSesiones></distribucionVariable></distribucionSemanal>";
    }
    return x + "</sesion>\n";
}

// Teachers as the document lists them; the teachers step wrote one PROFT row for each, in
// this order, with the codes below (a folded one and counters among them).
const std::vector<std::pair<std::string, std::string>> kTeachers = {
    {"Ana Ruiz", "Ana Ruiz"},     {"Ana Ruiz", "Ana Ruiz1"},    {"Pedro Gomez", "Pedro Goez"},
    {"Eva Prieto", "Eva Prieto"}, {"Pedro Goez", "Pedro Goe1"},
};

// The document and the tables that the steps before this one left.
void prepare(StepHarness& h, const std::vector<Sesion>& sessions) {
    std::string body = "<profesores>";
    for (const auto& [nombre, code] : kTeachers) {
        body += "<profesor><nombre> " + nombre + " </nombre><nombreCompleto>" + nombre +
                "</nombreCompleto></profesor>";
    }
    body += "</profesores><sesionesLectivas>\n";
    for (const auto& s : sessions) body += sesion(s);
    body += "</sesionesLectivas>";
    h.load(body);

    std::vector<Row> proft;
    for (const auto& [nombre, code] : kTeachers) proft.push_back({{"ABREV", code}});
    writeTable(h.dir.path(), staging::proft(), proft);
    writeTable(h.dir.path(), staging::asignomt(),
               {{{"COD", "Matemátic"}, {"NOMBRE", "Matemáticas"}},
                {{"COD", "Lengua"}, {"NOMBRE", "Lengua"}},
                {{"COD", "Guardia"}, {"NOMBRE", "Guardia"}, {"CODTAREA", "Guardia"}},
                {{"COD", "LenguaT"}, {"NOMBRE", "Lengua"}, {"CODTAREA", "LenguaT"}}});
    writeTable(h.dir.path(), staging::grupost(),
               {{{"ABREV", "ESO1A"},
                 {"NIVEL", "ESO"},
                 {"CURSO", "1"},
                 {"GRUPO", "A"},
                 {"DESCRIP", "1º ESO A"},
                 {"MARCO", "0"}},
                {{"ABREV", "ESO2B"},
                 {"NIVEL", "ESO"},
                 {"CURSO", "2"},
                 {"GRUPO", "B"},
                 {"DESCRIP", "2º ESO B"},
                 {"MARCO", "1"}}});
}

// HORAS and PD_SESION of every ASIGT record, as numbers.
std::vector<std::pair<std::int64_t, std::int64_t>> numbers(const StepHarness& h) {
    auto table = dbf::Table::open(staging::tableFile(h.dir.path(), "ASIGT"));
    std::vector<std::pair<std::int64_t, std::int64_t>> values;
    for (table.first(); !table.eof(); table.next()) {
        values.emplace_back(table.integer("HORAS"), table.integer("PD_SESION"));
    }
    return values;
}

std::string errorOf(StepHarness& h) {
    try {
        h.run.ExportarSesiones();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

TEST(ExportarSesiones, RecordsCarryTheCodesFoundInTheStagingTables) {
    struct Case {
        Sesion in;
        // CASIG, CPROF, CGRUP, NIVEL, CURSO, GRUPO, CTAREA
        std::vector<std::string> out;
    };
    const std::vector<Case> cases = {
        {{"numero=\"1\"", "Matemáticas", "Ana Ruiz", "1º ESO A", "", "3"},
         {"Matemátic", "Ana Ruiz", "ESO1A", "ESO", "1", "A", ""}},
        // The first teacher of a name; the code of a folded name; a name before a code.
        {{"numero=\"2\"", "Lengua", "Pedro Gomez", "2º ESO B", "Guardia", "3"},
         {"Lengua", "Pedro Goez", "ESO2B", "ESO", "2", "B", "Guardia"}},
        {{"numero=\"3\"", "Lengua", "Pedro Goez", "", "", "3"},
         {"Lengua", "Pedro Goe1", "", "", "", "", ""}},
        // No teacher of that name: the text is taken as a code.
        {{"numero=\"4\"", "Guardia", "Ana Ruiz1", "1º ESO A", "LenguaT", "3"},
         {"Guardia", "Ana Ruiz1", "ESO1A", "ESO", "1", "A", "LenguaT"}},
        // Look-ups tell letter case apart; unknowns leave their fields empty.
        {{"numero=\"5\"", "Matemáticas", "ana ruiz", "1º eso a", "guardia", "3"},
         {"Matemátic", "", "", "", "", "", ""}},
        {{"numero=\"6\"", "Matemáticas", "Nadie", "9º ESO Z", "Lengua", "3"},
         {"Matemátic", "", "", "", "", "", "Lengua"}},
    };
    std::vector<Sesion> sessions;
    for (const auto& c : cases) sessions.push_back(c.in);
    StepHarness h;
    prepare(h, sessions);
    h.run.ExportarSesiones();

    const auto rows = h.rows("ASIGT");
    ASSERT_EQ(rows.size(), cases.size());
    const std::vector<std::string> fields = {"CASIG", "CPROF", "CGRUP", "NIVEL",
                                             "CURSO", "GRUPO", "CTAREA"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].in.attributes);
        std::vector<std::string> got;
        for (const auto& f : fields) got.push_back(rows[i].at(f));
        EXPECT_EQ(got, cases[i].out);
        EXPECT_EQ(rows[i].at("CAULA"), "");
        EXPECT_EQ(rows[i].at("TURNO"), "");
        EXPECT_EQ(rows[i].at("NCONEX"), "");
    }
    EXPECT_EQ(h.ui.notices, (std::vector<std::string>{
                                "sesión 5: profesor 'ana ruiz' no encontrado",
                                "sesión 5: grupo '1º eso a' no encontrado",
                                "sesión 5: tarea 'guardia' no encontrada",
                                "sesión 6: profesor 'Nadie' no encontrado",
                                "sesión 6: grupo '9º ESO Z' no encontrado",
                            }));
}

TEST(ExportarSesiones, WeeklyCountGivesHorasAndSesiones) {
    struct Case {
        std::optional<std::string> count;
        std::int64_t horas;
        std::string sesiones;
    };
    const std::vector<Case> cases = {
        {std::nullopt, 1, "1"},
        {"", 1, "1"},
        {"  ", 1, "1"},
        {"3", 3, "111"},
        {"13", 13, std::string(13, '1')},
        {"14", 14, "1" + std::string(13, '1')},
        {"15", 15, "2" + std::string(13, '1')},
        {"25", 25, "12" + std::string(13, '1')},
        {"0", 0, ""},
        {"-2", -2, ""},
    };
    std::vector<Sesion> sessions;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        sessions.push_back(
            {"numero=\"" + std::to_string(100 + i) + "\"", "Lengua", "", "", "", cases[i].count});
    }
    StepHarness h;
    prepare(h, sessions);
    h.run.ExportarSesiones();

    const auto rows = h.rows("ASIGT");
    const auto nums = numbers(h);
    ASSERT_EQ(rows.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].count.value_or("(none)"));
        EXPECT_EQ(rows[i].at("SESIONES"), cases[i].sesiones);
        EXPECT_EQ(nums[i].first, cases[i].horas);
        EXPECT_EQ(nums[i].second, static_cast<std::int64_t>(100 + i));
    }
    EXPECT_TRUE(h.ui.notices.empty());
}

TEST(ExportarSesiones, SessionsOfUnknownSubjectsAreLeftOutWithANotice) {
    StepHarness h;
    prepare(h, {{"numero=\"17\"", "Xyz", "Ana Ruiz", "1º ESO A", "", "2"},
                {"numero=\"18\"", "matemáticas", "", "", "", "2"},
                // Never converted: the session is left out before its number is read.
                {"numero=\"diecinueve\"", "Astronomía", "", "", "", "x"},
                {"numero=\"20\"", "Matemáticas", "", "", "", "2"}});
    h.run.ExportarSesiones();
    EXPECT_EQ(numbers(h), (std::vector<std::pair<std::int64_t, std::int64_t>>{{2, 20}}));
    EXPECT_EQ(h.ui.notices, (std::vector<std::string>{
                                "sesión 17: materia 'Xyz' desconocida; se omite",
                                "sesión 18: materia 'matemáticas' desconocida; se omite",
                                "sesión diecinueve: materia 'Astronomía' desconocida; se omite",
                            }));
}

TEST(ExportarSesiones, SessionNumberIsTheFirstAttributeAsADecimalInteger) {
    StepHarness h;
    prepare(h, {{"id=\"42\" numero=\"7\"", "Lengua", "", "", "", "1"},
                {"numero=\" 43 \"", "Lengua", "", "", "", "1"},
                {"numero=\"-2147483647\"", "Lengua", "", "", "", "1"}});
    h.run.ExportarSesiones();
    EXPECT_EQ(numbers(h), (std::vector<std::pair<std::int64_t, std::int64_t>>{
                              {1, 42}, {1, 43}, {1, -2147483647LL}}));
}

TEST(ExportarSesiones, BadValuesStopTheStepKeepingTheRecordsBefore) {
    struct Case {
        const char* name;
        Sesion bad;
        std::vector<std::string> inMessage;
    };
    const std::vector<Case> cases = {
        {"count not a number",
         {"numero=\"2\"", "Lengua", "", "", "", "tres"},
         {"'tres' no es un valor entero válido", "numSesiones", "línea 4"}},
        {"count with decimals", {"numero=\"2\"", "Lengua", "", "", "", "2.5"}, {"'2.5'"}},
        {"number not a number",
         {"numero=\"dos\"", "Lengua", "", "", "", "1"},
         {"'dos' no es un valor entero válido", "línea 4"}},
        {"number out of range",
         {"numero=\"2147483648\"", "Lengua", "", "", "", "1"},
         {"'2147483648' no es un valor entero válido"}},
        {"number the table cannot hold",
         {"numero=\"-2147483648\"", "Lengua", "", "", "", "1"},
         {"'-2147483648'", "PD_SESION", "línea 4"}},
        {"no attribute", {"", "Lengua", "", "", "", "1"}, {"sesion", "línea 4", "posición 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StepHarness h;
        prepare(h, {{"numero=\"1\"", "Lengua", "", "", "", "1"},
                    c.bad,
                    {"numero=\"3\"", "Lengua", "", "", "", "1"}});
        const std::string message = errorOf(h);
        ASSERT_FALSE(message.empty());
        for (const auto& part : c.inMessage) {
            EXPECT_NE(message.find(part), std::string::npos) << message;
        }
        EXPECT_EQ(numbers(h), (std::vector<std::pair<std::int64_t, std::int64_t>>{{1, 1}}));
    }
}

TEST(ExportarSesiones, NoSessionsGiveAnEmptyTableWithItsFields) {
    StepHarness h;
    prepare(h, {});
    h.run.ExportarSesiones();
    EXPECT_TRUE(h.rows("ASIGT").empty());
    EXPECT_EQ(
        test::readFieldNames(h.dir.path(), "ASIGT"),
        (std::vector<std::string>{"CASIG", "CPROF", "CGRUP", "CAULA", "TURNO", "NIVEL", "CURSO",
                                  "GRUPO", "HORAS", "SESIONES", "NCONEX", "CTAREA", "PD_SESION"}));
}

TEST(ExportarSesiones, AMissingLookUpTableStopsTheStep) {
    StepHarness h;
    prepare(h, {{"numero=\"1\"", "Lengua", "", "", "", "1"}});
    std::filesystem::remove(staging::tableFile(h.dir.path(), "GRUPOST"));
    EXPECT_THROW(h.run.ExportarSesiones(), Error);
}

// The whole export of the sample school: every session of a known subject is written, and
// the awkward teachers (a shared name, a folded code, blanks around a name) are all found.
TEST(ExportarSesiones, SampleSchoolFindsEveryKnownTeacher) {
    const std::filesystem::path sample =
        std::string(TTP_SOURCE_DIR) + "/samples/centro-ejemplo.xml";
    StepHarness h;
    h.ui.files.push_back(sample);
    FrameDialogResult both;
    both.SeleccionValida = true;
    both.MarcosSeleccionados = "1         2         ";
    h.ui.frameAnswers.push_back(both);
    h.run.BExportarClick();
    ASSERT_EQ(h.ui.messages, (std::vector<std::string>{"Proceso finalizado"}));

    // PROFT holds one row per profesor, in document order.
    const auto doc = xml::Document::load(sample);
    const auto profesores = doc.select("/datosRVT/profesores/profesor");
    const auto proft = test::readColumn(h.dir.path(), "PROFT", "ABREV");
    ASSERT_EQ(proft.size(), profesores.size());
    std::map<std::string, std::string> firstCode;  // trimmed nombre → code
    for (std::size_t k = 0; k < proft.size(); ++k) {
        firstCode.emplace(text::trim(profesores[k].firstChild("nombre").text()), proft[k]);
    }

    std::map<std::string, std::string> teacherOf;  // session number → profesor text
    for (const auto& s : doc.select("/datosRVT/sesionesLectivas/sesion")) {
        teacherOf[*s.attributeAt(0)] = text::trim(s.firstChild("profesor").text());
    }
    const auto rows = h.rows("ASIGT");
    const auto nums = numbers(h);
    ASSERT_EQ(rows.size(), teacherOf.size() - 1);  // one session has an unknown subject
    std::set<std::string> codesUsed;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& teacher = teacherOf.at(std::to_string(nums[i].second));
        SCOPED_TRACE(teacher);
        const auto code = firstCode.find(teacher);
        EXPECT_EQ(rows[i].at("CPROF"), code == firstCode.end() ? "" : code->second);
        codesUsed.insert(rows[i].at("CPROF"));
    }
    // The shared name goes to the first of its teachers, never to the second.
    EXPECT_TRUE(codesUsed.count("Martín P."));
    EXPECT_FALSE(codesUsed.count("Martín P.1"));
    EXPECT_TRUE(codesUsed.count("FernándeR."));
    EXPECT_EQ(h.ui.notices.size(), 3u);
}

}  // namespace
}  // namespace ttp
