#include "formats/xml_document.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xmlversion.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/error.h"

namespace ttp::xml {
namespace {

// Parser options: keep the document as written (no blank removal, entity references kept as
// references, CDATA kept), never fetch a DTD or an external entity, never touch the network.
// Errors are collected through the parser context only; nothing is printed.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;

// Upper bound for the text that the entity references of one document may expand to. The
// exchange document needs no entities at all; this leaves room for harmless uses while a
// "billion laughs" document is refused before anything reads its text.
constexpr std::size_t kMaxEntityExpansion = 1u << 20;

const xmlChar* xc(const std::string& s) {
    return reinterpret_cast<const xmlChar*>(s.c_str());
}
const char* cc(const xmlChar* s) {
    return reinterpret_cast<const char*>(s);
}

struct XmlCharFree {
    void operator()(xmlChar* p) const { xmlFree(p); }
};
using XmlString = std::unique_ptr<xmlChar, XmlCharFree>;

std::string take(xmlChar* p) {
    XmlString owned(p);
    return owned ? std::string(cc(owned.get())) : std::string();
}

struct ParserCtxtFree {
    void operator()(xmlParserCtxt* p) const { xmlFreeParserCtxt(p); }
};
struct BufferFree {
    void operator()(xmlBuffer* p) const { xmlBufferFree(p); }
};

// Qualified name ("prefix:local" or "local") of an element or attribute.
std::string qualifiedName(const xmlNode* node) {
    std::string name = node->name ? cc(node->name) : "";
    if (node->ns != nullptr && node->ns->prefix != nullptr) {
        return std::string(cc(node->ns->prefix)) + ":" + name;
    }
    return name;
}

bool isElementNamed(const xmlNode* node, std::string_view name) {
    return node->type == XML_ELEMENT_NODE && qualifiedName(node) == name;
}

std::vector<std::string> splitSteps(std::string_view path) {
    std::vector<std::string> steps;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        if (end == start) {
            throw std::invalid_argument("XML path with an empty step: " + std::string(path));
        }
        steps.emplace_back(path.substr(start, end - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return steps;
}

std::string trimMessage(const char* message) {
    std::string s = message ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string systemReason(int error) {
    switch (error) {
        case ENOENT:
            return "no existe";
        case EACCES:
        case EPERM:
            return "permiso denegado";
        case EISDIR:
            return "es una carpeta";
        case ENOTDIR:
            return "la carpeta no existe";
        case ENOSPC:
            return "no queda espacio en el disco";
        case EROFS:
            return "el disco es de solo lectura";
        default:
            return std::strerror(error);
    }
}

std::string invalidDocument(const std::string& name, long line, const std::string& reason) {
    std::ostringstream msg;
    msg << "El archivo " << name << " no es un documento XML válido";
    if (line > 0) msg << " (línea " << line << ")";
    msg << ": " << reason;
    return msg.str();
}

// The first error the parser reports, and the first fatal one: later errors are mostly
// consequences of those.
struct ParseError {
    bool set = false;
    long line = 0;
    std::string message;
};
struct ParseErrors {
    ParseError first;
    ParseError firstFatal;
};

// libxml2 2.12 made the error handed to handlers const.
#if LIBXML_VERSION >= 21200
using ErrorArgument = const xmlError*;
#else
using ErrorArgument = xmlErrorPtr;
#endif

void recordError(void* userData, ErrorArgument error) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
    auto* errors = ctxt ? static_cast<ParseErrors*>(ctxt->_private) : nullptr;
    if (errors == nullptr || error == nullptr || error->level < XML_ERR_ERROR) return;
    auto keep = [error](ParseError& e) {
        if (e.set) return;
        e.set = true;
        e.line = error->line;
        e.message = trimMessage(error->message);
    };
    keep(errors->first);
    if (error->level == XML_ERR_FATAL) keep(errors->firstFatal);
}

// Expanded size of internal general entities, computed from their replacement text.
// Saturates at the bound; a reference cycle counts as over the bound.
class EntitySizes {
  public:
    explicit EntitySizes(xmlDoc* doc) : doc_(doc) {}

    std::size_t ofEntity(const xmlChar* name) {
        const std::string key = cc(name);
        if (const auto it = sizes_.find(key); it != sizes_.end()) {
            return it->second == kInProgress ? kOver : it->second;
        }
        xmlEntity* ent = xmlGetDocEntity(doc_, name);
        if (ent == nullptr || ent->content == nullptr ||
            ent->etype != XML_INTERNAL_GENERAL_ENTITY) {
            // Predefined, unknown or external (never loaded): at most the reference itself.
            return key.size() + 2;
        }
        // Nesting deeper than any sound document needs counts as over the bound (and keeps
        // this recursion shallow).
        if (depth_ >= kMaxNesting) return kOver;
        sizes_[key] = kInProgress;
        ++depth_;
        const std::size_t size = ofText(cc(ent->content));
        --depth_;
        sizes_[key] = size;
        return size;
    }

    std::size_t ofText(std::string_view text) {
        std::size_t total = 0;
        std::size_t i = 0;
        while (i < text.size()) {
            const std::size_t amp = text.find('&', i);
            if (amp == std::string_view::npos) {
                total = add(total, text.size() - i);
                break;
            }
            total = add(total, amp - i);
            const std::size_t semi = text.find(';', amp);
            if (semi == std::string_view::npos) {
                total = add(total, text.size() - amp);
                break;
            }
            const std::string ref(text.substr(amp + 1, semi - amp - 1));
            if (!ref.empty() && ref[0] != '#') {
                total = add(total, ofEntity(xc(ref)));
            } else {
                total = add(total, semi - amp + 1);
            }
            i = semi + 1;
            if (total >= kOver) return kOver;
        }
        return total;
    }

    static std::size_t add(std::size_t a, std::size_t b) {
        return (a >= kOver || b >= kOver || a + b >= kOver) ? kOver : a + b;
    }

    static constexpr std::size_t kOver = kMaxEntityExpansion + 1;

  private:
    static constexpr std::size_t kInProgress = static_cast<std::size_t>(-1);
    static constexpr int kMaxNesting = 40;
    xmlDoc* doc_;
    int depth_ = 0;
    std::map<std::string, std::size_t> sizes_;
};

// Sums the expansion of every entity reference in the tree (element content and attribute
// values). Returns the line of the element where the bound is passed, or 0 when it is not.
long entityExpansionOverflowLine(xmlDoc* doc) {
    if (doc->intSubset == nullptr && doc->extSubset == nullptr) return 0;
    EntitySizes sizes(doc);
    std::size_t total = 0;
    xmlNode* element = nullptr;

    auto visitList = [&](xmlNode* first) -> bool {
        for (xmlNode* n = first; n != nullptr; n = n->next) {
            if (n->type == XML_ENTITY_REF_NODE) {
                total = EntitySizes::add(total, sizes.ofEntity(n->name));
                if (total >= EntitySizes::kOver) return false;
            }
        }
        return true;
    };

    // Iterative walk over elements, so deep documents cannot exhaust the stack.
    xmlNode* node = xmlDocGetRootElement(doc);
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE) {
            element = node;
            for (xmlAttr* a = node->properties; a != nullptr; a = a->next) {
                if (!visitList(a->children)) return std::max(1L, xmlGetLineNo(element));
            }
            if (!visitList(node->children)) return std::max(1L, xmlGetLineNo(element));
        }
        // Descend into elements only; entity content is counted through the references.
        xmlNode* next = nullptr;
        if (node->type == XML_ELEMENT_NODE) {
            for (xmlNode* c = node->children; c != nullptr; c = c->next) {
                if (c->type == XML_ELEMENT_NODE) {
                    next = c;
                    break;
                }
            }
        }
        while (next == nullptr && node != nullptr) {
            for (xmlNode* s = node->next; s != nullptr; s = s->next) {
                if (s->type == XML_ELEMENT_NODE) {
                    next = s;
                    break;
                }
            }
            if (next == nullptr) {
                node = node->parent;
                if (node == nullptr || node->type != XML_ELEMENT_NODE) node = nullptr;
            }
        }
        node = next;
    }
    return 0;
}

// Text as XML 1.0 can hold it: well-formed UTF-8 of characters the format allows. Anything
// else (a control character from a table value, a broken byte) becomes '?', as characters a
// code page lacks do; written as it stands it would make the saved file unreadable.
std::string xmlSafeText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        char32_t least = 0;
        if (b < 0x80) {
            length = 1;
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            length = 2;
            cp = b & 0x1F;
            least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3;
            cp = b & 0x0F;
            least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4;
            cp = b & 0x07;
            least = 0x10000;
        }
        std::size_t taken = 1;
        bool ok = length != 0;
        for (; ok && taken < length; ++taken) {
            if (i + taken >= utf8.size() ||
                (static_cast<unsigned char>(utf8[i + taken]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + taken]) & 0x3F);
        }
        const bool allowed = ok && cp >= least &&
                             (cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
                              (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF));
        if (allowed) {
            out.append(utf8.substr(i, length));
        } else {
            out += '?';
        }
        i += taken;
    }
    return out;
}

