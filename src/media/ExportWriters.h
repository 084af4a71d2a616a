#pragma once
#include "media/ExportSession.h"
#include "media/MediaInput.h"

// The two ways an export session writes its file.
namespace MediaKit {
// Copies the streams' packets as they are.
void remux(Input& input, const std::vector<int>& streams, const Path& out, FileType type, const ExportOptions& options);
// Decodes and encodes again by the preset.
void transcode(Input& input, const std::vector<int>& streams, const Path& out, FileType type, Preset preset, const ExportOptions& options);
// The encoders a re-encoding preset uses.
AVCodecID videoCodecOf(Preset preset);
}
