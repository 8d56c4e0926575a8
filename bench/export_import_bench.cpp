// How export and import grow with the size of the school. The converter is meant to stay
// linear in the document: each path is selected once and every look-up is hashed.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "core/interaction.h"
#include "core/run_state.h"
#include "export/export_run.h"
#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "import/import_run.h"

namespace {

namespace fs = std::filesystem;

class QuietInteraction : public ttp::Interaction {
  public:
    explicit QuietInteraction(fs::path file) : file_(std::move(file)) {}
    void showMessage(std::string_view) override {}
    std::optional<fs::path> chooseXmlFile() override { return file_; }
    ttp::FrameDialogResult showFrameDialog(const fs::path&) override {
        return {true, "1         2         "};
    }
    void setBusy(bool) override {}
    void disableDirectionButtons() override {}
    void closeWindow() override {}

  private:
    fs::path file_;
};

// A folder of its own under the temporary folder, removed with what it holds.
struct Scratch {
    fs::path dir;
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "ttp-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
        dir = pattern;
        fs::create_directory(dir / "TTEMP");
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

std::string hour(int h) {
    return (h < 10 ? "0" : "") + std::to_string(h);
}

// An invented school with `sessions` teaching sessions and proportionate teachers, rooms,
// groups and subjects, over two time frames of 30 slots each. Teachers' names differ within
// their first 8 characters, as real ones do; subjects share their first 10, so their codes
// take counters.
void writeSchool(const fs::path& file, int sessions) {
    const int teachers = std::max(2, sessions / 10);
    const int rooms = std::max(2, sessions / 20);
    const int groups = std::max(2, sessions / 12);
    const int subjects = std::max(2, sessions / 40);
    std::ofstream out(file, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<datosRVT>\n<materias>";
    for (int i = 0; i < subjects; ++i) out << "<materia>Materia número " << i << "</materia>";
    out << "</materias>\n<tareas><tarea>Guardia</tarea></tareas>\n<profesores>";
    for (int i = 0; i < teachers; ++i) {
        out << "<profesor><nombre>" << i << " Pérez</nombre><nombreCompleto>Profesor " << i
            << " Pérez</nombreCompleto></profesor>";
    }
    out << "</profesores>\n<aulas>";
    for (int i = 0; i < rooms; ++i) out << "<aula><nombre>Aula " << i << "</nombre></aula>";
    out << "</aulas>\n<conjuntoDeAulas><general nombre=\"Genérica\" numero=\"5\"/>"
           "</conjuntoDeAulas>\n<grupos>";
    for (int i = 0; i < groups; ++i) {
        out << "<grupo submarco=\"" << 1 + i % 2 << "\"><nombre>Grupo " << i
            << "</nombre><nivel>ESO</nivel><curso>" << i / 26 << "</curso><unidad>"
            << static_cast<char>('A' + i % 26) << "</unidad></grupo>";
    }
    out << "</grupos>\n<sesionesLectivas>";
    for (int i = 0; i < sessions; ++i) {
        out << "<sesion numero=\"" << i + 1 << "\"><materia>Materia número " << i % subjects
            << "</materia><profesor>" << i % teachers << " Pérez</profesor><grupo>Grupo "
            << i % groups
            << "</grupo><tarea></tarea><distribucionSemanal><distribucionVariable>"
               "<numSesiones>3</numSesiones></distribucionVariable></distribucionSemanal>"
               "</sesion>";
    }
    out << "</sesionesLectivas>\n<marcosDeHorario>";
    for (int frame = 1; frame <= 2; ++frame) {
        out << "<marcoHorario id=\"" << frame << "\">";
        for (int day = 0; day < 5; ++day) {
            for (int slot = 1; slot <= 6; ++slot) {
                out << "<tramo><submarco>" << frame << "</submarco><dia>" << day << "</dia><indice>"
                    << slot << "</indice><horaEntrada>" << hour(7 + slot)
                    << ":00</horaEntrada><horaSalida>" << hour(7 + slot)
                    << ":55</horaSalida><Tipo>Lectivo</Tipo></tramo>";
            }
        }
        out << "</marcoHorario>";
    }
    out << "</marcosDeHorario>\n</datosRVT>\n";
}

// A solution placing every ASIGT row once.
void writeSoluc(const fs::path& staging) {
    ttp::dbf::Table::create(staging / "SOLUC.DBF",
                            {{"DIA", ttp::dbf::FieldType::Integer},
                             {"HORA", ttp::dbf::FieldType::Integer},
                             {"MARCO", ttp::dbf::FieldType::Character, 1},
                             {"AULA", ttp::dbf::FieldType::Character, 10},
                             {"ASIG", ttp::dbf::FieldType::Character, 10},
                             {"CODGRUPO", ttp::dbf::FieldType::Character, 10},
                             {"PROF", ttp::dbf::FieldType::Character, 10}});
    auto soluc = ttp::staging::open(staging, "SOLUC");
    auto asigt = ttp::staging::open(staging, "ASIGT");
    int n = 0;
    for (asigt.first(); !asigt.eof(); asigt.next(), ++n) {
        soluc.append();
        soluc.setInteger("DIA", 1 + n % 5);
        soluc.setInteger("HORA", 1 + n % 6);
        soluc.setText("MARCO", n % 2 ? "1" : "0");
        soluc.setText("AULA", n % 4 ? "Aula 1" : "");
        soluc.setText("ASIG", asigt.text("CASIG"));
        soluc.setText("CODGRUPO", asigt.text("CGRUP"));
        soluc.setText("PROF", asigt.text("CPROF"));
        soluc.post();
    }
}

void exportSchool(const fs::path& file, const fs::path& staging) {
    ttp::RunState state;
    state.staging = staging;
    QuietInteraction ui(file);
    ttp::ExportRun(state, ui).BExportarClick();
    if (state.EstadoTransformacion != 1) throw std::runtime_error("export did not complete");
}

void BM_Export(benchmark::State& st) {
    Scratch scratch;
    const fs::path file = scratch.dir / "centro.xml";
    writeSchool(file, static_cast<int>(st.range(0)));
    for (auto _ : st) exportSchool(file, scratch.dir / "TTEMP");
    st.SetComplexityN(st.range(0));
}
BENCHMARK(BM_Export)
    ->RangeMultiplier(4)
    ->Range(250, 16000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_Import(benchmark::State& st) {
    Scratch scratch;
    const fs::path file = scratch.dir / "centro.xml";
    writeSchool(file, static_cast<int>(st.range(0)));
    exportSchool(file, scratch.dir / "TTEMP");
    writeSoluc(scratch.dir / "TTEMP");
    for (auto _ : st) {
        ttp::RunState state;
        state.staging = scratch.dir / "TTEMP";
        QuietInteraction ui(file);
        ttp::ImportRun(state, ui).BImportarClick();
    }
    st.SetComplexityN(st.range(0));
}
BENCHMARK(BM_Import)
    ->RangeMultiplier(4)
    ->Range(250, 16000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
