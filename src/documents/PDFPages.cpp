#include "documents/PDFOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "documents/PDFFiles.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <set>

// Pages move between files as objects: their content streams, fonts and images are copied
// byte for byte, never drawn again.
namespace PDFOps {

namespace {
// Appends pages of another file. Pages go first and annotations after, because qpdf turns a
// reference to a page it has not copied yet into null: this way links between the pages lead
// to their copies. Annotations of a file with a form are copied with their fields (a bare copy
// would leave the fields out of the form).
void append(QPDF& target, QPDF& source, std::vector<QPDFPageObjectHelper> pages)
{
    std::vector<QPDFObjectHandle> annotations, added;
    for (QPDFPageObjectHelper& page : pages) {
        QPDFObjectHandle object = page.getObjectHandle();
        annotations.push_back(object.getKey("/Annots"));
        object.removeKey("/Annots");
        QPDFPageDocumentHelper(target).addPage(page, false);
        added.push_back(target.getAllPages().back());
    }
    QPDFAcroFormDocumentHelper sourceForms(source);
    QPDFAcroFormDocumentHelper targetForms(target);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (!annotations[i].isArray()) continue;
        pages[i].getObjectHandle().replaceKey("/Annots", annotations[i]);
        if (sourceForms.hasAcroForm()) {
            targetForms.fixCopiedAnnotations(added[i], pages[i].getObjectHandle(), sourceForms);
            continue;
        }
        QPDFObjectHandle copies = QPDFObjectHandle::newArray();
        for (QPDFObjectHandle annotation : annotations[i].aitems()) {
            copies.appendItem(target.copyForeignObject(annotation.isIndirect() ? annotation : source.makeIndirectObject(annotation)));
        }
        added[i].replaceKey("/Annots", copies);
    }
}

// Whether pages share resource dictionaries: some writers give every page all of the
// document's fonts and images, which a one-page file would then carry in full.
bool sharesResources(std::vector<QPDFPageObjectHelper>& pages)
{
    std::set<QPDFObjGen> seen;
    for (QPDFPageObjectHelper& page : pages) {
        QPDFObjectHandle resources = page.getAttribute("/Resources", false);
        if (!resources.isDictionary()) continue;
        for (QPDFObjectHandle part : {resources, resources.getKey("/XObject"), resources.getKey("/Font")}) {
            if (part.isIndirect() && !seen.insert(part.getObjGen()).second) return true;
        }
    }
    return false;
}
}

Path merge(const Paths& urls)
{
    // Every source opens before anything is written, so a locked one is named up front.
    std::vector<std::unique_ptr<QPDF>> sources;
    for (const Path& url : urls) sources.push_back(PDFFiles::load(url));
    // The first file is the base: its outline, page labels and document settings stay.
    QPDF& merged = *sources.front();
    try {
        for (std::size_t i = 1; i < sources.size(); ++i) {
            append(merged, *sources[i], QPDFPageDocumentHelper(*sources[i]).getAllPages());
            Progress::report(0.5 * double(i) / sources.size());
        }
    } catch (const std::exception&) {
        throw KError("Couldn't write merged PDF");
    }
    return Output::produce(urls.front(), "pdf", "merged", [&](const Path& to) {
        PDFFiles::save(merged, to, "Couldn't write merged PDF", [](QPDFWriter& writer) { PDFFiles::reportWriting(writer, 0.5); });
    });
}

Path split(const Path& url)
{
    // One qpdf document per thread, each with its pages' resources made their own.
    std::vector<std::unique_ptr<QPDF>> sources;
    sources.push_back(PDFFiles::load(url));
    const int count = int(sources.front()->getAllPages().size());
    while (int(sources.size()) < PDFFiles::workersFor(count)) sources.push_back(PDFFiles::load(url));
    std::vector<std::vector<QPDFPageObjectHelper>> pages;
    try {
        for (const std::unique_ptr<QPDF>& source : sources) {
            QPDFPageDocumentHelper helper(*source);
            pages.push_back(helper.getAllPages());
            helper.pushInheritedAttributesToPage();
            if (sharesResources(pages.back())) helper.removeUnreferencedResources();
        }
    } catch (const std::exception&) {
        throw KError("Couldn't write PDF");
    }
    return Output::produce(url, "", "pages", [&](const Path& folder) {
        PDFFiles::inParallel(count, int(sources.size()), [&](int worker, int i) {
            QPDF& source = *sources[worker];
            QPDF one;
            try {
                one.emptyPDF();
                append(one, source, {pages[worker][i]});
            } catch (const std::exception&) {
                throw KError("Couldn't write PDF");
            }
            // A restricted source keeps its restrictions in every page file.
            PDFFiles::save(one, folder / PDFFiles::pageName(url, i + 1, count, "pdf"), "Couldn't write PDF", [&](QPDFWriter& writer) {
                if (source.isEncrypted()) writer.copyEncryptionParameters(source);
            });
        });
    });
}

Path rotate(const Path& url)
{
    const std::unique_ptr<QPDF> pdf = PDFFiles::load(url);
    try {
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*pdf).getAllPages()) page.rotatePage(90, true);
    } catch (const std::exception&) {
        throw KError("Couldn't write PDF");
    }
    return Output::produce(url, "pdf", "rotated", [&](const Path& to) {
        PDFFiles::save(*pdf, to, "Couldn't write PDF", [](QPDFWriter& writer) { PDFFiles::reportWriting(writer, 0); });
    });
}

}
