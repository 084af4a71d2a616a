#include "presets/WatchRule.h"

#include "core/Settings.h"
#include "presets/StoredJSON.h"
#include "presets/StoredList.h"

namespace WatchStore {

using namespace StoredJSON;

std::string encode(const std::vector<WatchRule>& rules)
{
    return encodeList(rules, [](const WatchRule& rule) {
        Object object;
        object["id"] = uuidText(rule.id);
        object["path"] = rule.path;
        object["presetID"] = uuidText(rule.presetID);
        object["enabled"] = rule.enabled;
        return object;
    });
}

std::optional<std::vector<WatchRule>> decode(const std::string& json)
{
    return decodeList<WatchRule>(json, [](const Json& object) {
        return WatchRule{uuid(object, "id"), string(object, "path"), uuid(object, "presetID"), boolean(object, "enabled")};
    });
}

std::vector<WatchRule> all()
{
    const auto stored = StoredList::read(SettingsKey::watchFolders);
    if (!stored) return {};
    return decode(*stored).value_or(std::vector<WatchRule>{});
}

void setAll(const std::vector<WatchRule>& rules)
{
    StoredList::write(SettingsKey::watchFolders, encode(rules), [](const std::string& json) { return decode(json).has_value(); });
}

}
