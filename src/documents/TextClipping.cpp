#include "documents/TextClipping.h"

#include "core/Errors.h"
#include "documents/RTF.h"
#include "documents/TextFile.h"
#include "documents/TextModel.h"

#include <plist/plist.h>

#include <QFile>
#include <QStringDecoder>
#include <QTextDocument>

#include <optional>

namespace {
// The most a property list is read from: these hold one page of text or one web page.
constexpr qint64 maxListBytes = 256 << 20;

struct List {
    plist_t root = nullptr;
    ~List() { plist_free(root); }
};

// Parses the file; a root that is not a dictionary counts as not parsing.
bool load(const Path& file, List& list)
{
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly) || in.size() > maxListBytes) return false;
    const QByteArray bytes = in.readAll();
    plist_from_memory(bytes.constData(), uint32_t(bytes.size()), &list.root);
    return list.root && plist_get_node_type(list.root) == PLIST_DICT;
}

plist_t item(plist_t dictionary, const char* key, plist_type type)
{
    if (!dictionary || plist_get_node_type(dictionary) != PLIST_DICT) return nullptr;
    plist_t value = plist_dict_get_item(dictionary, key);
    return value && plist_get_node_type(value) == type ? value : nullptr;
}

std::optional<std::string> string(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
    // Not plist_get_string_val: it aborts on a binary list's string that holds a NUL byte.
    uint64_t length = 0;
    const char* value = plist_get_string_ptr(node, &length);
    return std::string(value ? value : "", value ? length : 0);
}

// Data as it is, text as its UTF-8 bytes.
std::optional<std::string> bytes(plist_t node)
{
    if (!node) return std::nullopt;
    if (plist_get_node_type(node) == PLIST_DATA) {
        uint64_t length = 0;
        const char* data = plist_get_data_ptr(node, &length);
        return std::string(data ? data : "", data ? length : 0);
    }
    return string(node);
}
}

namespace TextClipping {

std::unique_ptr<QTextDocument> read(const Path& file)
{
    List list;
    plist_t types = load(file, list) ? item(list.root, "UTI-Data", PLIST_DICT) : nullptr;
    if (!types) throw KError("Couldn't read this text clipping");
    if (const auto rtf = bytes(plist_dict_get_item(types, "public.rtf")); rtf && !rtf->empty()) {
        try {
            return RTF::read(*rtf);
        } catch (const RTF::NotRTF&) {
        }
    }
    plist_t utf8 = plist_dict_get_item(types, "public.utf8-plain-text");
    plist_t utf16 = plist_dict_get_item(types, "public.utf16-plain-text");
    std::optional<std::string> text = string(utf8);
    if (!text) text = string(utf16);
    if (!text && utf8 && plist_get_node_type(utf8) == PLIST_DATA) text = QString::fromUtf8(QByteArray::fromStdString(*bytes(utf8))).toStdString();
    // The Finder stores UTF-16 text as data, little-endian unless a byte-order mark says otherwise.
    if (!text && utf16 && plist_get_node_type(utf16) == PLIST_DATA) {
        const QByteArray data = QByteArray::fromStdString(*bytes(utf16));
        QStringDecoder decoder(QStringConverter::encodingForData(data).value_or(QStringConverter::Utf16LE), QStringDecoder::Flag::Stateless);
        text = QString(decoder(data)).toStdString();
    }
    if (!text) throw KError("This clipping has no text");
    return TextModel::plain(QString::fromStdString(*text));
}

}

namespace WebArchive {

std::string readHTML(const Path& file)
{
    List list;
    plist_t main = load(file, list) ? item(list.root, "WebMainResource", PLIST_DICT) : nullptr;
    const auto data = main ? bytes(item(main, "WebResourceData", PLIST_DATA)) : std::nullopt;
    if (!data) throw KError("Couldn't read this web archive");
    const auto encoding = string(item(main, "WebResourceTextEncodingName", PLIST_STRING));
    if (encoding) {
        if (auto named = QStringConverter::encodingForName(encoding->c_str()); named && *named != QStringConverter::Utf8) {
            QStringDecoder decoder(*named);
            return QString(decoder(QByteArray::fromStdString(*data))).toStdString();
        }
    }
    return TextFile::decode(*data);
}

}
