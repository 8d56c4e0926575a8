#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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

private:
    std::unordered_set<std::string> folded_;
    std::size_t count_ = 0;
};

}  // namespace ttp
