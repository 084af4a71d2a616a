#pragma once
#include <QUuid>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reading and writing the fields of the records kept as JSON in the settings store. Every
// key is required; a missing or mistyped value throws Invalid, which makes the whole stored
// list unreadable.
namespace StoredJSON {
using Json = nlohmann::json;
// Keys stay in the order they are written.
using Object = nlohmann::ordered_json;
struct Invalid {};

// The canonical form, upper case: "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
std::string uuidText(const QUuid& id);

const Json& field(const Json& object, const char* key);
QUuid uuid(const Json& object, const char* key);
std::string string(const Json& object, const char* key);
bool boolean(const Json& object, const char* key);
std::int64_t integer(const Json& object, const char* key);
double number(const Json& object, const char* key);
// The array at the top of a document; throws Invalid for anything else.
Json array(const std::string& json);

// One compact array, an object per record made by write.
template <class Record, class Write>
std::string encodeList(const std::vector<Record>& records, Write&& write)
{
    Object list = Object::array();
    for (const Record& record : records) list.push_back(write(record));
    return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The records read from each object of the array; none when any of them is invalid.
template <class Record, class Read>
std::optional<std::vector<Record>> decodeList(const std::string& json, Read&& read)
{
    try {
        std::vector<Record> records;
        for (const Json& object : array(json)) records.push_back(read(object));
        return records;
    } catch (const Invalid&) {
        return std::nullopt;
    }
}
}
