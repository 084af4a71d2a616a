#pragma once
#include <QUuid>

#include <optional>
#include <string>
#include <vector>

// A folder whose new files are converted with a preset into its "Converted" subfolder.
struct WatchRule {
    QUuid id;
    std::string path;  // absolute path of the watched folder
    QUuid presetID;
    bool enabled = true;  // a disabled rule stays in the list but is not processed

    bool operator==(const WatchRule&) const = default;
};

// The ordered list of rules under the settings key "watchFolders", one compact JSON array
// with the four keys in field order. Like the presets, it is read and written whole.
namespace WatchStore {
// Nothing stored, or a document that does not decode, reads as an empty list.
std::vector<WatchRule> all();
void setAll(const std::vector<WatchRule>& rules);

std::string encode(const std::vector<WatchRule>& rules);
std::optional<std::vector<WatchRule>> decode(const std::string& json);
}