std::string validName(std::string_view name) {
    std::string n(name);
    if (n.empty() || xmlValidateName(xc(n), 0) != 0) {
        throw std::invalid_argument("not an XML name: " + n);
    }
    return n;
}

// What a document carries beside libxml2's tree, kept in the document's private pointer so
// that Node handles reach it:
// - elements made by createElement that are not (or no longer) in the tree: they belong to
//   the document until they are appended, and the document frees those left over;
// - whether the file began with a UTF-8 byte order mark, which libxml2 does not write back.
struct Extras {
    std::vector<xmlNode*> detached;
    bool utf8Mark = false;
};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

Extras* extrasOf(const xmlDoc* doc) {
    return static_cast<Extras*>(doc->_private);
}

Extras& ensureExtras(xmlDoc* doc) {
    if (doc->_private == nullptr) doc->_private = new Extras();
    return *extrasOf(doc);
}

void forgetDetached(xmlDoc* doc, xmlNode* node) {
    if (Extras* extras = extrasOf(doc)) {
        auto& list = extras->detached;
        const auto it = std::find(list.rbegin(), list.rend(), node);
        if (it != list.rend()) list.erase(std::next(it).base());
    }
}

// Makes sure a mutation has a node to work on.
xmlNode* need(xmlNode* node, const char* operation) {
    if (node == nullptr) throw std::logic_error(std::string(operation) + " on an empty node");
    return node;
}

