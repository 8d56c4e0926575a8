#include "formats/dbf_table.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "core/error.h"
#include "formats/dbf_file.h"
#include "formats/dbf_layout.h"
#include "formats/dbf_values.h"

namespace ttp::dbf {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr char kLive = ' ';
constexpr char kDeleted = '*';
constexpr char kEndOfFile = 0x1A;

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
        return up(x) == up(y);
    });
}

// Appends `part` to a look-up key so that no two different tuples give the same key.
void addKeyPart(std::string& key, std::string_view part) {
    const std::size_t n = part.size();
    key.append(reinterpret_cast<const char*>(&n), sizeof n);
    key.append(part);
}

}  // namespace

// The open table. The records live in memory as their file bytes; every post writes the
// record, the header's date and count and the end-of-file byte to disk at once.
//
// Deleted records ('*') are kept and rewritten as they are, but the cursor passes over
// them, as a BDE table shows only live records: first/next never stand on one, a locate
// never finds one and recordCount() counts only live ones.
struct Table::State {
    std::filesystem::path file;
    std::string shownPath;  // the path as messages show it
    std::string name;       // the file name as messages about fields and values show it
    LockedFile handle;
    Layout layout;
    std::vector<std::string> records;
    std::size_t live = 0;

    enum class Mode { Browse, Edit, Append };
    Mode mode = Mode::Browse;
    std::string buffer;  // the record being edited or appended
    std::size_t current = kNone;
    bool eof = true;

    // For each field tuple looked up: the index of the first live record with each value
    // tuple. Built on the first look-up, dropped on every post.
    std::unordered_map<std::string, std::unordered_map<std::string, std::size_t>> lookups;

    // The state of an open table; using a closed (or moved-from) table is an error.
    static State& of(const std::unique_ptr<State>& s) {
        if (!s || !s->handle.isOpen()) {
            throw Error("La tabla " + (s ? s->shownPath : std::string()) + " está cerrada");
        }
        return *s;
    }

    std::size_t fieldIndex(std::string_view field) const {
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            if (sameName(layout.fields[i].name, field)) return i;
        }
        throw Error("La tabla " + name + " no tiene el campo " + std::string(field));
    }

    // The bytes the reading operations see: the pending record, else the current one.
    const std::string* shown() const {
        if (mode != Mode::Browse) return &buffer;
        if (current == kNone) return nullptr;
        return &records[current];
    }

    std::string_view raw(const std::string& record, std::size_t field) const {
        return std::string_view(record).substr(
            layout.offsets[field], static_cast<std::size_t>(layout.fields[field].width));
    }

    char* writable(std::string_view field) {
        if (mode == Mode::Browse) {
            throw Error("La tabla " + name + " no está en edición: falta append() o edit()");
        }
        return buffer.data() + layout.offsets[fieldIndex(field)];
    }

    std::size_t nextLive(std::size_t from) const {
        for (std::size_t i = from; i < records.size(); ++i) {
            if (records[i][0] != kDeleted) return i;
        }
        return kNone;
    }

    void post() {
        if (mode == Mode::Browse) return;
        const std::size_t index = mode == Mode::Append ? records.size() : current;
        const std::size_t at = layout.headerLength + index * layout.recordLength;
        if (mode == Mode::Append) {
            handle.writeAt(at, buffer + kEndOfFile);
            handle.writeAt(1, dateAndCount(index + 1));
            records.push_back(buffer);
            if (buffer[0] != kDeleted) ++live;
        } else {
            handle.writeAt(at, buffer);
            handle.writeAt(1, dateAndCount(records.size()).substr(0, 3));
            records[index] = buffer;
        }
        lookups.clear();
        current = index;
        eof = false;
        mode = Mode::Browse;
        buffer.clear();
    }

    std::string blankRecord() const {
        std::string record(layout.recordLength, ' ');
        record[0] = kLive;
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            writeNull(layout.fields[i], record.data() + layout.offsets[i]);
        }
        return record;
    }

    std::string key(const std::string& record, const std::vector<std::size_t>& fields) const {
        std::string k;
        for (std::size_t f : fields)
            addKeyPart(k, readText(layout.fields[f], raw(record, f), name));
        return k;
    }
};

