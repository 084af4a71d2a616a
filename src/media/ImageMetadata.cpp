#include "media/ImageMetadata.h"

#include <QRegularExpression>
#include <QString>

#include <libexif/exif-data.h>

#include <cstdlib>
#include <memory>

namespace ImageMetadata {

// The pixels are already turned upright: an orientation tag left in the EXIF block would make
// viewers (and savers that read it back, like TIFF's) turn them a second time.
std::string withoutOrientation(const std::string& exif)
{
    const std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(exif_data_new(), exif_data_unref);
    if (!data) return exif;
    // Keep every tag as found: no dropping of unknown tags, no "fixing" of the rest.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data.get(), reinterpret_cast<const unsigned char*>(exif.data()), static_cast<unsigned>(exif.size()));
    ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry) return exif;
    exif_content_remove_entry(data->ifd[EXIF_IFD_0], entry);
    unsigned char* bytes = nullptr;
    unsigned int length = 0;
    exif_data_save_data(data.get(), &bytes, &length);
    if (!bytes) return exif;
    std::string cleaned(reinterpret_cast<const char*>(bytes), length);
    free(bytes);
    return cleaned;
}

// XMP repeats the orientation as tiff:Orientation, an attribute or an element, under whatever
// prefix the packet binds to the TIFF namespace. Its digit becomes 1 in place, so that the
// packet keeps its length and the padding that editors rely on.
std::string xmpUpright(std::string xmp)
{
    // Latin-1 gives one character per byte: positions in the text are positions in the packet.
    const QString text = QString::fromLatin1(xmp.data(), static_cast<qsizetype>(xmp.size()));
    static const QRegularExpression binding(R"(xmlns:([A-Za-z_][\w.-]*)\s*=\s*["']http://ns\.adobe\.com/tiff/1\.0/["'])");
    for (auto bound = binding.globalMatch(text); bound.hasNext();) {
        const QRegularExpression value(QRegularExpression::escape(bound.next().captured(1)) + R"(:Orientation(?:\s*=\s*["']|(?:\s[^<>]*)?>)\s*([2-8]))");
        for (auto found = value.globalMatch(text); found.hasNext();) xmp[static_cast<size_t>(found.next().capturedStart(1))] = '1';
    }
    return xmp;
}

}
