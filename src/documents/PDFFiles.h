#pragma once
#include "core/Paths.h"

#include <functional>
#include <memory>
#include <string>

class QPDF;
class QPDFWriter;

// What the PDF operations share: starting Poppler, opening and writing files with qpdf, and
// naming page files.
namespace PDFFiles {
// Starts Poppler once, from whichever thread asks first.
void startPoppler();

std::string cannotOpen(const Path& url);
std::string locked(const Path& url);

// "<name>-<page>.<ext>", the page number padded to the digits of count but at least two.
std::string pageName(const Path& source, int page, int count, const std::string& ext);

// Opens a PDF with qpdf (recovering a damaged cross-reference table where it can) and reads
// its page tree. Throws the two opening messages.
std::unique_ptr<QPDF> load(const Path& url);
// Writes pdf to dest with the writer set up by configure; any failure is KError(failure).
void save(QPDF& pdf, const Path& dest, const std::string& failure, const std::function<void(QPDFWriter&)>& configure = {});
// Has the writer report its progress as the fractions from…1 of the work.
void reportWriting(QPDFWriter& writer, double from);

// How many threads page work should use for count pages: one per core, at most four.
int workersFor(int count);
// Calls work(worker, page) for every page 0…count-1, spread over `workers` threads (worker 0
// is the calling thread), and reports progress page by page. Each worker must use objects
// of its own: Poppler and qpdf documents are not shared between threads. The first failure
// stops the other workers after their current page and is rethrown.
void inParallel(int count, int workers, const std::function<void(int worker, int page)>& work);
}
