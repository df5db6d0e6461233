#pragma once

#include "pagesetup.h"

class QPagedPaintDevice;
class QTextDocument;

namespace mizro::documents {

/// Prints a document page by page on a printer or a PDF: the page setup's
/// paper and margins, its header on top of every page, its footer and the
/// page number at the bottom. Laid out at 96 dpi and scaled to the device,
/// so that pixel sizes in the HTML keep their size on paper.
class DocumentPrinter {
public:
    /// Returns the number of pages printed.
    static int print(const QTextDocument &document, const PageSetup &page,
                     QPagedPaintDevice &device);
    /// Writes a PDF file; false when the file cannot be written.
    static bool writePdf(const QTextDocument &document, const PageSetup &page, const QString &path);
    /// Pages the document takes with this page setup.
    static int pageCount(const QTextDocument &document, const PageSetup &page);
};

} // namespace mizro::documents
