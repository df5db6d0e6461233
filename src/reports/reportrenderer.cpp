#include "reportrenderer.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace mizro::reports {

namespace {

// The smallest a single line is drawn to keep it whole, of its size.
constexpr double MinimumShrink = 0.8;

QString fontKey(const ReportFont &f)
{
    return f.family + QLatin1Char('/') + QString::number(f.pointSize) +
           (f.bold ? QStringLiteral("/b") : QString());
}

} // namespace

const ReportRenderer::Metrics &ReportRenderer::metricsOf(const ReportFont &font)
{
    const QString key = fontKey(font);
    if (Metrics *m = m_metrics.value(key))
        return *m;
    QFont f(font.family);
    f.setPointSizeF(font.pointSize);
    f.setBold(font.bold);
    // Positions are the device's; hinting to screen pixels would move them.
    f.setHintingPreference(QFont::PreferNoHinting);
    m_ownMetrics.push_back(std::make_unique<Metrics>(Metrics{f, QFontMetricsF(f, m_device)}));
    m_metrics.insert(key, m_ownMetrics.back().get());
    return *m_ownMetrics.back();
}

const ReportRenderer::Shaped &ReportRenderer::shaped(const QString &text, const Metrics &m)
{
    const QPair<const Metrics *, QString> key(&m, text);
    auto found = m_shaped.constFind(key);
    if (found != m_shaped.constEnd())
        return *found;
    // Kept small: most decision texts are seen once.
    if (m_shaped.size() > 4096)
        m_shaped.clear();
    QTextLayout layout(text, m.font, m_device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e9);
    layout.endLayout();
    Shaped s;
    s.width = line.isValid() ? line.naturalTextWidth() : 0;
    s.runs = layout.glyphRuns();
    return *m_shaped.insert(key, s);
}

QRectF ReportRenderer::deviceRect(double left, double top, double width, double height) const
{
    return QRectF(left * m_kx, top * m_ky, width * m_kx, height * m_ky);
}

void ReportRenderer::drawPage(QPainter &painter, int page)
{
    if (painter.device() != m_device) {
        m_device = painter.device();
        m_kx = m_device->logicalDpiX() / 25.4;
        m_ky = m_device->logicalDpiY() / 25.4;
        m_shaped.clear();
        m_metrics.clear();
        m_ownMetrics.clear();
    }
    const ReportLayout &layout = m_doc.layout;
    painter.setPen(Qt::black);
    QVector<QRectF> rules;
    for (const PlacedBand &placed : m_doc.pages.at(page).bands) {
        const ReportBand &band = m_doc.band(placed.kind);
        const double top = layout.marginTop + placed.top;
        int text = 0;
        for (const ReportElement &e : band.elements) {
            const MmRect &r = e.place;
            if (e.kind == ReportElement::Kind::Rule) {
                rules << deviceRect(layout.marginLeft + r.left, top + r.top, r.width, r.height);
                continue;
            }
            const QString &value =
                e.kind == ReportElement::Kind::Label ? e.text : placed.texts.at(text++);
            if (value.isEmpty())
                continue;
            const QRectF box =
                e.align == Align::BandCenter
                    ? deviceRect(layout.marginLeft, top + r.top, layout.usableWidth(), r.height)
                    : deviceRect(layout.marginLeft + r.left, top + r.top, r.width, r.height);
            drawText(painter, e, box, value);
        }
    }
    drawRules(painter, rules);
    if (!layout.pageNumberText.isEmpty()) {
        ReportElement number;
        number.align = Align::Center;
        number.font = layout.pageNumberFont;
        const QSizeF paper = layout.pageSize();
        // Centred both ways in the bottom margin.
        const double line = metricsOf(number.font).metrics.height() / m_ky;
        drawText(
            painter, number,
            deviceRect(0, paper.height() - (layout.marginBottom + line) / 2, paper.width(), line),
            layout.pageNumberText.arg(page + 1).arg(m_doc.pageCount()));
    }
}

void ReportRenderer::drawText(QPainter &painter, const ReportElement &e, const QRectF &box,
                              const QString &text)
{
    const Metrics *m = &metricsOf(e.font);
    const Shaped *line = &shaped(text, *m);
    if (e.wraps() && line->width > box.width()) {
        painter.setFont(m->font);
        drawWrapped(painter, e, box, text, *m);
        return;
    }
    if (m->metrics.height() > box.height() + 0.5)
        return; // not even one line fits
    if (line->width > box.width() && line->width * MinimumShrink <= box.width()) {
        // A little smaller rather than cut: a date just wider than its box.
        ReportFont smaller = e.font;
        smaller.pointSize = std::floor(e.font.pointSize * box.width() / line->width * 10) / 10;
        m = &metricsOf(smaller);
        line = &shaped(text, *m);
    }
    // Texts stand at the top of their boxes.
    if (line->width <= box.width()) {
        qreal x = box.left();
        if (e.align != Align::Left)
            x += (box.width() - line->width) / 2;
        for (const QGlyphRun &run : line->runs)
            painter.drawGlyphRun(QPointF(x, box.top()), run);
        return;
    }
    // Cut at the box's right edge rather than draw past it.
    QString shown = text;
    qreal shownWidth = line->width;
    while (shownWidth > box.width() && !shown.isEmpty()) {
        shown.chop(1);
        shownWidth = m->metrics.horizontalAdvance(shown);
    }
    qreal x = box.left();
    if (e.align != Align::Left)
        x += (box.width() - shownWidth) / 2;
    painter.setFont(m->font);
    painter.drawText(QPointF(x, box.top() + m->metrics.ascent()), shown);
}