Table::Table(std::unique_ptr<State> state) : s_(std::move(state)) {}
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&& other) noexcept {
    if (this != &other) {
        try {
            close();
        } catch (...) {
            // A move must not throw; the pending record is lost as on a failed close.
        }
        s_ = std::move(other.s_);
    }
    return *this;
}

Table::~Table() {
    try {
        close();
    } catch (...) {
        // Destructors must not throw; close() explicitly to see a failed write.
    }
}

void Table::create(const std::filesystem::path& file, const std::vector<FieldDef>& fields) {
    Layout layout = newLayout(fields, file.string());
    // Locked before it is emptied, so a table that someone holds open is never clobbered.
    LockedFile handle = LockedFile::openForCreate(file);
    handle.truncate();
    handle.writeAt(0, headerBytes(layout) + kEndOfFile);
}

Table Table::open(const std::filesystem::path& file) {
    auto state = std::make_unique<State>();
    state->file = file;
    state->shownPath = file.string();
    state->name = file.filename().string();
    state->handle = LockedFile::open(file);
    const std::string bytes = state->handle.readAll();
    state->layout = parseLayout(bytes, state->shownPath);
    const Layout& layout = state->layout;
    state->records.reserve(layout.recordCount);
    for (std::size_t i = 0; i < layout.recordCount; ++i) {
        state->records.push_back(
            bytes.substr(layout.headerLength + i * layout.recordLength, layout.recordLength));
        if (state->records.back()[0] != kDeleted) ++state->live;
    }
    Table table(std::move(state));
    table.first();
    return table;
}

void Table::close() {
    if (!s_ || !s_->handle.isOpen()) return;
    try {
        s_->post();
    } catch (...) {
        s_->handle.close();
        throw;
    }
    s_->handle.close();
}

bool Table::isOpen() const {
    return s_ && s_->handle.isOpen();
}

const std::filesystem::path& Table::file() const {
    static const std::filesystem::path none;
    return s_ ? s_->file : none;
}

int Table::level() const {
    return State::of(s_).layout.level;
}
const std::vector<FieldDef>& Table::fields() const {
    return State::of(s_).layout.fields;
}

bool Table::hasField(std::string_view name) const {
    const auto& fields = State::of(s_).layout.fields;
    return std::any_of(fields.begin(), fields.end(),
                       [name](const FieldDef& f) { return sameName(f.name, name); });
}

std::size_t Table::recordCount() const {
    return State::of(s_).live;
}

void Table::first() {
    State& s = State::of(s_);
    s.post();
    s.current = s.nextLive(0);
    s.eof = s.current == kNone;
}

void Table::next() {
    State& s = State::of(s_);
    s.post();
    if (s.eof) return;
    const std::size_t after = s.nextLive(s.current + 1);
    // Past the last record the cursor stays on it with the end flag set.
    if (after == kNone) {
        s.eof = true;
    } else {
        s.current = after;
    }
}

bool Table::eof() const {
    const State& s = State::of(s_);
    return s.mode == State::Mode::Browse && s.eof;
}

std::size_t Table::recordIndex() const {
    const State& s = State::of(s_);
    if (s.mode == State::Mode::Append) return s.records.size();
    return s.current == kNone ? 0 : s.current;
}

bool Table::isDeleted() const {
    const std::string* record = State::of(s_).shown();
    return record && (*record)[0] == kDeleted;
}

void Table::append() {
    State& s = State::of(s_);
    s.post();
    s.buffer = s.blankRecord();
    s.mode = State::Mode::Append;
}

void Table::edit() {
    State& s = State::of(s_);
    if (s.mode != State::Mode::Browse) return;
    if (s.current == kNone)
        throw Error("La tabla " + s.name + " no tiene ningún registro que editar");
    s.buffer = s.records[s.current];
    s.mode = State::Mode::Edit;
}

