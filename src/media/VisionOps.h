#pragma once
#include "core/Paths.h"
#include "media/ImageOps.h"

#include <string>
#include <utility>

// Reading text in pictures (Tesseract) and cutting a photo's subject out of its background
// (an ISNet salient-object model run by OpenCV's dnn module). The text of PDFs, which needs
// the PDF layer, is ocrPDF in documents/VisionPDF.h.
namespace VisionOps {
// A written text file and the text in it.
using TextOutput = std::pair<Path, std::string>;

// The lines of text in image, in reading order, joined by line feeds; "" when there is none.
// Each thread keeps one recognition engine, made on first use. KError when the English
// recognition data is not installed.
std::string recognizeText(const ImageOps::Image& image);
// The text of a picture in "<name> (text).txt"; KError "No text found in <name>" and no file
// when the picture holds none.
TextOutput ocrImage(const Path& url);

// Where the subject model is installed: $VARNOLT_SUBJECT_MODEL when set, else
// "models/isnet-fp32.onnx" in the application's data folder.
Path subjectModelPath();
// Whether "Remove BG" can be offered: the model is installed, looks like an ONNX model and
// has not failed to load in this process.
bool canRemoveBackground();
// The picture as "<name> (no background).png", the same size, everything outside the
// subject transparent. KError "Couldn't find a subject in <name>" when the model sees none.
Path removeBackground(const Path& url);
}
