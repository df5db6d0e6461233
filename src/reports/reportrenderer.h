#pragma once

#include "reportdocument.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QPrinter;

namespace mizro::reports {

/// Draws the pages of a built report on any painter: the preview's, a
/// printer's, a PDF's, an image's. Positions follow the device's own
/// resolution, so the same millimetres land in the same place on each.
/// Texts never leave their boxes: a line a little too wide is drawn a
/// little smaller, a longer one is cut; wrapped text keeps the lines that
/// fit whole.
class ReportRenderer {
public:
    explicit ReportRenderer(const ReportDocument &doc) : m_doc(doc) {}

    /// One page; the painter's origin is the paper's top left corner.
    void drawPage(QPainter &painter, int page);
    /// Every page, with newPage() between two pages; false when the
    /// progress hook stopped it or a page could not be started.
    bool drawAll(QPainter &painter, const std::function<bool()> &newPage,
                 const ReportProgressHook &progress = nullptr);

    /// Writes a PDF file; false with the reason in error when it cannot be
    /// written (or the progress hook stopped it: error stays empty).
    static bool writePdf(const ReportDocument &doc, const QString &path, QString *error,
                         const ReportProgressHook &progress = nullptr);
    /// A page as a picture at the given resolution.
    static QImage pageImage(const ReportDocument &doc, int page, int dpi);
    /// Prints on a printer set up for the report's paper (full page).
    static bool print(const ReportDocument &doc, QPrinter &printer,
                      const ReportProgressHook &progress = nullptr);
    /// Sets a printer to the report's paper, drawn from the paper's corner.
    static void preparePrinter(const ReportDocument &doc, QPrinter &printer);

private:
    struct Metrics {
        QFont font;
        QFontMetricsF metrics;
    };
    /// A text laid out on one line, kept: the same labels, times and
    /// member texts recur on every page.
    struct Shaped {
        QList<QGlyphRun> runs;
        qreal width = 0;
    };
    const Metrics &metricsOf(const ReportFont &font);
    const Shaped &shaped(const QString &text, const Metrics &m);
    void drawText(QPainter &painter, const ReportElement &e, const QRectF &box,
                  const QString &text);
    void drawWrapped(QPainter &painter, const ReportElement &e, const QRectF &box,
                     const QString &text, const Metrics &m);
    void drawRules(QPainter &painter, QVector<QRectF> &rules);
    QRectF deviceRect(double left, double top, double width, double height) const;

    const ReportDocument &m_doc;
    QPaintDevice *m_device = nullptr;
    double m_kx = 1; // device pixels per millimetre
    double m_ky = 1;
    QHash<QString, Metrics *> m_metrics;
    std::vector<std::unique_ptr<Metrics>> m_ownMetrics;
    QHash<QPair<const Metrics *, QString>, Shaped> m_shaped;
};

} // namespace mizro::reports
