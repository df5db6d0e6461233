// The banded report: bands placed on pages, empty data sets, and the
// elements drawn where the layout puts them.

#include "memorysource.h"
#include "pdfwords.h"
#include "reports/ledgerlayout.h"
#include "reports/reportdocument.h"
#include "reports/reportrenderer.h"
#include "testsupport.h"
#include "ui/body.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace mizro;
using namespace mizro::reports;
using Kind = PlacedBand::Kind;

namespace {

/// A small report: a title, a detail with one data text, a sub-detail
/// with one data text.
ReportLayout smallLayout(bool printIfEmpty, bool subPrintIfEmpty)
{
    ReportLayout r;
    r.printIfEmpty = printIfEmpty;
    r.title.height = 10;
    r.title.label({0, 0, 50, 5}, "TITLE");
    r.detail.height = 20;
    r.detail.dataText({0, 0, 50, 5}, "A");
    r.subDetail.height = 10;
    r.subDetail.printIfEmpty = subPrintIfEmpty;
    r.subDetail.dataText({0, 0, 50, 5}, "B");
    return r;
}

/// Each placed band as kind letter and its texts: "T", "D:x", "S:y".
QStringList outline(const ReportDocument &doc)
{
    QStringList out;
    for (const ReportPage &p : doc.pages)
        for (const PlacedBand &b : p.bands)
            out << QString(b.kind == Kind::Title    ? "T"
                           : b.kind == Kind::Detail ? "D:"
                                                    : "S:") +
                       b.texts.join(',');
    return out;
}

struct Expected {
    QString text;
    bool centred;
    double left, width, top; // mm on the paper
};

QVector<Expected> readGolden(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QVector<Expected> out;
    for (const QString &line : QString::fromUtf8(f.readAll()).split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList c = line.split('|');
        out.append({c[0].trimmed(), c[1].trimmed() == "C", c[2].toDouble(), c[3].toDouble(),
                    c[4].toDouble()});
    }
    return out;
}

/// The run of words that spells text, on page 1.
bool findRun(const QVector<PdfWord> &words, const QString &text, PdfWord &found)
{
    const QStringList parts = text.split(' ');
    for (int i = 0; i + parts.size() <= words.size(); ++i) {
        bool same = true;
        for (int j = 0; j < parts.size() && same; ++j)
            same = words[i + j].page == 1 && words[i + j].text == parts[j];
        if (same) {
            found = words[i];
            found.xMax = words[i + parts.size() - 1].xMax;
            return true;
        }
    }
    return false;
}

} // namespace

class TestRenderer : public QObject {
    Q_OBJECT
private slots:
    void emptyDataSets_data()
    {
        QTest::addColumn<bool>("printIfEmpty");
        QTest::addColumn<bool>("subPrintIfEmpty");
        QTest::addColumn<int>("masters");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no rows, print-if-empty") << true << false << 0 << QStringList{"T", "D:"};
        QTest::newRow("no rows, both print-if-empty")
            << true << true << 0 << QStringList{"T", "D:", "S:"};
        QTest::newRow("no rows, no flag") << false << true << 0 << QStringList{};
        QTest::newRow("sub-detail empty, print-if-empty")
            << false << true << 1 << QStringList{"T", "D:a0", "S:"};
        QTest::newRow("sub-detail empty, no flag")
            << false << false << 1 << QStringList{"T", "D:a0"};
    }

    void emptyDataSets()
    {
        QFETCH(bool, printIfEmpty);
        QFETCH(bool, subPrintIfEmpty);
        QFETCH(int, masters);
        QFETCH(QStringList, expected);
        MemorySource source;
        for (int i = 0; i < masters; ++i)
            source.masters.append({{{"A", QString("a%1").arg(i)}}, {}, {}});
        const ReportDocument doc = buildReport(smallLayout(printIfEmpty, subPrintIfEmpty), source);
        QCOMPARE(outline(doc), expected);
        QCOMPARE(doc.pageCount(), expected.isEmpty() ? 0 : 1);
        QCOMPARE(source.moves, masters);
    }

    // A4 portrait, 277 mm usable: title 10, then details of 20 with two
    // sub-details of 10 each (40 per master row). Six rows fill 250 mm; the
    // seventh row's detail fits (270), its first sub-detail ends exactly at
    // 280 > 277 and starts the next page.
    void bandThatDoesNotFitMovesToTheNextPage()
    {
        MemorySource source;
        for (int i = 0; i < 8; ++i)
            source.masters.append({{{"A", QString::number(i)}}, {{{"B", "x"}}, {{"B", "y"}}}, {}});
        const ReportDocument doc = buildReport(smallLayout(false, false), source);
        QCOMPARE(doc.pageCount(), 2);
        const QVector<PlacedBand> &first = doc.pages[0].bands;
        QCOMPARE(first.size(), 1 + 6 * 3 + 1);
        QCOMPARE(first.last().kind, Kind::Detail);
        QCOMPARE(first.last().top, 250.0);
        const QVector<PlacedBand> &second = doc.pages[1].bands;
        QCOMPARE(second.first().kind, Kind::SubDetail);
        QCOMPARE(second.first().top, 0.0);
        QCOMPARE(second.first().texts, QStringList{"x"});
        QCOMPARE(second[2].texts, QStringList{"7"});
        QCOMPARE(second[2].top, 20.0);
        for (const ReportPage &p : doc.pages)
            for (const PlacedBand &b : p.bands)
                QVERIFY(b.top + doc.band(b.kind).height <= doc.layout.usableHeight() + 1e-9);
    }