void Table::post() {
    State::of(s_).post();
}

void Table::setText(std::string_view field, std::string_view value) {
    State& s = State::of(s_);
    char* dest = s.writable(field);
    writeText(s.layout.fields[s.fieldIndex(field)], dest, value, s.name);
}

void Table::setInteger(std::string_view field, std::int64_t value) {
    State& s = State::of(s_);
    char* dest = s.writable(field);
    writeInteger(s.layout.fields[s.fieldIndex(field)], dest, value, s.name);
}

void Table::setLogical(std::string_view field, bool value) {
    State& s = State::of(s_);
    char* dest = s.writable(field);
    writeLogical(s.layout.fields[s.fieldIndex(field)], dest, value, s.name);
}

void Table::setNull(std::string_view field) {
    State& s = State::of(s_);
    char* dest = s.writable(field);
    writeNull(s.layout.fields[s.fieldIndex(field)], dest);
}

std::string Table::text(std::string_view field) const {
    const State& s = State::of(s_);
    const std::size_t f = s.fieldIndex(field);
    const std::string* record = s.shown();
    if (!record) return {};
    return readText(s.layout.fields[f], s.raw(*record, f), s.name);
}

std::int64_t Table::integer(std::string_view field) const {
    const State& s = State::of(s_);
    const std::size_t f = s.fieldIndex(field);
    const std::string* record = s.shown();
    if (!record) return 0;
    return readInteger(s.layout.fields[f], s.raw(*record, f), s.name);
}

bool Table::isNull(std::string_view field) const {
    const State& s = State::of(s_);
    const std::size_t f = s.fieldIndex(field);
    const std::string* record = s.shown();
    return !record || readNull(s.layout.fields[f], s.raw(*record, f));
}

bool Table::locate(std::string_view field, std::string_view value) {
    return locate(std::vector<std::string_view>{field}, std::vector<std::string_view>{value});
}

bool Table::locate(const std::vector<std::string_view>& fieldNames,
                   const std::vector<std::string_view>& values) {
    State& s = State::of(s_);
    if (fieldNames.empty() || fieldNames.size() != values.size()) {
        throw Error("La búsqueda en la tabla " + s.name + " da " +
                    std::to_string(fieldNames.size()) + " campos y " +
                    std::to_string(values.size()) + " valores");
    }
    s.post();
    std::vector<std::size_t> fields;
    std::string tupleName;
    for (std::string_view name : fieldNames) {
        fields.push_back(s.fieldIndex(name));
        addKeyPart(tupleName, std::to_string(fields.back()));
    }
    std::string wanted;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string_view value = values[i];
        // A character field keeps no trailing blanks, so a value with them still matches.
        const FieldType type = s.layout.fields[fields[i]].type;
        if (type == FieldType::Character || type == FieldType::Other) {
            while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
        }
        addKeyPart(wanted, value);
    }
    auto [entry, isNew] = s.lookups.try_emplace(tupleName);
    auto& firstOf = entry->second;
    if (isNew) {
        for (std::size_t i = s.nextLive(0); i != kNone; i = s.nextLive(i + 1)) {
            firstOf.try_emplace(s.key(s.records[i], fields), i);
        }
    }
    const auto found = firstOf.find(wanted);
    if (found == firstOf.end()) return false;
    s.current = found->second;
    s.eof = false;
    return true;
}

std::filesystem::path findFile(const std::filesystem::path& dir, std::string_view fileName) {
    const std::filesystem::path exact = dir / std::string(fileName);
    std::error_code ec;
    if (std::filesystem::exists(exact, ec)) return exact;
    std::vector<std::filesystem::path> matches;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (sameName(it->path().filename().string(), fileName)) matches.push_back(it->path());
    }
    if (matches.empty()) return exact;
    // Several spellings of one name: the same choice on every run.
    return *std::min_element(matches.begin(), matches.end());
}

}  // namespace ttp::dbf
