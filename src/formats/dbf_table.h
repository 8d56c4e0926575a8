#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A small dBase engine: creates tables at level 7 (what a BDE-compatible engine writes,
// 12-character field names kept whole) and reads tables of levels 3, 4, 5 and 7.
// Text values are Windows-1252; error messages are UTF-8.
namespace ttp::dbf {

enum class FieldType {
    Character,  // 'C'
    Integer,    // 'I' at level 7; an 'N' without decimals at lower levels
    Float,      // 'N' or 'F' with decimals (level 7 writes 'N' 18.8)
    Logical,    // 'L'
    Other,      // any other type a foreign table may hold (date, memo, ...): read as text
};

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Character;
    int width = 0;     // Character: the width; ignored for the others when creating
    int decimals = 0;  // as read from a file
    char code = 'C';   // the physical type letter, as read from a file
};

// One open table. Opening takes an exclusive lock: a table that another Table (in this or
// another process) holds open is refused. Appended and edited records are written to the file
// when posted; moving the cursor posts a pending edit or append.
class Table {
  public:
    // Creates (or replaces) `file` as an empty level 7 table with exactly these fields, in
    // this order. Throws ttp::Error naming the file.
    static void create(const std::filesystem::path& file, const std::vector<FieldDef>& fields);

    // Opens an existing table, standing on its first record. Throws ttp::Error naming the file
    // when it is missing, in use, or malformed.
    static Table open(const std::filesystem::path& file);

    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;
    ~Table();  // closes (posting a pending record)

    void close();
    bool isOpen() const;

    const std::filesystem::path& file() const;
    int level() const;  // 3, 4, 5 or 7
    const std::vector<FieldDef>& fields() const;
    bool hasField(std::string_view name) const;  // names compare without regard to case
    std::size_t recordCount() const;

    // Cursor. eof() is true after moving past the last record and on an empty table.
    void first();
    void next();
    bool eof() const;
    std::size_t recordIndex() const;  // 0-based
    bool isDeleted() const;

    // Writing. append() starts a new blank record at the end, edit() edits the current one;
    // post() writes it. Text longer than a character field is cut to its width; an integer
    // into a character field becomes its decimal text; text into a numeric field is parsed
    // (empty text: no value; other text that is no number is an error naming field and text).
    void append();
    void edit();
    void post();
    void setText(std::string_view field, std::string_view value);
    void setInteger(std::string_view field, std::int64_t value);
    void setLogical(std::string_view field, bool value);
    void setNull(std::string_view field);

    // Reading the current record. text(): a character value without trailing blanks; a number
    // as decimal text ("" for no value); a logical as "True"/"False". integer(): a number, a
    // float rounded; no value reads as 0; a character field must hold an integer text.
    std::string text(std::string_view field) const;
    std::int64_t integer(std::string_view field) const;
    bool isNull(std::string_view field) const;

    // Moves to the first record, in record order, whose fields equal the values exactly
    // (case-sensitive, trailing blanks ignored as text() does) and returns true; returns false
    // and leaves the cursor where it was when none does. Repeated look-ups are hashed.
    bool locate(std::string_view field, std::string_view value);
    bool locate(const std::vector<std::string_view>& fieldNames,
                const std::vector<std::string_view>& values);

  private:
    struct State;
    explicit Table(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};

// The file in `dir` whose name equals `fileName` without regard to case (soluc.dbf for
// SOLUC.DBF); `dir / fileName` when none exists.
std::filesystem::path findFile(const std::filesystem::path& dir, std::string_view fileName);

}  // namespace ttp::dbf
