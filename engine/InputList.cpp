// Opening input and reference lists through their location.
#include "InputList.h"

std::optional<InputList> InputList::Open(const std::string& path) {
    std::optional<ListLocation> location = ListLocation::Open(path, ListLocation::Lock::kExclusive);
    if (!location) return std::nullopt;
    return InputList(std::move(*location));
}

std::optional<InputList> InputList::OpenReference(const std::string& path) {
    std::optional<ListLocation> location = ListLocation::Open(path, ListLocation::Lock::kNone);
    if (!location) return std::nullopt;
    return InputList(std::move(*location));
}
