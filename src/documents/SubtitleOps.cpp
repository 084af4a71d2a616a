#include "documents/SubtitleOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "documents/TextFile.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace SubtitleOps {

namespace {
// Larger times would overflow the millisecond count the writers format.
constexpr double maxSeconds = 1e15;

// Start and end of a timing line "start --> end [settings]", or none.
std::optional<std::pair<double, double>> timing(const QString& line)
{
    const QStringList pieces = line.split(QStringLiteral("-->"));
    if (pieces.size() != 2) return std::nullopt;
    const QStringList words = pieces[1].split(u' ', Qt::SkipEmptyParts);
    const auto start = parseTime(pieces[0].toStdString());
    const auto end = words.isEmpty() ? std::nullopt : parseTime(words[0].toStdString());
    if (!start || !end) return std::nullopt;
    return std::pair(*start, *end);
}

bool allDigits(const QString& line)
{
    static const QRegularExpression number("^\\s*\\d+\\s*$");
    return number.match(line).hasMatch();
}

// Walks the lines block by block (blocks end at empty lines). The first line with "-->" in a
// block is its timing line; the lines after it are the text. A further valid timing line in
// the same block starts a new cue, so that a cue whose text and blank line are missing does
// not swallow the next one (with its sequence number).
class Reader {
public:
    void line(const QString& line)
    {
        if (line.isEmpty()) return endBlock();
        const bool timed = line.contains(QStringLiteral("-->"));
        if (state_ != State::inCue) {
            if (!timed) return;
            // A broken timing line spoils its own cue only: a good one after it starts the next.
            const auto times = timing(line);
            if (times) begin(*times);
            else state_ = State::skipping;
            return;
        }
        if (const auto times = timed ? timing(line) : std::nullopt) {
            if (!text_.isEmpty() && allDigits(text_.last())) text_.removeLast();
            finishCue();
            begin(*times);
            return;
        }
        text_.push_back(line);
    }

    std::vector<Cue> finish()
    {
        endBlock();
        return std::move(cues_);
    }

private:
    enum class State { before, inCue, skipping };

    void begin(std::pair<double, double> times)
    {
        current_ = {times.first, times.second, {}};
        text_.clear();
        state_ = State::inCue;
    }

    void finishCue()
    {
        current_.text = text_.join(u'\n').trimmed().toStdString();
        cues_.push_back(current_);
    }

    void endBlock()
    {
        if (state_ == State::inCue) finishCue();
        state_ = State::before;
    }

