#pragma once
#include "core/Paths.h"

#include <opencv2/core.hpp>

// The salient-object model behind "Remove BG". One instance serves the whole process: it is
// loaded on first use, runs one picture at a time on all cores, and is freed after a few idle
// minutes (it holds several hundred megabytes).
namespace SubjectModel {
// The side of the square picture the model reads.
inline constexpr int side = 1024;
// Whether the file at model looks like an ONNX model and has not failed to load before.
bool usable(const Path& model);
// How strongly each pixel of an 8-bit RGB picture belongs to the subject, 0…1 as 32-bit
// floats, at side × side. KError when the model cannot be loaded; it is then not usable.
cv::Mat foreground(const Path& model, const cv::Mat& rgb);
}
