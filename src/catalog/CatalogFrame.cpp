#include "catalog/CatalogFrame.h"

#include "core/Output.h"

#include <QLocale>
#include <QString>
#include <QTextBoundaryFinder>

#include <set>

namespace Catalog {

WheelOptions offered(const Rows& rows, const Paths& urls)
{
    WheelOptions options;
    for (const Row& row : rows) {
        if (!row.when || row.when(urls)) options.push_back(row.option);
    }
    return options;
}

WheelOption option(const std::string& title, const std::string& symbol, RunFn run)
{
    return {title, symbol, false, false, std::move(run)};
}

WheelOption editor(const std::string& title, const std::string& symbol, Editing::Editor editor, const std::string& working,
                   std::function<Path(const Path& file, const Editing::Choice& choice)> apply)
{
    RunFn run = [editor, apply](const Paths& urls) {
        OptionResult result;
        for (const Path& url : urls) result.outputs.push_back(apply(url, Editing::ask(editor, url)));
        return result;
    };
    WheelOption option{title, symbol, false, true, std::move(run)};
    option.interaction = Interaction{editor, working, std::move(apply)};
    return option;
}

FileKind kindOf(const Paths& urls)
{
    std::set<FileKind> kinds;
    for (const Path& url : urls) kinds.insert(FileKinds::of(url));
    return kinds.size() == 1 ? *kinds.begin() : FileKind::other;
}

WheelOptions formatOptions(const std::vector<std::string>& exts, ConvertFn convert, Batch::Load load)
{
    WheelOptions options;
    for (const std::string& ext : exts) {
        options.push_back({upperAscii(ext), std::nullopt, false, false, each([convert, ext](const Path& url) { return convert(url, ext); }, load)});
    }
    return options;
}

RunFn each(EachFn f, Batch::Load load)
{
    return [f, load](const Paths& urls) {
        Paths outputs(urls.size());
        Batch::run(
            urls.size(), load, [&](std::size_t i) { outputs[i] = f(urls[i]); }, [&](std::size_t i) { Output::release(outputs[i]); });
        return OptionResult{std::move(outputs), std::nullopt};
    };
}

WheelOption fitOption(const std::string& title, std::int64_t bytes, FitFn f, Batch::Load load)
{
    RunFn run = [title, bytes, f, load](const Paths& urls) {
        std::vector<std::optional<Path>> outputs(urls.size());
        Batch::run(
            urls.size(), load, [&](std::size_t i) { outputs[i] = f(urls[i], bytes); },
            [&](std::size_t i) {
                if (outputs[i]) Output::release(*outputs[i]);
            });
        OptionResult result;
        size_t skipped = 0;
        for (const std::optional<Path>& out : outputs) {
            if (out) result.outputs.push_back(*out);
            else ++skipped;
        }
        if (result.outputs.empty()) result.message = "Already under " + title.substr(title.size() >= 4 ? 4 : title.size()) + " — nothing to do";
        else if (skipped > 0) result.message = std::to_string(skipped) + " already fit and were left alone";
        return result;
    };
    return {title, "gauge.with.dots.needle.33percent", false, false, run};
}

WheelOption ocrOption(OCRFn f)
{
    RunFn run = [f](const Paths& urls) {
        OptionResult result;
        std::string text;
        for (const Path& url : urls) {
            auto [output, found] = f(url);
            result.outputs.push_back(output);
            if (!text.empty()) text += "\n\n";
            text += found;
        }
        const size_t words = wordCount(text);
        result.message = QLocale().toString(qulonglong(words)).toStdString() + (words == 1 ? " word" : " words") + " copied to the clipboard";
        result.clipboard = std::move(text);
        return result;
    };
    return {"Text", "text.viewfinder", false, false, run};
}

size_t wordCount(const std::string& text)
{
    const QString string = QString::fromStdString(text);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, string);
    size_t words = 0;
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        // A segment between two boundaries is a word when it holds a letter or a digit.
        for (qsizetype i = start; i < end; ++i) {
            if (string[i].isLetterOrNumber()) {
                ++words;
                break;
            }
        }
        start = end;
    }
    return words;
}

std::set<std::string> sameExt(const Paths& urls)
{
    std::set<std::string> exts;
    for (const Path& url : urls) {
        const std::string ext = lowerExt(url);
        exts.insert(ext == "jpeg" ? "jpg" : ext);
    }
    return exts;
}

std::vector<std::string> newTargets(const std::vector<std::string>& targets, const Paths& urls)
{
    const std::set<std::string> same = sameExt(urls);
    std::vector<std::string> left;
    for (const std::string& ext : targets) {
        if (!same.count(ext)) left.push_back(ext);
    }
    return left;
}

std::string summary(const Paths& urls)
{
    if (urls.size() == 1) {
        Path p = urls.front();
        if (p.filename().empty()) p = p.parent_path();
        return p.filename().string();
    }
    std::set<FileKind> kinds;
    for (const Path& url : urls) kinds.insert(FileKinds::of(url));
    const std::string noun = kinds.size() == 1 ? lowerAscii(FileKinds::label(*kinds.begin())) : "item";
    return std::to_string(urls.size()) + " " + noun + (noun.back() == 's' ? "" : "s");
}

void cutToTwelve(WheelOptions& options)
{
    if (options.size() > 12) options.resize(12);
}

}
