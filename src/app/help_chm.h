#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct chmFile;

namespace ttp::app {

// One line of a help file's table of contents. `local` is the topic's path inside the help
// file, as the contents give it (it may carry a #fragment); empty for a heading without a page.
struct ContentsEntry {
    std::string name;  // UTF-8
    std::string local;
    std::vector<ContentsEntry> children;
};

// Reads the sitemap of a contents (.hhc) file: nested <UL> lists of <OBJECT type="text/sitemap">
// with "Name" and "Local" parameters. Tolerant of missing closing tags, as help compilers are.
// Entity references are decoded; text that is not UTF-8 is taken as Windows-1252.
std::vector<ContentsEntry> parseSitemap(std::string_view sitemap);

// Turns text in an unknown single-byte or UTF-8 encoding into UTF-8: valid UTF-8 stays as it
// is, anything else is read as Windows-1252.
std::string toUtf8(std::string_view text);

// The path inside a help file that a link from the page `base` points to: relative links are
// resolved against `base`'s folder, "." and ".." are folded, a #fragment or ?query is dropped,
// %XX escapes are decoded, and the "ms-its:FILE.chm::" and "mk:@MSITStore:FILE.chm::" prefixes
// are removed. The result starts with "/". Nothing when the link leaves the help file (another
// scheme such as http:, or ".." above the root).
std::optional<std::string> resolveHelpLink(std::string_view base, std::string_view link);

// A compiled HTML Help file opened for reading; the file stays open while the object lives.
// Qt-free, so that the help's contents can be tested without a display.
class ChmFile {
  public:
    // Throws ttp::Error naming the path when the file is missing or is not a help file.
    explicit ChmFile(const std::filesystem::path& file);
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // The paths of the ordinary files inside ("/principal.htm"), without the internal
    // "#..." and "$..." files, in the order the file lists them.
    std::vector<std::string> files() const;

    // Whether `inner` names a file inside (compared without regard to case, like the format).
    bool contains(std::string_view inner) const;

    // The bytes of a file inside; nothing when there is no such file. Throws ttp::Error when
    // the file exists but cannot be read whole.
    std::optional<std::string> read(std::string_view inner) const;

    // From the file's system record; empty when absent.
    const std::string& title() const { return title_; }
    // The page shown first ("/principal.htm"); falls back to the first page of the contents.
    std::string defaultTopic() const;
    // The contents file ("/contenido.hhc"); found by its extension when the system record
    // does not name it; empty when there is none.
    const std::string& contentsFile() const { return contents_file_; }
    // The keyword index file ("/indice.hhk"), found like the contents file; empty when none.
    const std::string& indexFile() const { return index_file_; }

    // The table of contents; empty when the file has none.
    std::vector<ContentsEntry> contents() const;
    // The keyword index, in the same form; empty when the file has none.
    std::vector<ContentsEntry> index() const;

    // The page a help context number maps to ([MAP] and [ALIAS] of the project); nothing when
    // the number is not mapped.
    std::optional<std::string> topicForContext(std::uint32_t context) const;

  private:
    struct Closer {
        void operator()(chmFile* file) const;
    };

    void readSystemRecord();

    std::filesystem::path path_;
    std::unique_ptr<chmFile, Closer> file_;
    std::string title_;
    std::string default_topic_;
    std::string contents_file_;
    std::string index_file_;
};

}  // namespace ttp::app
