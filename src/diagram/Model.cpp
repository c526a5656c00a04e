#include "diagram/Model.h"

#include "util/KivStrings.h"

namespace quorvel {

int NameList::IndexOf(const std::string& name) const {
    const auto it = index_.find(UpperAscii(name));
    return it == index_.end() ? -1 : it->second;
}

void NameList::Add(const std::string& name) {
    index_.try_emplace(UpperAscii(name), static_cast<int>(names_.size()));
    names_.push_back(name);
}

void NameList::Clear() {
    names_.clear();
    index_.clear();
}

} // namespace quorvel