std::string attributeValue(const xmlAttr* attr) {
    return take(xmlNodeListGetString(attr->doc, attr->children, 1));
}

std::string saveError(const std::filesystem::path& file, const std::string& reason) {
    return "No se puede guardar el archivo " + file.string() + ": " + reason;
}

// A temporary file beside the target; removed unless it was renamed over the target.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::filesystem::path& target) : target_(target) {
        const std::filesystem::path folder =
            target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
        std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
        fd_ = ::mkstemp(pattern.data());
        if (fd_ < 0) throw Error(saveError(target_, systemReason(errno)));
        path_ = pattern;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }

    void write(const std::string& bytes) {
        const char* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                fail();
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }

    // Durable contents with the target's permissions (or the usual ones for a new file),
    // then the rename that replaces the target in one step.
    void commit() {
        struct stat existing {};
        const mode_t mode =
            ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
        if (::fchmod(fd_, mode) != 0) fail();
        if (::fsync(fd_) != 0) fail();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) fail();
        if (::rename(path_.c_str(), target_.c_str()) != 0) fail();
        committed_ = true;
        // Make the rename itself durable; the file is already complete either way.
        const std::filesystem::path folder =
            target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

  private:
    [[noreturn]] void fail() const { throw Error(saveError(target_, systemReason(errno))); }

    std::filesystem::path target_;
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

std::string readWholeFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw Error("No se puede leer el archivo " + file.string() + ": " + systemReason(errno));
    }
    std::string content;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw Error("No se puede leer el archivo " + file.string() + ": " +
                        systemReason(error));
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

// The document in its own encoding, unformatted. A document that declared none is UTF-8 and
// is written as such with a declaration saying so; left without an encoding, libxml2 would
// write every non-ASCII character as a character reference.
bool dump(xmlDoc* doc, std::string& out) {
    std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
    if (!buffer) throw std::bad_alloc();
    const char* encoding = doc->encoding ? cc(doc->encoding) : "UTF-8";
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer.get(), encoding, XML_SAVE_AS_XML);
    if (save == nullptr) return false;
    const long written = xmlSaveDoc(save, doc);
    const int closed = xmlSaveClose(save);
    if (written < 0 || closed < 0) return false;
    out.clear();
    const Extras* extras = extrasOf(doc);
    if (extras != nullptr && extras->utf8Mark &&
        xmlStrcasecmp(reinterpret_cast<const xmlChar*>(encoding),
                      reinterpret_cast<const xmlChar*>("UTF-8")) == 0) {
        out = kUtf8Mark;
    }
    out.append(cc(xmlBufferContent(buffer.get())),
               static_cast<std::size_t>(xmlBufferLength(buffer.get())));
    return true;
}

}  // namespace

