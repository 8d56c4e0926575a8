#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace ttp {

// The codes a table step has entered so far. Look-ups ignore letter case as a person would
// (text::equalsIgnoreCase); they are hashed, so a step stays linear in its rows.
class CodeList {
  public:
    bool contains(std::string_view value) const;
    void add(std::string_view value);
    void clear();
    std::size_t size() const { return count_; }

    // The counter from which a search for a free "base + n" may start. Codes are only ever
    // added, so a counter found taken stays taken: remembering where the last search for a
    // base stopped gives the same first free counter without trying 1, 2, ... again.
    std::uint64_t firstCounter(std::string_view base) const;
    void rememberCounter(std::string_view base, std::uint64_t counter);

  private:
    std::unordered_set<std::string> folded_;
    std::unordered_map<std::string, std::uint64_t> counters_;
    std::size_t count_ = 0;
};

}  // namespace ttp
