#pragma once
#include "presets/Preset.h"

// The ordered list of presets under the settings key "presets". Nothing is cached: every read
// decodes the stored document again and every write replaces it whole.
namespace PresetStore {
// Nothing stored, or a document that does not decode, reads as an empty list.
std::vector<Preset> all();
void setAll(const std::vector<Preset>& presets);
// Stores "Web" and "Email" when nothing at all is stored (an empty list counts as stored).
void seedIfNeeded();
// The seeded pair, with fresh ids.
std::vector<Preset> seeded();
// The stored presets that apply to a file kind and whose format can be written now, in order.
std::vector<Preset> presets(FileKind kind);
// The stored preset with this id.
std::optional<Preset> find(const QUuid& id);
}
