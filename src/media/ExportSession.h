#pragma once
#include "core/Paths.h"

#include <memory>
#include <optional>
#include <vector>

namespace MediaKit {
class Input;

// Stream copy; re-encodes in H.264 (CRF 18) or HEVC (CRF 24) with AAC at 192 kbit/s; H.264
// fitted inside a box; AAC at 256 kbit/s alone.
enum class Preset { passthrough, highestQuality, hevcHighestQuality, size640x480, size1280x720, size1920x1080, appleM4A };
// .mp4, .mov, .m4v and .m4a.
enum class FileType { mpeg4, quickTimeMovie, appleM4V, appleM4A };

struct TimeRange {
    double start = 0;
    double end = 0;
};
// A rectangle in the pixels of the upright picture.
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct ExportOptions {
    bool mute = false;
    std::optional<TimeRange> timeRange;
    // Leaves out titles, dates, places and every other tag.
    bool stripMetadata = false;
    // Re-encoding presets only; the output is then stored upright.
    std::optional<Rect> crop;
};

// Writes a source in another container, copied or re-encoded by a preset. The output keeps
// the main video and audio streams (every one of them for a copy), the picture's rotation
// and, unless stripped, the tags.
class ExportSession {
public:
    // Opens the source; throws its read error, or "This file can't be exported with that
    // preset" when nothing in it suits the preset and options.
    ExportSession(const Path& source, Preset preset, ExportOptions options = {});
    ~ExportSession();
    bool supports(FileType type) const;
    // Writes to out, replacing the reserved file there, and reports progress. Throws "Can't
    // export this file as .<out's extension>" for a type it does not support, or the failure
    // of reading or writing; out is removed on every failure.
    void write(const Path& out, FileType type);

private:
    std::vector<int> streamsFor(FileType type) const;

    std::unique_ptr<Input> input_;
    Preset preset_;
    ExportOptions options_;
    std::vector<int> streams_;
    bool used_ = false;
};

// The FFmpeg container that writes a file type.
const char* containerOf(FileType type);
}
