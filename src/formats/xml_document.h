#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// libxml2's types, declared here so that users of this header need not include libxml2.
struct _xmlDoc;
struct _xmlNode;

namespace ttp::xml {

// A handle on an element of a Document; it does not own the element and is valid while the
// document lives. All texts are UTF-8.
class Node {
  public:
    Node() = default;
    explicit Node(_xmlNode* node) : node_(node) {}

    explicit operator bool() const { return node_ != nullptr; }
    _xmlNode* raw() const { return node_; }

    std::string name() const;
    // Source line of the element (0 when unknown), for messages.
    long line() const;

    // Text of the element and all its descendants.
    std::string text() const;
    // Replaces the element's content with this text (possibly empty).
    void setText(std::string_view text);

    // Child elements of this name, in document order.
    std::vector<Node> children(std::string_view name) const;
    // First child element of this name, or an empty handle.
    Node firstChild(std::string_view name) const;

    // Attributes in the order they stand in the start tag.
    std::size_t attributeCount() const;
    std::optional<std::string> attributeAt(std::size_t position) const;
    std::optional<std::string> attribute(std::string_view name) const;
    // Sets (or replaces) an attribute; new attributes are added after the existing ones.
    void setAttribute(std::string_view name, std::string_view value);

    // Adds `child` (a new element of the same document, not yet in the tree) as last child.
    void appendChild(Node child);
    // Takes the element out of the tree and frees it; the handle becomes empty.
    void remove();

  private:
    _xmlNode* node_ = nullptr;
};

// An XML document loaded from a file. Loading honours the declared encoding; saving writes
// the document in its own encoding with its declaration, everything not changed as loaded.
// Hostile input is refused: no DTD or external entity is fetched, no network access, and
// entity expansion is bounded.
class Document {
  public:
    // Throws ttp::Error naming the file, the line and the reason when the file cannot be read
    // or is not well-formed XML.
    static Document load(const std::filesystem::path& file);
    // Parses a document held in memory (for tests and tools); `name` stands for the file in
    // messages.
    static Document parse(std::string_view content, const std::string& name = "documento");

    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    ~Document();

    Node root() const;
    // Nodes selected by an absolute path of child steps ("/datosRVT/aulas/aula"), in document
    // order; empty when nothing matches (a wrong root included).
    std::vector<Node> select(std::string_view absolutePath) const;
    // First node selected by such a path, or an empty handle.
    Node selectFirst(std::string_view absolutePath) const;

    // A new element (no namespace, no attributes) outside the tree.
    Node createElement(std::string_view name);

    // The encoding the document declared ("UTF-8" when none).
    std::string encoding() const;

    // Writes the whole document to `file` atomically: into a temporary file in the same folder
    // that is renamed over `file`, so a failure never leaves a truncated or missing target.
    // Throws ttp::Error naming the file.
    void save(const std::filesystem::path& file) const;
    // The serialized document, as save would write it.
    std::string serialize() const;

  private:
    struct Deleter {
        void operator()(_xmlDoc* doc) const;
    };
    explicit Document(_xmlDoc* doc, std::string name);

    std::unique_ptr<_xmlDoc, Deleter> doc_;
    std::string name_;
};

}  // namespace ttp::xml