    State state_ = State::before;
    Cue current_;
    QStringList text_;
    std::vector<Cue> cues_;
};

// A tag as players read it: a name right after "<" (or "</"), then classes or attributes; or
// a WebVTT timestamp. "a < b and c > d" holds none.
const QRegularExpression& anyTag()
{
    static const QRegularExpression tag("</?[A-Za-z][A-Za-z0-9]*(?:[\\s.][^<>]*)?>|<(?:\\d+:)?\\d{2}:\\d{2}\\.\\d{3}>");
    return tag;
}

// The cue text of a WebVTT file: its own tags stay, tags it does not know (SRT's font) go,
// a "<" that starts no tag is written "&lt;", and "-->", which would end the cue, "--&gt;".
QString vttText(const QString& text)
{
    static const QRegularExpression cueTag("</?(?:c|i|b|u|ruby|rt|v|lang)(?:\\.[^\\s.<>/]+)*(?:[ \t][^<>\\n]*)?>|<(?:\\d+:)?\\d{2}:\\d{2}\\.\\d{3}>");
    // Cue texts come from decoded files and are valid UTF-16: no need to check them at every "<".
    const auto at = [&](const QRegularExpression& pattern, qsizetype i) {
        return pattern.match(text, i, QRegularExpression::NormalMatch,
                             QRegularExpression::AnchorAtOffsetMatchOption | QRegularExpression::DontCheckSubjectStringMatchOption);
    };
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'<') {
            if (const auto tag = at(cueTag, i); tag.hasMatch()) {
                out += tag.capturedView();
                i = tag.capturedEnd() - 1;
            } else if (const auto other = at(anyTag(), i); other.hasMatch()) {
                i = other.capturedEnd() - 1;
            } else {
                out += QStringLiteral("&lt;");
            }
        } else if (QStringView(text).sliced(i).startsWith(u"-->")) {
            out += QStringLiteral("--&gt;");
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// WebVTT writes "<", ">" and "&" as references; SRT and plain text have none.
QString unescapedVtt(QString text)
{
    return text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&nbsp;"), QStringLiteral("\u00a0"))
        .replace(QStringLiteral("&lrm;"), QStringLiteral("\u200e"))
        .replace(QStringLiteral("&rlm;"), QStringLiteral("\u200f"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

std::string srt(const std::vector<Cue>& cues, bool fromVtt)
{
    std::string out;
    for (size_t i = 0; i < cues.size(); ++i) {
        if (i > 0) out += "\n\n";
        const std::string text = fromVtt ? unescapedVtt(QString::fromStdString(cues[i].text)).toStdString() : cues[i].text;
        out += std::to_string(i + 1) + "\n" + format(cues[i].start, ",") + " --> " + format(cues[i].end, ",") + "\n" + text;
    }
    return out + "\n";
}

std::string vtt(const std::vector<Cue>& cues)
{
    std::string out = "WEBVTT\n\n";
    for (size_t i = 0; i < cues.size(); ++i) {
        if (i > 0) out += "\n\n";
        out += format(cues[i].start, ".") + " --> " + format(cues[i].end, ".") + "\n" + vttText(QString::fromStdString(cues[i].text)).toStdString();
    }
    return out + "\n";
}

std::string plain(const std::vector<Cue>& cues, bool fromVtt)
{
    std::string out;
    for (const Cue& cue : cues) {
        const QString text = QString::fromStdString(cue.text).remove(anyTag());
        out += (fromVtt ? unescapedVtt(text) : text).toStdString() + "\n";
    }
    return out;
}
}

std::vector<Cue> parse(const Path& file)
{
    QString text = QString::fromStdString(TextFile::read(file));
    // Old Mac files end lines with a lone carriage return.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    Reader reader;
    for (const QString& line : text.split(u'\n')) reader.line(line);
    std::vector<Cue> cues = reader.finish();
    if (cues.empty()) throw KError("No subtitles found in " + file.filename().string());
    return cues;
}

std::optional<double> parseTime(const std::string& text)
{
    static const QRegularExpression decimal("^(\\d+(\\.\\d*)?|\\.\\d+)$");
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    QString time = QString::fromStdString(text.substr(first, text.find_last_not_of(" \t") + 1 - first));
    const QStringList pieces = time.replace(u',', u'.').split(u':', Qt::SkipEmptyParts);
    if (pieces.size() != 2 && pieces.size() != 3) return std::nullopt;
    double value = 0;
    for (const QString& piece : pieces) {
        if (!decimal.match(piece).hasMatch()) return std::nullopt;
        value = value * 60 + piece.toDouble();
    }
    if (!(value < maxSeconds)) return std::nullopt;
    return value;
}

std::string format(double seconds, const std::string& sep)
{
    const double clamped = std::isfinite(seconds) ? std::clamp(seconds, 0.0, maxSeconds) : 0.0;
    const auto ms = static_cast<std::int64_t>(std::llround(clamped * 1000));
    char clock[48];
    std::snprintf(clock, sizeof clock, "%02lld:%02lld:%02lld", static_cast<long long>(ms / 3600000),
                  static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60));
    char millis[8];
    std::snprintf(millis, sizeof millis, "%03lld", static_cast<long long>(ms % 1000));
    return clock + sep + millis;
}

Path convert(const Path& source, const std::string& ext)
{
    const std::vector<Cue> cues = parse(source);
    const bool fromVtt = lowerExt(source) == "vtt";
    const std::string text = ext == "srt" ? srt(cues, fromVtt) : ext == "vtt" ? vtt(cues) : plain(cues, fromVtt);
    return Output::produce(source, ext, "", [&](const Path& to) { TextFile::write(to, text); });
}

}