void ReportRenderer::drawWrapped(QPainter &painter, const ReportElement &e, const QRectF &box,
                                 const QString &text, const Metrics &m)
{
    QTextLayout layout(text, m.font, m_device);
    QTextOption option;
    // A word longer than the box is broken inside it.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(e.align == Align::Left ? Qt::AlignLeft : Qt::AlignHCenter);
    layout.setTextOption(option);
    const qreal height = m.metrics.ascent() + m.metrics.descent();
    layout.beginLayout();
    QVector<QTextLine> lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, lines.size() * height));
        lines << line;
    }
    layout.endLayout();
    // As many whole lines as the box holds; the lines may close up a little
    // (never below 90 % of their height) so that one more fits, as a full
    // summary needs two lines in its box.
    const qreal room = box.height() + 0.01 * height;
    qsizetype shown = qMin<qsizetype>(lines.size(), qMax(0, int(room / height)));
    qreal pitch = height;
    if (shown < lines.size() && shown >= 1 && (room - height) / qreal(shown) >= 0.9 * height) {
        pitch = (room - height) / qreal(shown);
        ++shown;
    }
    for (qsizetype i = 0; i < shown; ++i)
        lines[i].draw(&painter, box.topLeft() + QPointF(0, i * pitch - lines[i].y()));
}

void ReportRenderer::drawRules(QPainter &painter, QVector<QRectF> &rules)
{
    // The vertical rules of bands one under the other are one line on the
    // paper: drawn as one, and all in one go.
    std::sort(rules.begin(), rules.end(), [](const QRectF &a, const QRectF &b) {
        return std::tuple(a.left(), a.width(), a.top()) < std::tuple(b.left(), b.width(), b.top());
    });
    QVector<QRectF> merged;
    for (const QRectF &r : std::as_const(rules)) {
        if (!merged.isEmpty()) {
            QRectF &last = merged.last();
            if (qFuzzyCompare(last.left(), r.left()) && qFuzzyCompare(last.width(), r.width()) &&
                r.top() <= last.bottom() + 0.01 && r.top() >= last.top()) {
                last.setBottom(qMax(last.bottom(), r.bottom()));
                continue;
            }
        }
        merged << r;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRects(merged.constData(), int(merged.size()));
    painter.restore();
}

bool ReportRenderer::drawAll(QPainter &painter, const std::function<bool()> &newPage,
                             const ReportProgressHook &progress)
{
    for (int page = 0; page < m_doc.pageCount(); ++page) {
        if (page > 0 && !newPage())
            return false;
        drawPage(painter, page);
        if (progress && !progress(page + 1))
            return false;
    }
    return true;
}

bool ReportRenderer::writePdf(const ReportDocument &doc, const QString &path, QString *error,
                              const ReportProgressHook &progress)
{
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("MIZRO"));
    writer.setTitle(doc.layout.name);
    // Margins are the report's own: the painter starts at the paper's corner.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), doc.layout.orientation,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("PDF dosyası yazılamadı: %1").arg(path);
        return false;
    }
    ReportRenderer renderer(doc);
    const bool done = renderer.drawAll(
        painter, [&writer] { return writer.newPage(); }, progress);
    painter.end();
    if (!done && error)
        error->clear();
    return done;
}

QImage ReportRenderer::pageImage(const ReportDocument &doc, int page, int dpi)
{
    const QSizeF mm = doc.layout.pageSize();
    QImage image(qRound(mm.width() / 25.4 * dpi), qRound(mm.height() / 25.4 * dpi),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    ReportRenderer(doc).drawPage(painter, page);
    return image;
}

void ReportRenderer::preparePrinter(const ReportDocument &doc, QPrinter &printer)
{
    printer.setFullPage(true);
    printer.setPageLayout(doc.layout.pageLayout());
    printer.setDocName(doc.layout.name);
}

bool ReportRenderer::print(const ReportDocument &doc, QPrinter &printer,
                           const ReportProgressHook &progress)
{
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    ReportRenderer renderer(doc);
    const bool done = renderer.drawAll(
        painter, [&printer] { return printer.newPage(); }, progress);
    painter.end();
    return done;
}

} // namespace mizro::reports
