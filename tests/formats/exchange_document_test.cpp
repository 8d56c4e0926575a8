// Taking values from the exchange document, each relative to its own parent.
#include "formats/exchange_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "formats/text.h"

namespace ttp::exchange {
namespace {

using ::testing::HasSubstr;
using xml::Document;
using xml::Node;

std::string ansi(const char* utf8) {
    return text::toAnsi(utf8);
}

TEST(ExchangeTest, ATeacherWithoutFullNameShiftsNobodyElse) {
    const Document doc = Document::parse(R"(<datosRVT><profesores>
  <profesor><nombre> Peña </nombre><nombreCompleto>José Peña</nombreCompleto></profesor>
  <profesor><nombre>Ruiz</nombre></profesor>
  <profesor><nombreCompleto>Sin Nombre</nombreCompleto></profesor>
  <profesor><nombre>Gil</nombre><nombreCompleto> Ana Gil </nombreCompleto></profesor>
</profesores></datosRVT>)");
    std::vector<std::pair<std::string, std::string>> read;
    for (const Node& p : doc.select(kProfesores)) {
        read.emplace_back(childText(p, "nombre"), childText(p, "nombreCompleto"));
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {ansi("Peña"), ansi("José Peña")}, {"Ruiz", ""}, {"", "Sin Nombre"}, {"Gil", "Ana Gil"}};
    EXPECT_EQ(read, expected);
}

TEST(ExchangeTest, ChildPathsOfSeveralStepsTakeTheFirstMatchInDocumentOrder) {
    const Document doc = Document::parse(R"(<datosRVT><sesionesLectivas>
  <sesion id="1"><distribucionSemanal><distribucionVariable><numSesiones> 3 </numSesiones>
  </distribucionVariable></distribucionSemanal></sesion>
  <sesion id="2"><distribucionSemanal/><distribucionSemanal><distribucionVariable>
    <numSesiones>4</numSesiones></distribucionVariable></distribucionSemanal></sesion>
  <sesion id="3"><numSesiones>9</numSesiones></sesion>
</sesionesLectivas></datosRVT>)");
    const char* const path = "distribucionSemanal/distribucionVariable/numSesiones";
    std::vector<std::string> counts;
    for (const Node& s : doc.select(kSesiones)) counts.push_back(childText(s, path));
    EXPECT_EQ(counts, (std::vector<std::string>{"3", "4", ""}));
    EXPECT_EQ(childTextRaw(doc.select(kSesiones)[0], path), " 3 ");
}

TEST(ExchangeTest, ChildTextIsTrimmedAndRawTextIsNot) {
    const Document doc = Document::parse(
        "<datosRVT><aulas><aula><nombre>\n\t Aula 1 \t\n</nombre><vacio/></aula></aulas>"
        "</datosRVT>");
    const Node aula = doc.selectFirst(kAulas);
    EXPECT_EQ(childText(aula, "nombre"), "Aula 1");
    EXPECT_EQ(childTextRaw(aula, "nombre"), "\n\t Aula 1 \t\n");
    EXPECT_EQ(childText(aula, "vacio"), "");
    EXPECT_EQ(childText(aula, "falta"), "");
    EXPECT_EQ(childTextRaw(aula, "falta"), "");
    EXPECT_EQ(childText(Node(), "nombre"), "");
}

TEST(ExchangeTest, ValuesAreWindows1252) {
    const Document doc = Document::parse(
        "<datosRVT><materias><materia> Matemáticas € 中 <b>Œ</b> </materia></materias>"
        "<grupos><grupo submarco=' Mañana '><nombre>1ºA</nombre></grupo></grupos></datosRVT>");
    const Node materia = doc.selectFirst(kMaterias);
    EXPECT_EQ(elementText(materia), "Matem\xE1ticas \x80 ? \x8C");
    const Node grupo = doc.selectFirst(kGrupos);
    EXPECT_EQ(childText(grupo, "nombre"),
              "1\xBA"
              "A");
    EXPECT_EQ(attributeNamed(grupo, "submarco"),
              "Ma\xF1"
              "ana");
    EXPECT_EQ(attributeAt(grupo, 0),
              " Ma\xF1"
              "ana ");
}

TEST(ExchangeTest, AttributesByPositionAndByName) {
    const Document doc = Document::parse(
        "<datosRVT>\n<conjuntoDeAulas><general nombre=' Genérica ' numero='12'/>"
        "</conjuntoDeAulas>\n<sesionesLectivas>\n<sesion/></sesionesLectivas></datosRVT>");
    const Node general = doc.selectFirst(kGeneral);
    EXPECT_EQ(attributeAt(general, 0), ansi(" Genérica "));
    EXPECT_EQ(attributeAt(general, 1), "12");
    EXPECT_EQ(attributeNamed(general, "nombre"), ansi("Genérica"));
    EXPECT_EQ(attributeNamed(general, "falta"), "");
    try {
        attributeAt(doc.selectFirst(kSesiones), 0);
        ADD_FAILURE() << "a missing attribute must be an error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "El elemento sesion (línea 4) no tiene atributo en la posición 0");
    }
    try {
        attributeAt(general, 2);
        ADD_FAILURE() << "a missing attribute must be an error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "El elemento general (línea 2) no tiene atributo en la posición 2");
    }
    EXPECT_THROW(attributeAt(Node(), 0), Error);
}

TEST(ExchangeTest, ElementTextIsAllTextBeneathTrimmed) {
    const Document doc = Document::parse(
        "<datosRVT><tareas><tarea>\n Guardia <i>de</i> recreo \n</tarea>"
        "</tareas></datosRVT>");
    EXPECT_EQ(elementText(doc.selectFirst(kTareas)), "Guardia de recreo");
    EXPECT_EQ(elementText(Node()), "");
}

TEST(ExchangeTest, EveryPathSelectsFromTheRoot) {
    const Document doc = Document::parse(R"(<datosRVT>
<materias><materia>M</materia></materias><tareas><tarea>T</tarea></tareas>
<profesores><profesor>P</profesor></profesores><aulas><aula>A</aula></aulas>
<conjuntoDeAulas><general>G</general></conjuntoDeAulas><grupos><grupo>Gr</grupo></grupos>
<sesionesLectivas><sesion>S</sesion></sesionesLectivas>
<marcosDeHorario><marcoHorario>F<tramo>Tr</tramo></marcoHorario></marcosDeHorario>
<horario>H</horario></datosRVT>)");
    const std::pair<std::string_view, std::string> cases[] = {
        {kRoot, "MT\nPA\nGGr\nS\nFTr\nH"},
        {kMaterias, "M"},
        {kTareas, "T"},
        {kProfesores, "P"},
        {kAulas, "A"},
        {kGeneral, "G"},
        {kGrupos, "Gr"},
        {kSesiones, "S"},
        {kMarcos, "FTr"},
        {kTramos, "Tr"},
        {kHorario, "H"},
    };
    for (const auto& [path, text] : cases) {
        const std::vector<Node> nodes = doc.select(path);
        ASSERT_EQ(nodes.size(), 1u) << path;
        EXPECT_EQ(elementText(nodes.front()), text) << path;
    }
}

TEST(ExchangeTest, ResultFileStandsBesideTheInput) {
    const std::pair<const char*, const char*> cases[] = {
        {"/x/centro.xml", "/x/ResultadoTavolexcentro.xml"},
        {"/datos/2024 curso/Centro Ñ.XML", "/datos/2024 curso/ResultadoTavolexCentro Ñ.XML"},
        {"centro.xml", "ResultadoTavolexcentro.xml"},
        {"/x/ResultadoTavolexcentro.xml", "/x/ResultadoTavolexResultadoTavolexcentro.xml"},
    };
    for (const auto& [input, result] : cases) {
        EXPECT_EQ(resultPath(input), std::filesystem::path(result)) << input;
    }
}

}  // namespace
}  // namespace ttp::exchange
