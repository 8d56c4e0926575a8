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

void CodeList::clear() {
    folded_.clear();
    count_ = 0;
}

}  // namespace ttp
