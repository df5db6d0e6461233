#include "reportlayout.h"

#include <QPageSize>

namespace mizro::reports {

void ReportBand::label(const MmRect &place, const QString &text, Align align,
                       const ReportFont &font)
{
    elements.append({ReportElement::Kind::Label, place, text, align, font, false});
}

void ReportBand::dataText(const MmRect &place, const QString &field, Align align, bool wrap,
                          const ReportFont &font)
{
    elements.append({ReportElement::Kind::DataText, place, field, align, font, wrap});
}

void ReportBand::memo(const MmRect &place, const QString &name, Align align, const ReportFont &font)
{
    elements.append({ReportElement::Kind::Memo, place, name, align, font, true});
}

void ReportBand::horizontalRule(double left, double right, double top, double thickness)
{
    ReportElement e;
    e.kind = ReportElement::Kind::Rule;
    e.place = {left, top, right - left, thickness};
    elements.append(e);
}

void ReportBand::verticalRule(double left, double top, double bottom, double thickness)
{
    ReportElement e;
    e.kind = ReportElement::Kind::Rule;
    e.place = {left, top, thickness, bottom - top};
    elements.append(e);
}

QSizeF ReportLayout::pageSize() const
{
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? a4.transposed() : a4;
}

QPageLayout ReportLayout::pageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation,
                       QMarginsF(marginLeft, marginTop, marginRight, marginBottom),
                       QPageLayout::Millimeter);
}

} // namespace mizro::reports
