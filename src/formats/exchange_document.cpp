#include "formats/exchange_document.h"

#include <string>
#include <vector>

#include "core/error.h"
#include "formats/text.h"

namespace ttp::exchange {
namespace {

// The first element, in document order, that the relative path of child steps selects
// under `parent` ("a/b/c": the first c under any b under any a).
xml::Node firstAlong(const xml::Node& parent, std::string_view path) {
    if (!parent) return {};
    const std::size_t slash = path.find('/');
    const std::string_view step = path.substr(0, slash);
    if (slash == std::string_view::npos) return parent.firstChild(step);
    const std::string_view rest = path.substr(slash + 1);
    for (const xml::Node& child : parent.children(step)) {
        if (xml::Node found = firstAlong(child, rest)) return found;
    }
    return {};
}

}  // namespace

std::string elementText(const xml::Node& element) {
    return text::trim(text::toAnsi(element.text()));
}

std::string childText(const xml::Node& parent, std::string_view child) {
    return text::trim(childTextRaw(parent, child));
}

std::string childTextRaw(const xml::Node& parent, std::string_view child) {
    const xml::Node found = firstAlong(parent, child);
    return found ? text::toAnsi(found.text()) : std::string();
}

std::string attributeAt(const xml::Node& element, std::size_t position) {
    if (!element) {
        throw Error("No hay elemento del que leer el atributo en la posición " +
                    std::to_string(position));
    }
    if (const auto value = element.attributeAt(position)) return text::toAnsi(*value);
    std::string where = "El elemento " + element.name();
    if (element.line() > 0) where += " (línea " + std::to_string(element.line()) + ")";
    throw Error(where + " no tiene atributo en la posición " + std::to_string(position));
}

std::string attributeNamed(const xml::Node& element, std::string_view name) {
    const auto value = element.attribute(name);
    return value ? text::trim(text::toAnsi(*value)) : std::string();
}

std::filesystem::path resultPath(const std::filesystem::path& input) {
    return input.parent_path() / ("ResultadoTavolex" + input.filename().string());
}

}  // namespace ttp::exchange
