#pragma once
#include <functional>
#include <optional>
#include <string>

// A list of records kept whole as one JSON document under a settings key. Reads never write;
// a write over stored data that does not decode first keeps that data in a file beside the
// settings file, so that a user's records are never lost to one malformed entry.
namespace StoredList {
// The stored document, or none when nothing is stored under key.
std::optional<std::string> read(const char* key);
// Stores json under key. readable tells whether a stored document decodes; when the one
// being replaced does not, it is kept as "<key> (unreadable).json" (numbered when taken) and
// the settings' problem signal says so. Throws KError when that copy cannot be made.
void write(const char* key, const std::string& json, const std::function<bool(const std::string&)>& readable);
}
