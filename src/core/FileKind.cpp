#include "core/FileKind.h"

#include "core/EnumTable.h"

#include <QMimeDatabase>

#include <array>
#include <mutex>

namespace FileKinds {

const ExtSet documentExts = {"md", "markdown", "txt", "text", "rtf", "rtfd", "docx", "doc", "odt", "html", "htm", "webarchive", "pages", "textclipping"};
const ExtSet spreadsheetExts = {"csv", "tsv", "xlsx", "xls", "ods", "numbers"};
const ExtSet slidesExts = {"ppt", "pptx", "key", "odp"};
const ExtSet packageExts = {"rtfd", "pages", "key", "numbers"};
const ExtSet subtitleExts = {"srt", "vtt"};
const ExtSet archiveExts = {"zip", "tar", "gz", "tgz", "bz2", "tbz", "xz", "txz", "rar", "7z", "cpio", "xar"};
const ExtSet videoExts = {"mp4", "mov", "m4v", "mkv", "webm", "avi", "wmv", "flv", "mpg", "mpeg", "3gp", "ts", "mts", "ogv"};
const ExtSet audioExts = {"mp3", "m4a", "wav", "aif", "aiff", "aifc", "flac", "ogg", "oga", "opus", "wma", "caf", "aac", "amr"};

namespace {
struct Entry {
    FileKind value;
    const char* raw;
    const char* label;
};
constexpr std::array<Entry, 12> entries = {{
    {FileKind::image, "image", "Image"},
    {FileKind::video, "video", "Video"},
    {FileKind::audio, "audio", "Audio"},
    {FileKind::pdf, "pdf", "PDF"},
    {FileKind::document, "document", "Document"},
    {FileKind::spreadsheet, "spreadsheet", "Spreadsheet"},
    {FileKind::slides, "slides", "Presentation"},
    {FileKind::ebook, "ebook", "EPUB"},
    {FileKind::subtitle, "subtitle", "Subtitles"},
    {FileKind::archive, "archive", "Archive"},
    {FileKind::folder, "folder", "Folder"},
    {FileKind::other, "other", "File"},
}};

// The shared-mime-info database answers for every extension the fixed sets do not name.
FileKind byMimeType(const std::string& ext)
{
    static std::mutex lock;
    std::lock_guard guard(lock);
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(QStringLiteral("x.") + QString::fromStdString(ext), QMimeDatabase::MatchExtension);
    QStringList names = type.allAncestors();
    names.prepend(type.name());
    for (const char* prefix : {"image/", "video/", "audio/"}) {
        for (const QString& name : names) {
            if (!name.startsWith(QLatin1String(prefix))) continue;
            if (prefix[0] == 'i') return FileKind::image;
            return prefix[0] == 'v' ? FileKind::video : FileKind::audio;
        }
    }
    return FileKind::other;
}
}

const std::vector<FileKind>& allCases()
{
    static const std::vector<FileKind> cases = EnumTable::cases(entries);
    return cases;
}

std::string rawValue(FileKind kind)
{
    return EnumTable::row(entries, kind).raw;
}

std::optional<FileKind> fromRawValue(const std::string& raw)
{
    return EnumTable::parse(entries, raw);
}

std::string label(FileKind kind)
{
    return EnumTable::row(entries, kind).label;
}

FileKind of(const Path& url)
{
    const std::string ext = lowerExt(url);
    std::error_code ec;
    if (std::filesystem::is_directory(url, ec) && !packageExts.count(ext)) return FileKind::folder;
    if (ext == "pdf") return FileKind::pdf;
    if (subtitleExts.count(ext)) return FileKind::subtitle;
    if (spreadsheetExts.count(ext)) return FileKind::spreadsheet;
    if (slidesExts.count(ext)) return FileKind::slides;
    if (ext == "epub") return FileKind::ebook;
    if (documentExts.count(ext)) return FileKind::document;
    if (archiveExts.count(ext)) return FileKind::archive;
    if (videoExts.count(ext)) return FileKind::video;
    if (audioExts.count(ext)) return FileKind::audio;
    if (ext == "svg") return FileKind::image;
    if (ext.empty()) return FileKind::other;
    return byMimeType(ext);
}

}
