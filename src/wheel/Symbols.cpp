#include "wheel/Symbols.h"

#include <QFontDatabase>
#include <QStringList>

#include <map>

namespace Symbols {

namespace {
// Each symbol name with the icon closest in meaning and shape.
const std::map<std::string, QString>& table()
{
    static const std::map<std::string, QString> map = {
        {"star.fill", "star"},
        {"gauge.with.dots.needle.33percent", "speed"},
        {"doc.zipper", "folder_zip"},
        {"archivebox", "inventory_2"},
        {"text.viewfinder", "document_scanner"},
        {"arrow.up.bin", "unarchive"},
        {"arrow.down.right.and.arrow.up.left", "close_fullscreen"},
        {"crop", "crop"},
        {"person.crop.rectangle", "portrait"},
        {"rectangle.compress.vertical", "compress"},
        {"rotate.right", "rotate_right"},
        {"arrow.left.and.right.righttriangle.left.righttriangle.right", "flip"},
        {"circle.lefthalf.filled", "contrast"},
        {"eye.slash", "visibility_off"},
        {"doc.richtext", "picture_as_pdf"},
        {"scissors", "content_cut"},
        {"waveform", "graphic_eq"},
        {"speaker.slash", "volume_off"},
        {"camera", "photo_camera"},
        {"photo.stack", "burst_mode"},
        {"waveform.path", "equalizer"},
        {"waveform.path.ecg.rectangle", "monitor_heart"},
        {"hifispeaker.2", "speaker_group"},
        {"waveform.badge.exclamationmark", "voice_over_off"},
        {"doc.on.doc", "file_copy"},
        {"number", "numbers"},
        {"line.3.horizontal.decrease", "filter_list"},
        {"airplayaudio", "share"},
        {"square.on.square", "filter_none"},
        {"doc.on.clipboard", "content_paste"},
        {"folder", "drive_file_move"},
        {"link", "link"},
        {"terminal", "terminal"},
        // The settings and welcome windows.
        {"exclamationmark.triangle", "warning"},
        {"checkmark.circle.fill", "check_circle"},
        {"info.circle", "info"},
        {"minus.circle", "remove_circle_outline"},
        {"pencil", "edit"},
        {"trash", "delete"},
        {"plus", "add"},
        {"photo", "photo"},
        {"film", "movie"},
        {"magnifyingglass", "search"},
        {"doc", "description"},
    };
    return map;
}
}

std::optional<QString> ligature(const std::string& name)
{
    const auto found = table().find(name);
    if (found == table().end()) return std::nullopt;
    return found->second;
}

const std::vector<std::string>& catalogNames()
{
    // Kept by hand from the tables' symbol columns: the tables only list options whose
    // engine is built, so they alone cannot show that every name will draw.
    static const std::vector<std::string> names = {
        "star.fill", "gauge.with.dots.needle.33percent", "doc.zipper", "archivebox", "text.viewfinder",
        "arrow.up.bin", "arrow.down.right.and.arrow.up.left", "crop", "person.crop.rectangle",
        "rectangle.compress.vertical", "rotate.right", "arrow.left.and.right.righttriangle.left.righttriangle.right",
        "circle.lefthalf.filled", "eye.slash", "doc.richtext", "scissors", "waveform", "speaker.slash", "camera",
        "photo.stack", "waveform.path", "waveform.path.ecg.rectangle", "hifispeaker.2",
        "waveform.badge.exclamationmark", "doc.on.doc", "number", "line.3.horizontal.decrease", "airplayaudio",
        "square.on.square", "doc.on.clipboard", "folder", "link", "terminal",
    };
    return names;
}

std::optional<QString> fontFamily()
{
    static const std::optional<QString> family = []() -> std::optional<QString> {
        const QString name = "Material Icons";
        if (QFontDatabase::families().contains(name)) return name;
        return std::nullopt;
    }();
    return family;
}

}
