#include "documents/PDFFiles.h"

#include "core/Errors.h"
#include "core/Progress.h"
#include "documents/PDFOps.h"

#include <poppler/qt6/poppler-qt6.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

namespace PDFFiles {

void startPoppler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Damaged files make Poppler describe every repair; the user reads one message instead.
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        // Poppler's Qt binding drops its global state whenever its last document closes, while
        // the GLib binding (styled text) keeps using it: one document held for the life of the
        // process keeps that state alive, so runs on other threads never see it vanish.
        static const std::unique_ptr<Poppler::Document> anchor = Poppler::Document::loadFromData(
            "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj\n"
            "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 1 1]>>endobj\ntrailer<</Root 1 0 R>>\n%%EOF\n");
    });
}

std::string cannotOpen(const Path& url)
{
    return "Couldn't open " + url.filename().string();
}

std::string locked(const Path& url)
{
    return url.filename().string() + " is password-protected";
}

std::string pageName(const Path& source, int page, int count, const std::string& ext)
{
    Path base = source.filename();
    base.replace_extension();
    if (lowerExt(base) == "tar") base.replace_extension();
    const int digits = std::max<int>(2, std::to_string(count).size());
    char number[32];
    std::snprintf(number, sizeof number, "%0*d", digits, page);
    return base.string() + "-" + number + "." + ext;
}

std::unique_ptr<QPDF> load(const Path& url)
{
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    try {
        pdf->processFile(url.c_str());
        // The page tree is read lazily: reading it here turns a broken or looping tree into
        // the opening message rather than a failure halfway through the work.
        if (QPDFPageDocumentHelper(*pdf).getAllPages().empty()) throw KError(cannotOpen(url));
    } catch (const QPDFExc& e) {
        throw KError(e.getErrorCode() == qpdf_e_password ? locked(url) : cannotOpen(url));
    } catch (const std::exception&) {
        throw KError(cannotOpen(url));
    }
    return pdf;
}

void save(QPDF& pdf, const Path& dest, const std::string& failure, const std::function<void(QPDFWriter&)>& configure)
{
    try {
        QPDFWriter writer(pdf, dest.c_str());
        if (configure) configure(writer);
        writer.write();
    } catch (const std::exception&) {
        throw KError(failure);
    }
}

void reportWriting(QPDFWriter& writer, double from)
{
    writer.registerProgressReporter(
        std::make_shared<QPDFWriter::FunctionProgressReporter>([from](int percent) { Progress::report(from + (1 - from) * percent / 100); }));
}

int workersFor(int count)
{
    return std::clamp(QThread::idealThreadCount(), 1, std::clamp(count, 1, 4));
}

void inParallel(int count, int workers, const std::function<void(int, int)>& work)
{
    std::atomic<int> next = 0;
    std::atomic<bool> failed = false;
    int done = 0;
    std::exception_ptr failure;
    std::mutex guard;
    const Progress::Sink sink = Progress::current();
    const auto run = [&](int worker) {
        try {
            for (int page = next++; page < count && !failed; page = next++) {
                work(worker, page);
                std::lock_guard lock(guard);
                if (sink) sink(double(++done) / count);
            }
        } catch (...) {
            std::lock_guard lock(guard);
            if (!failed.exchange(true)) failure = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int worker = 1; worker < workers; ++worker) helpers.emplace_back(run, worker);
        run(0);
    }
    if (failure) std::rethrow_exception(failure);
}

}

namespace PDFOps {

std::unique_ptr<Poppler::Document> open(const Path& url)
{
    PDFFiles::startPoppler();
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(QString::fromStdString(url.string()));
    if (!document) throw KError(PDFFiles::cannotOpen(url));
    if (document->isLocked()) throw KError(PDFFiles::locked(url));
    if (document->numPages() < 1) throw KError(PDFFiles::cannotOpen(url));
    // Drawn like other viewers draw: smoothed edges and text, on white paper.
    document->setRenderBackend(Poppler::Document::SplashBackend);
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    document->setPaperColor(Qt::white);
    return document;
}

}
