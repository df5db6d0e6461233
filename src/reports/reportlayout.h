#pragma once

#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace mizro::reports {

/// A box within a band, in millimetres from the band's top left corner.
struct MmRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 9;
    bool bold = false;
};

enum class Align {
    Left,
    Center,
    BandCenter, // centred across the whole band, whatever the box's left and width
};

/// One element of a band.
struct ReportElement {
    enum class Kind {
        Label,    // text: the fixed text
        DataText, // text: the field of the band's data set
        Memo,     // text: the name of a memo the program fills
        Rule,     // a filled rectangle
    };
    Kind kind = Kind::Label;
    MmRect place;
    QString text;
    Align align = Align::Left;
    ReportFont font;
    bool wrap = false; // memos always wrap

    bool isText() const { return kind != Kind::Rule; }
    bool wraps() const { return wrap || kind == Kind::Memo; }
};

struct ReportBand {
    double height = 0;
    bool printIfEmpty = false; // for a sub-detail: one band when its data set has no rows
    QVector<ReportElement> elements;

    bool isEmpty() const { return elements.isEmpty() && height <= 0; }
    void label(const MmRect &place, const QString &text, Align align = Align::Left,
               const ReportFont &font = {});
    void dataText(const MmRect &place, const QString &field, Align align = Align::Left,
                  bool wrap = false, const ReportFont &font = {});
    void memo(const MmRect &place, const QString &name, Align align = Align::Left,
              const ReportFont &font = {});
    void horizontalRule(double left, double right, double top, double thickness);
    void verticalRule(double left, double top, double bottom, double thickness);
};

/// A banded report: a title once, a detail band for each row of the master
/// data set and, after each, a sub-detail band for each row of its own data
/// set. Sizes in millimetres, on A4.
struct ReportLayout {
    QString name;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double marginLeft = 10;
    double marginTop = 10;
    double marginRight = 10;
    double marginBottom = 10;
    /// A master data set without rows still gives the title and one detail
    /// band with empty data texts.
    bool printIfEmpty = false;
    ReportBand title;
    ReportBand detail;
    ReportBand subDetail;
    /// "%1" the page, "%2" the page count; centred in the bottom margin.
    /// Empty: no page numbers.
    QString pageNumberText;
    ReportFont pageNumberFont;

    /// The page in millimetres (A4 in the layout's orientation).
    QSizeF pageSize() const;
    double usableWidth() const { return pageSize().width() - marginLeft - marginRight; }
    double usableHeight() const { return pageSize().height() - marginTop - marginBottom; }
    QPageLayout pageLayout() const;
};

} // namespace mizro::reports
