#include "documentprinter.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <memory>

namespace mizro::documents {

namespace {

constexpr double LayoutDpi = 96.0;

struct Geometry {
    double width = 0;
    double bodyHeight = 0;
    double headerHeight = 0;
    double footerHeight = 0;
};

QFont marginFont(const PageSetup &page)
{
    QFont f(page.fontFamily);
    f.setPointSizeF(9);
    return f;
}

Geometry geometryOf(const PageSetup &page)
{
    const QRectF paint = page.pageLayout().paintRect(QPageLayout::Point);
    const double toPixels = LayoutDpi / 72.0;
    const double line = QFontMetricsF(marginFont(page)).height();
    Geometry g;
    g.width = paint.width() * toPixels;
    g.headerHeight = page.header.isEmpty() ? 0 : line * 2;
    g.footerHeight = line * 2; // the page number is always there
    g.bodyHeight = qMax(50.0, paint.height() * toPixels - g.headerHeight - g.footerHeight);
    return g;
}

std::unique_ptr<QTextDocument> laidOut(const QTextDocument &document, const Geometry &g)
{
    std::unique_ptr<QTextDocument> copy(document.clone());
    // The copy is a plain document: hand it the pictures the original holds.
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QUrl name(f.toImageFormat().name());
            copy->addResource(QTextDocument::ImageResource, name,
                              document.resource(QTextDocument::ImageResource, name));
        }
    }
    copy->setPageSize(QSizeF(g.width, g.bodyHeight));
    return copy;
}

} // namespace

int DocumentPrinter::pageCount(const QTextDocument &document, const PageSetup &page)
{
    return laidOut(document, geometryOf(page))->pageCount();
}

int DocumentPrinter::print(const QTextDocument &document, const PageSetup &page,
                           QPagedPaintDevice &device)
{
    device.setPageLayout(page.pageLayout());
    const Geometry g = geometryOf(page);
    const std::unique_ptr<QTextDocument> doc = laidOut(document, g);
    const int pages = doc->pageCount();
    QPainter painter(&device);
    if (!painter.isActive())
        return 0;
    const double scale = device.logicalDpiX() / LayoutDpi;
    painter.scale(scale, scale);
    painter.setFont(marginFont(page));
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device.newPage();
        if (!page.header.isEmpty())
            painter.drawText(QRectF(0, 0, g.width, g.headerHeight),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, page.header);
        const QRectF footer(0, g.headerHeight + g.bodyHeight, g.width, g.footerHeight);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, page.footer);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine,
                         QStringLiteral("%1 / %2").arg(i + 1).arg(pages));
        painter.save();
        painter.translate(0, g.headerHeight - i * g.bodyHeight);
        context.clip = QRectF(0, i * g.bodyHeight, g.width, g.bodyHeight);
        painter.setClipRect(context.clip);
        doc->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return pages;
}

bool DocumentPrinter::writePdf(const QTextDocument &document, const PageSetup &page,
                               const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("MIZRO"));
        writer.setResolution(300);
        if (print(document, page, writer) == 0)
            return false;
    }
    return file.error() == QFileDevice::NoError;
}

} // namespace mizro::documents
