#include "presets/StoredJSON.h"

#include <cmath>

namespace StoredJSON {

std::string uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper().toStdString();
}

const Json& field(const Json& object, const char* key)
{
    if (!object.is_object()) throw Invalid{};
    const auto found = object.find(key);
    if (found == object.end()) throw Invalid{};
    return *found;
}

QUuid uuid(const Json& object, const char* key)
{
    const std::string text = string(object, key);
    // Only the 36-character form, in either case; the nil UUID is a valid value too.
    const QUuid id = QUuid::fromString(QString::fromStdString(text));
    if (text.size() != 36 || (id.isNull() && text != "00000000-0000-0000-0000-000000000000")) throw Invalid{};
    return id;
}

std::string string(const Json& object, const char* key)
{
    const Json& value = field(object, key);
    if (!value.is_string()) throw Invalid{};
    return value.get<std::string>();
}

bool boolean(const Json& object, const char* key)
{
    const Json& value = field(object, key);
    if (!value.is_boolean()) throw Invalid{};
    return value.get<bool>();
}

std::int64_t integer(const Json& object, const char* key)
{
    const Json& value = field(object, key);
    if (value.is_number_integer() && !(value.is_number_unsigned() && value.get<std::uint64_t>() > INT64_MAX)) return value.get<std::int64_t>();
    // Writers that store every number as a double write 1600 as 1600.0.
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (std::trunc(d) == d && std::abs(d) < 9.2e18) return static_cast<std::int64_t>(d);
    }
    throw Invalid{};
}

double number(const Json& object, const char* key)
{
    const Json& value = field(object, key);
    if (!value.is_number()) throw Invalid{};
    return value.get<double>();
}

Json array(const std::string& json)
{
    Json document = Json::parse(json, nullptr, false);
    if (!document.is_array()) throw Invalid{};
    return document;
}

}