    // The committee ledger's first page in a PDF, read back word by word:
    // every text where the layout tables put it.
    void elementsStandWhereTheLayoutPutsThem()
    {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(),
                 "pdftotext (poppler-utils) is needed");
        MemorySource source;
        source.masters.append({{{"OTRNO", "7"},
                                {"TARIH", "05/03/2025"},
                                {"SAAT", "10:00"},
                                {"TUR", "1"},
                                {"ACIK", "ENCÜMEN OTURUMU"}},
                               {{{"KARNO", "12"}, {"EVSAY", "4567"}, {"OZET", "Yol"}}},
                               "Ayşe KAYA Üye, "});
        const ReportDocument doc = buildReport(LedgerLayout::make(ui::Body::committee()), source);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("ledger.pdf");
        QString error;
        QVERIFY2(ReportRenderer::writePdf(doc, pdf, &error), qPrintable(error));
        const QVector<PdfWord> words = pdfWords(pdf);
        QVERIFY(!words.isEmpty());
        const QVector<Expected> golden = readGolden(QFINDTESTDATA("ledger-page1.golden"));
        QVERIFY(golden.size() > 10);
        constexpr double Tolerance = 0.5; // mm
        for (const Expected &e : golden) {
            PdfWord w;
            QVERIFY2(findRun(words, e.text, w), qPrintable("not found: " + e.text));
            if (e.centred)
                QVERIFY2(
                    qAbs((w.xMin + w.xMax) / 2 - (e.left + e.width / 2)) < Tolerance,
                    qPrintable(QString("%1 centred at %2").arg(e.text).arg((w.xMin + w.xMax) / 2)));
            else
                QVERIFY2(qAbs(w.xMin - e.left) < Tolerance,
                         qPrintable(QString("%1 left at %2").arg(e.text).arg(w.xMin)));
            QVERIFY2(qAbs(w.yMin - e.top) < Tolerance,
                     qPrintable(QString("%1 top at %2").arg(e.text).arg(w.yMin)));
        }
    }

    // A summary of 140 letters without a blank, and a long member text:
    // wrapped inside their boxes, never past them.
    void longTextsStayInTheirBoxes()
    {
        QVERIFY(!QStandardPaths::findExecutable("pdftotext").isEmpty());
        const QString summary = QString("ŞĞÜİÖÇışğüöç").repeated(12).left(140);
        QString members;
        for (int i = 0; i < 12; ++i)
            members = QString("Gülşen ÖZTÜRKOĞLU%1 Meclis Üyesi, ").arg(i) + members;
        MemorySource source;
        source.masters.append({{{"OTRNO", "1"}, {"ACIK", QString(60, QChar(u'Ğ'))}},
                               {{{"KARNO", "1"}, {"OZET", summary}}},
                               members});
        const ReportDocument doc = buildReport(LedgerLayout::make(ui::Body::committee()), source);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("long.pdf");
        QVERIFY(ReportRenderer::writePdf(doc, pdf, nullptr));
        const QVector<PdfWord> words = pdfWords(pdf);
        // Boxes on the paper: summary, description, member box.
        struct Box {
            QString first;
            double left, top, right, bottom;
        };
        const double meeting = 20.6, decision = 39.7;
        const Box boxes[] = {
            {"ŞĞÜ", 100.4, decision + 0.7, 100.4 + 182.2, decision + 0.7 + 6.9},
            {"ĞĞ", 100.6, meeting + 3.5, 100.6 + 62.4, meeting + 3.5 + 14.3},
            {"Gülşen", 167.0, meeting + 3.5, 167.0 + 115.1, meeting + 3.5 + 14.3},
        };
        QString drawnSummary;
        for (const Box &b : boxes) {
            int inside = 0;
            for (const PdfWord &w : words) {
                if (w.xMin < b.left - 0.5 || w.xMin > b.right || w.yMin < b.top - 0.5 ||
                    w.yMin > b.bottom)
                    continue;
                ++inside;
                QVERIFY2(w.xMax <= b.right + 0.3, qPrintable(w.text));
                QVERIFY2(w.yMax <= b.bottom + 0.3, qPrintable(w.text));
                if (b.first == "ŞĞÜ")
                    drawnSummary += w.text;
            }
            QVERIFY2(inside >= 2, qPrintable(b.first)); // wrapped onto more lines
        }
        QCOMPARE(drawnSummary, summary); // two lines, nothing lost
    }

    void pageAsImage()
    {
        MemorySource source;
        const ReportDocument doc = buildReport(LedgerLayout::make(ui::Body::council()), source);
        const QImage page = ReportRenderer::pageImage(doc, 0, 100);
        QCOMPARE(page.size(), QSize(1169, 827)); // A4 landscape at 100 dpi
        // The top rule of the meeting band, 10 + 10.6 + 2.2 mm down, is black.
        const int y = qRound((10 + 10.6 + 2.2 + 0.17) / 25.4 * 100);
        QCOMPARE(page.pixelColor(600, y).lightness() < 128, true);
        QCOMPARE(page.pixelColor(600, y + 10).lightness() > 128, true);
    }
};

MIZRO_TEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
