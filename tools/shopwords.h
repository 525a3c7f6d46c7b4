// Word lists from which the large-shop generator makes up titles, people, publishers,
// suppliers and addresses. Every name is invented.
#pragma once

#include <span>

namespace shopwords {

struct SubjectEntry {
    const char *number;
    const char *name;
    bool music; // CDs are filed under these
};

std::span<const SubjectEntry> subjects();
std::span<const char *const> adjectives();
std::span<const char *const> nouns();
std::span<const char *const> places();
std::span<const char *const> firstNames();
std::span<const char *const> lastNames();
std::span<const char *const> chineseTitleWords();
std::span<const char *const> chineseNames();
std::span<const char *const> publisherWords();
std::span<const char *const> publisherKinds();
std::span<const char *const> supplierNames();
std::span<const char *const> streets();
std::span<const char *const> cities();

} // namespace shopwords
