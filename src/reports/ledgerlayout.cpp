#include "ledgerlayout.h"

#include "ui/body.h"

namespace mizro::reports {

namespace {

constexpr double Rule = 0.35;
constexpr double ThinRule = 0.1;

struct TextRow {
    ReportElement::Kind kind;
    const char16_t *text; // label text or field
    MmRect place;
    Align align;
    bool wrap;
};

using K = ReportElement::Kind;

// Meeting band: left, top, width x height in mm within the band.
const TextRow MeetingTexts[] = {
    {K::Label, u"Oturum No", {2.1, 5.3, 16.1, 4.4}, Align::Left, false},
    {K::DataText, u"OTRNO", {2.9, 12.2, 15.2, 4.4}, Align::Center, false},
    {K::Label, u" Tarihi", {20.7, 5.3, 11.5, 4.4}, Align::Left, false},
    {K::DataText, u"TARIH", {20.6, 12.2, 15.2, 4.4}, Align::Center, false},
    {K::Label, u"Saati", {38.4, 5.3, 9.5, 4.4}, Align::Left, false},
    {K::DataText, u"SAAT", {38.0, 12.2, 13.6, 4.4}, Align::Center, false},
    {K::Label, u"Türü", {54.5, 5.3, 9.5, 4.4}, Align::Left, false},
    {K::DataText, u"TUR", {53.7, 12.2, 15.2, 4.4}, Align::Center, false},
    {K::Label, u"Açıklama", {71.0, 9.0, 13.5, 4.4}, Align::Left, false},
    {K::DataText, u"ACIK", {90.6, 3.5, 62.4, 14.3}, Align::Left, true},
    {K::Memo, u"QRMEMO1", {157.0, 3.5, 115.1, 14.3}, Align::Left, true},
};
const double MeetingVerticals[] = {1.5, 19.4, 36.8, 52.7, 69.7, 89.0, 155.8, 273.7};

// Decision band; the fourth column's field differs by body.
const TextRow DecisionTexts[] = {
    {K::Label, u"Karar No", {2.4, 2.0, 13.2, 4.4}, Align::Left, false},
    {K::DataText, u"KARNO", {20.6, 2.0, 15.1, 4.4}, Align::Center, false},
    {K::Label, u"Evrak No", {38.2, 2.0, 13.2, 4.4}, Align::Left, false},
    {K::DataText, nullptr, {53.6, 2.0, 14.6, 4.4}, Align::Center, false},
    {K::Label, u"Karar Özeti", {70.9, 2.0, 16.1, 4.4}, Align::Left, false},
    {K::DataText, u"OZET", {90.4, 0.7, 182.2, 6.9}, Align::Left, true},
};
const double DecisionVerticals[] = {1.5, 19.4, 36.8, 52.7, 69.7, 89.0, 273.7};

template <size_t N>
void addTexts(ReportBand &band, const TextRow (&rows)[N], const QString &fourth = {})
{
    for (const TextRow &r : rows) {
        ReportElement e;
        e.kind = r.kind;
        e.text = r.text ? QString::fromUtf16(r.text) : fourth;
        e.place = r.place;
        e.align = r.align;
        e.wrap = r.wrap;
        band.elements.append(e);
    }
}

} // namespace

ReportLayout LedgerLayout::make(const ui::Body &body)
{
    ReportLayout r;
    r.name = body.isCommittee() ? QStringLiteral("TQRENCDEF") : QStringLiteral("TQRMECDEF");
    r.orientation = QPageLayout::Landscape;
    r.marginLeft = r.marginTop = r.marginRight = r.marginBottom = 10;
    r.printIfEmpty = true;
    r.pageNumberText = QStringLiteral("Sayfa %1 / %2");

    r.title.height = 10.6;
    ReportFont titleFont;
    titleFont.pointSize = 14;
    titleFont.bold = true;
    r.title.label({0, 2.4, 277, 6.3},
                  body.isCommittee() ? QStringLiteral("ENCÜMEN KARAR DEFTERİ")
                                     : QStringLiteral("MECLİS KARAR DEFTERİ"),
                  Align::BandCenter, titleFont);

    ReportBand &meeting = r.detail;
    meeting.height = 19.1;
    meeting.horizontalRule(1.5, 274.0, 2.2, Rule);
    meeting.horizontalRule(1.5, 274.0, 18.7, Rule);
    meeting.horizontalRule(1.7, 69.7, 10.3, ThinRule);
    for (double x : MeetingVerticals)
        meeting.verticalRule(x, 2.2, meeting.height, Rule);
    addTexts(meeting, MeetingTexts);

    ReportBand &decision = r.subDetail;
    decision.height = 8.9;
    decision.printIfEmpty = true;
    for (double x : DecisionVerticals)
        decision.verticalRule(x, 0, decision.height, Rule);
    decision.horizontalRule(1.5, 274.0, 8.5, Rule);
    addTexts(decision, DecisionTexts,
             body.isCommittee() ? QStringLiteral("EVSAY") : QStringLiteral("SNO"));
    return r;
}

} // namespace mizro::reports
