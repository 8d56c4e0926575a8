#pragma once

#include <libxml/tree.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dbf_table.h"
#include "formats/staging_tables.h"
#include "formats/text.h"
#include "formats/xml_document.h"
#include "support/export_fixture.h"
#include "support/files.h"

// Helpers for tests of the import: staging tables filled from plain rows, and the `horario`
// of a result file read back as plain values with its shape checked on the way.
namespace ttp::test {

// Field name to value (UTF-8); fields not named stay blank.
using Values = std::map<std::string, std::string>;

// Creates `file` with these fields and appends the rows.
inline void writeTable(const std::filesystem::path& file, const std::vector<dbf::FieldDef>& fields,
                       const std::vector<Values>& rows) {
    dbf::Table::create(file, fields);
    dbf::Table table = dbf::Table::open(file);
    for (const Values& row : rows) {
        table.append();
        for (const auto& [field, value] : row) table.setText(field, text::toAnsi(value));
        table.post();
    }
    table.close();
}

// A staging table of the export with its own field list.
inline void writeStaging(const std::filesystem::path& dir, const staging::TableDef& def,
                         const std::vector<Values>& rows) {
    writeTable(dir / (std::string(def.name) + ".DBF"), def.fields, rows);
}

inline dbf::FieldDef charField(std::string name, int width) {
    return {std::move(name), dbf::FieldType::Character, width};
}
inline dbf::FieldDef numField(std::string name, dbf::FieldType type) {
    return {std::move(name), type, 0};
}

// SOLUC as the timetabler writes it, DIA and HORA of the given numeric type.
inline std::vector<dbf::FieldDef> solucFields(dbf::FieldType numeric = dbf::FieldType::Integer) {
    return {numField("DIA", numeric), numField("HORA", numeric), charField("MARCO", 1),
            charField("AULA", 10),    charField("ASIG", 10),     charField("CODGRUPO", 10),
            charField("PROF", 10),    charField("TURNO", 1),     charField("NIVEL", 5),
            charField("CURSO", 3),    charField("GRUPO", 2),     charField("TAREA", 10),
            charField("SESIONES", 20)};
}

// A SOLUC row from its seven fields read by the import.
inline Values soluc(std::string dia, std::string hora, std::string marco, std::string aula,
                    std::string asig, std::string codgrupo, std::string prof) {
    return {{"DIA", dia},   {"HORA", hora},         {"MARCO", marco}, {"AULA", aula},
            {"ASIG", asig}, {"CODGRUPO", codgrupo}, {"PROF", prof}};
}

// One `tramo` of a result as plain values. The room is "id=NAME", "anonima=NAME" or "".
struct Tramo {
    std::string dia, indice, marco, aula, sesion, profesor;
    bool operator==(const Tramo&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Tramo& t) {
    return os << "{dia=" << t.dia << " indice=" << t.indice << " marco=" << t.marco
              << " aula=" << t.aula << " sesion=" << t.sesion << " profesor=" << t.profesor << "}";
}

inline std::string xmlName(const xmlNode* n) {
    return reinterpret_cast<const char*>(n->name);
}

inline std::vector<const xmlNode*> elementChildren(const xmlNode* parent) {
    std::vector<const xmlNode*> out;
    for (const xmlNode* c = parent->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) out.push_back(c);
    }
    return out;
}

inline std::vector<std::pair<std::string, std::string>> attributes(const xmlNode* n) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const xmlAttr* a = n->properties; a; a = a->next) {
        xmlChar* v = xmlNodeGetContent(reinterpret_cast<const xmlNode*>(a));
        out.emplace_back(reinterpret_cast<const char*>(a->name),
                         v ? reinterpret_cast<const char*>(v) : "");
        xmlFree(v);
    }
    return out;
}

inline std::string content(const xmlNode* n) {
    xmlChar* v = xmlNodeGetContent(n);
    std::string s = v ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return s;
}

// The slots under `horario`, each checked to have exactly the shape the school-management
// program reads: `tramo` with dia, indice, marco in that order and one child `aula` with at
// most one attribute (id or anonima) and the children `sesion` and `profesor`, in that order.
// A slot of another shape comes back with a description of what is wrong in `aula`.
inline std::vector<Tramo> readTramos(const xml::Node& horario) {
    std::vector<Tramo> out;
    for (const xmlNode* tramo : elementChildren(horario.raw())) {
        Tramo t;
        const auto attrs = attributes(tramo);
        auto children = elementChildren(tramo);
        if (xmlName(tramo) != "tramo" || attrs.size() != 3 || attrs[0].first != "dia" ||
            attrs[1].first != "indice" || attrs[2].first != "marco" || children.size() != 1 ||
            xmlName(children[0]) != "aula") {
            t.aula = "BAD SHAPE: " + xmlName(tramo);
            out.push_back(t);
            continue;
        }
        t.dia = attrs[0].second;
        t.indice = attrs[1].second;
        t.marco = attrs[2].second;
        const xmlNode* aula = children[0];
        const auto aulaAttrs = attributes(aula);
        auto inner = elementChildren(aula);
        if (aulaAttrs.size() > 1 || inner.size() != 2 || xmlName(inner[0]) != "sesion" ||
            xmlName(inner[1]) != "profesor" ||
            (aulaAttrs.size() == 1 && aulaAttrs[0].first != "id" &&
             aulaAttrs[0].first != "anonima")) {
            t.aula = "BAD SHAPE: aula";
            out.push_back(t);
            continue;
        }
        if (aulaAttrs.size() == 1) t.aula = aulaAttrs[0].first + "=" + aulaAttrs[0].second;
        t.sesion = content(inner[0]);
        t.profesor = content(inner[1]);
        out.push_back(t);
    }
    return out;
}

// The `horario` children of the root, in document order.
inline std::vector<xml::Node> horarios(const xml::Document& doc) {
    return doc.select("/datosRVT/horario");
}

}  // namespace ttp::test