// ---- Node ----

std::string Node::name() const {
    return node_ ? qualifiedName(node_) : std::string();
}

long Node::line() const {
    if (node_ == nullptr) return 0;
    const long line = xmlGetLineNo(node_);
    return line > 0 ? line : 0;
}

std::string Node::text() const {
    return node_ ? take(xmlNodeGetContent(node_)) : std::string();
}

void Node::setText(std::string_view text) {
    xmlNode* node = need(node_, "setText");
    // Clearing first and then adding a plain text node keeps '&' and '<' literal: setting
    // the content directly would read them as entity references.
    xmlNodeSetContent(node, nullptr);
    const std::string safe = xmlSafeText(text);
    if (!safe.empty()) xmlNodeAddContentLen(node, xc(safe), static_cast<int>(safe.size()));
}

std::vector<Node> Node::children(std::string_view name) const {
    std::vector<Node> found;
    if (node_ == nullptr) return found;
    for (xmlNode* c = node_->children; c != nullptr; c = c->next) {
        if (isElementNamed(c, name)) found.emplace_back(c);
    }
    return found;
}

Node Node::firstChild(std::string_view name) const {
    if (node_ == nullptr) return Node();
    for (xmlNode* c = node_->children; c != nullptr; c = c->next) {
        if (isElementNamed(c, name)) return Node(c);
    }
    return Node();
}

std::size_t Node::attributeCount() const {
    if (node_ == nullptr || node_->type != XML_ELEMENT_NODE) return 0;
    std::size_t count = 0;
    for (xmlAttr* a = node_->properties; a != nullptr; a = a->next) ++count;
    return count;
}

std::optional<std::string> Node::attributeAt(std::size_t position) const {
    if (node_ == nullptr || node_->type != XML_ELEMENT_NODE) return std::nullopt;
    std::size_t i = 0;
    for (xmlAttr* a = node_->properties; a != nullptr; a = a->next, ++i) {
        if (i == position) return attributeValue(a);
    }
    return std::nullopt;
}

std::optional<std::string> Node::attribute(std::string_view name) const {
    if (node_ == nullptr || node_->type != XML_ELEMENT_NODE) return std::nullopt;
    // Only attributes written in the start tag; defaults a DTD might declare are not applied.
    for (xmlAttr* a = node_->properties; a != nullptr; a = a->next) {
        if (qualifiedName(reinterpret_cast<xmlNode*>(a)) == name) return attributeValue(a);
    }
    return std::nullopt;
}

void Node::setAttribute(std::string_view name, std::string_view value) {
    xmlNode* node = need(node_, "setAttribute");
    const std::string n = validName(name);
    const std::string v = xmlSafeText(value);
    // xmlSetProp stores the value as plain text (escaped on output) and appends new
    // attributes after the existing ones.
    if (xmlSetProp(node, xc(n), xc(v)) == nullptr) {
        throw std::invalid_argument("cannot set attribute " + n);
    }
}

void Node::appendChild(Node child) {
    xmlNode* parent = need(node_, "appendChild");
    xmlNode* c = need(child.node_, "appendChild");
    if (c->doc != parent->doc) {
        throw std::invalid_argument("appendChild: the child belongs to another document");
    }
    for (xmlNode* a = parent; a != nullptr; a = a->parent) {
        if (a == c) throw std::invalid_argument("appendChild: the child is an ancestor");
    }
    xmlUnlinkNode(c);
    forgetDetached(c->doc, c);
    xmlAddChild(parent, c);
}

void Node::remove() {
    xmlNode* node = need(node_, "remove");
    forgetDetached(node->doc, node);
    xmlUnlinkNode(node);
    xmlFreeNode(node);
    node_ = nullptr;
}

// ---- Document ----

void Document::Deleter::operator()(_xmlDoc* doc) const {
    if (doc == nullptr) return;
    if (Extras* extras = extrasOf(doc)) {
        for (xmlNode* n : extras->detached) xmlFreeNode(n);
        delete extras;
        doc->_private = nullptr;
    }
    xmlFreeDoc(doc);
}

Document::Document(_xmlDoc* doc, std::string name) : doc_(doc), name_(std::move(name)) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

