// Built-in English texts of the string table, looked up by message id.
#pragma once
#include <span>
struct StringEntry {
    unsigned nID;
    const char *szText; // UTF-8, C escapes as written
};
// Sorted by id, ids unique.
std::span<const StringEntry> BuiltInStrings();
