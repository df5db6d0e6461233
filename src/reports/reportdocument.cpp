#include "reportdocument.h"

#include "reportsource.h"

namespace mizro::reports {

namespace {

class Placer {
public:
    Placer(const ReportLayout &layout, ReportDocument &doc) : m_layout(layout), m_doc(doc) {}

    void place(PlacedBand::Kind kind, QStringList texts)
    {
        const double height = m_doc.band(kind).height;
        // A band taller than a page starts one and runs over its end.
        if (m_doc.pages.isEmpty() ||
            (m_used > 0 && m_used + height > m_layout.usableHeight() + 1e-9)) {
            m_doc.pages.append(ReportPage{});
            m_used = 0;
        }
        m_doc.pages.last().bands.append({kind, m_used, std::move(texts)});
        m_used += height;
    }

private:
    const ReportLayout &m_layout;
    ReportDocument &m_doc;
    double m_used = 0;
};

template <typename TextOf>
QStringList textsOf(const ReportBand &band, const ReportSource &source, TextOf dataText)
{
    QStringList texts;
    for (const ReportElement &e : band.elements) {
        if (e.kind == ReportElement::Kind::DataText)
            texts << dataText(e.text);
        else if (e.kind == ReportElement::Kind::Memo)
            texts << source.memo(e.text);
    }
    return texts;
}

} // namespace

const ReportBand &ReportDocument::band(PlacedBand::Kind kind) const
{
    switch (kind) {
    case PlacedBand::Kind::Title:
        return layout.title;
    case PlacedBand::Kind::Detail:
        return layout.detail;
    case PlacedBand::Kind::SubDetail:
        break;
    }
    return layout.subDetail;
}

ReportDocument buildReport(const ReportLayout &layout, ReportSource &source,
                           const ReportProgressHook &progress)
{
    ReportDocument doc;
    doc.layout = layout;
    source.beforePrint();
    const int count = source.masterCount();
    if (count == 0 && !layout.printIfEmpty)
        return doc;
    Placer placer(layout, doc);
    auto empty = [](const QString &) {
        return QString();
    };
    if (!layout.title.isEmpty())
        placer.place(PlacedBand::Kind::Title, textsOf(layout.title, source, empty));
    const bool hasSubDetail = !layout.subDetail.isEmpty();
    for (int row = 0; row < qMax(count, 1); ++row) {
        const bool real = row < count;
        if (real)
            source.masterMoved(row);
        auto master = [&](const QString &field) {
            return real ? source.masterText(field) : QString();
        };
        placer.place(PlacedBand::Kind::Detail, textsOf(layout.detail, source, master));
        if (hasSubDetail) {
            const int details = real ? source.subDetailCount() : 0;
            for (int d = 0; d < details; ++d) {
                auto sub = [&](const QString &field) {
                    return source.subDetailText(d, field);
                };
                placer.place(PlacedBand::Kind::SubDetail, textsOf(layout.subDetail, source, sub));
            }
            if (details == 0 && layout.subDetail.printIfEmpty)
                placer.place(PlacedBand::Kind::SubDetail, textsOf(layout.subDetail, source, empty));
        }
        if (progress && !progress(doc.pageCount())) {
            doc.cancelled = true;
            return doc;
        }
    }
    return doc;
}

} // namespace mizro::reports
