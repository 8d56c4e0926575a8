#include "export/code_list.h"

#include "formats/text.h"

namespace ttp {

bool CodeList::contains(std::string_view value) const {
    return folded_.count(text::foldCase(value)) != 0;
}

void CodeList::add(std::string_view value) {
    folded_.insert(text::foldCase(value));
    ++count_;
}

std::uint64_t CodeList::firstCounter(std::string_view base) const {
    const auto it = counters_.find(text::foldCase(base));
    return it == counters_.end() ? 1 : it->second;
}

void CodeList::rememberCounter(std::string_view base, std::uint64_t counter) {
    counters_[text::foldCase(base)] = counter;
}

void CodeList::clear() {
    folded_.clear();
    counters_.clear();
    count_ = 0;
}

}  // namespace ttp