Document Document::load(const std::filesystem::path& file) {
    const std::string content = readWholeFile(file);
    return parse(content, file.string());
}

Document Document::parse(std::string_view content, const std::string& name) {
    if (content.empty()) throw Error(invalidDocument(name, 0, "el archivo está vacío"));
    if (content.size() > static_cast<std::size_t>(INT_MAX)) {
        throw Error(invalidDocument(name, 0, "el archivo es demasiado grande"));
    }
    std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt) throw std::bad_alloc();

    ParseErrors errors;
    ctxt->_private = &errors;
    ctxt->sax->serror = recordError;

    std::unique_ptr<xmlDoc, Deleter> doc(xmlCtxtReadMemory(ctxt.get(), content.data(),
                                                           static_cast<int>(content.size()),
                                                           name.c_str(), nullptr, kParseOptions));
    if (!doc || !ctxt->wellFormed) {
        ParseError error = errors.firstFatal.set ? errors.firstFatal : errors.first;
        if (!error.set) {
            if (const xmlError* last = xmlCtxtGetLastError(ctxt.get())) {
                error.line = last->line;
                error.message = trimMessage(last->message);
            }
        }
        if (error.message.empty()) error.message = "no se pudo leer el documento";
        throw Error(invalidDocument(name, error.line, error.message));
    }
    if (xmlDocGetRootElement(doc.get()) == nullptr) {
        throw Error(invalidDocument(name, 0, "no tiene elemento raíz"));
    }
    if (const long line = entityExpansionOverflowLine(doc.get())) {
        throw Error(invalidDocument(name, line,
                                    "sus entidades se expanden a más de " +
                                        std::to_string(kMaxEntityExpansion) + " caracteres"));
    }
    if (content.substr(0, kUtf8Mark.size()) == kUtf8Mark) ensureExtras(doc.get()).utf8Mark = true;
    return Document(doc.release(), name);
}

Node Document::root() const {
    return Node(xmlDocGetRootElement(doc_.get()));
}

std::vector<Node> Document::select(std::string_view absolutePath) const {
    if (absolutePath.empty() || absolutePath.front() != '/') {
        throw std::invalid_argument("XML path is not absolute: " + std::string(absolutePath));
    }
    const std::vector<std::string> steps = splitSteps(absolutePath.substr(1));
    std::vector<xmlNode*> current;
    xmlNode* top = xmlDocGetRootElement(doc_.get());
    if (top == nullptr || qualifiedName(top) != steps.front()) return {};
    current.push_back(top);
    // One level at a time: children of nodes in document order, each parent's children in
    // order, stay in document order.
    for (std::size_t s = 1; s < steps.size() && !current.empty(); ++s) {
        std::vector<xmlNode*> next;
        for (xmlNode* parent : current) {
            for (xmlNode* c = parent->children; c != nullptr; c = c->next) {
                if (isElementNamed(c, steps[s])) next.push_back(c);
            }
        }
        current = std::move(next);
    }
    return std::vector<Node>(current.begin(), current.end());
}

Node Document::selectFirst(std::string_view absolutePath) const {
    const std::vector<Node> nodes = select(absolutePath);
    return nodes.empty() ? Node() : nodes.front();
}

Node Document::createElement(std::string_view name) {
    const std::string n = validName(name);
    xmlNode* node = xmlNewDocNode(doc_.get(), nullptr, xc(n), nullptr);
    if (node == nullptr) throw std::bad_alloc();
    ensureExtras(doc_.get()).detached.push_back(node);
    return Node(node);
}

std::string Document::encoding() const {
    return doc_->encoding ? std::string(cc(doc_->encoding)) : std::string("UTF-8");
}

std::string Document::serialize() const {
    std::string bytes;
    if (!dump(doc_.get(), bytes)) {
        throw Error("No se puede escribir el documento " + name_ + " en la codificación " +
                    encoding());
    }
    return bytes;
}

void Document::save(const std::filesystem::path& file) const {
    std::filesystem::path target = file;
    std::error_code ec;
    // Saving over a link writes the file it points to, not a new file in place of the link.
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::canonical(target, ec);
        if (!ec) target = resolved;
    }
    std::string bytes;
    if (!dump(doc_.get(), bytes)) {
        throw Error(saveError(file, "no se puede escribir en la codificación " + encoding()));
    }
    TemporaryFile temporary(target);
    temporary.write(bytes);
    temporary.commit();
}

}  // namespace ttp::xml
