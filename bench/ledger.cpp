// The decision ledger and the search on a large database (demo data xSCALE),
// embedded and through a Firebird server on loopback: a full year's
// committee ledger to PDF (building and drawing apart), and a search over
// all years with both scans, each beside the same statements alone. Medians
// in ms.
//
//   bench_ledger [SCALE]

#include "benchsupport.h"
#include "db/database.h"
#include "db/query.h"
#include "db/readsnapshot.h"
#include "db/schema.h"
#include "demodata.h"
#include "demodatabase.h"
#include "lists/searchrules.h"
#include "loopbackserver.h"
#include "reports/ledgerrules.h"
#include "reports/reportrenderer.h"
#include "ui/body.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

using namespace mizro;

namespace {

QTextStream out(stdout);

struct Figures {
    double ledgerPdf = 0;   // build and draw
    double ledgerBuild = 0; // rows read and pages placed
    double ledgerDraw = 0;  // drawing the built pages into a PDF
    double ledgerSql = 0;   // the ledger's statements alone
    int pages = 0;
    qint64 pdfBytes = 0;
    double searchRead = 0; // both row sets
    double searchSql = 0;  // the same two statements alone
    double search = 0;     // both scans and the sorted list
    int searchLines = 0;
};

void drain(db::Query &q)
{
    q.exec();
    while (q.next()) {
    }
}

Figures measure(const QString &name, const QString &year, const QString &dir)
{
    Figures f;
    db::Database db;
    db.setDatabaseName(name);
    db.connect();
    const ui::Body &body = ui::Body::committee();
    const reports::LedgerRules rules(db, body);
    const QString pdf = dir + "/ledger.pdf";

    f.ledgerSql = medianMs(5, [&] {
        const db::ReadSnapshot snapshot(db);
        db::Query meetings(db, rules.meetingsSql(false));
        db::Query attendance(db, rules.attendanceSql());
        db::Query decisions(db, rules.decisionsSql());
        for (db::Query *q : {&meetings, &attendance, &decisions})
            q->setSnapshot(&snapshot);
        meetings.bind("YY", year);
        meetings.exec();
        QVector<QPair<QVariant, int>> rows;
        while (meetings.next())
            rows.append({meetings.value("KAYNO"), meetings.value("TARIH").toDate().year()});
        for (const auto &[kayno, y] : rows) {
            attendance.bind("OTN", kayno);
            attendance.bind("YIL", y);
            drain(attendance);
            decisions.bind("OTN", kayno);
            drain(decisions);
        }
    });
    reports::ReportDocument doc;
    f.ledgerBuild = medianMs(5, [&] { doc = rules.build(year, 0); });
    f.ledgerDraw = medianMs(5, [&] { reports::ReportRenderer::writePdf(doc, pdf, nullptr); });
    f.ledgerPdf =
        medianMs(5, [&] { reports::ReportRenderer::writePdf(rules.build(year, 0), pdf, nullptr); });
    f.pages = doc.pageCount();
    f.pdfBytes = QFileInfo(pdf).size();

    lists::SearchRules search(db, body);
    f.searchSql = medianMs(9, [&] {
        db::Query meetings(db, search.meetingsSql());
        drain(meetings);
        db::Query decisions(db, search.decisionsSql());
        drain(decisions);
    });
    f.searchRead = medianMs(9, [&] { search.read(); });
    // A word of many summaries, and so many lines to sort.
    f.search = medianMs(21, [&] { f.searchLines = int(search.search("hk.").size()); });
    out << "  " << name << "\n";
    return f;
}

/// For scale: 400 landscape pages of the ledger's look drawn straight onto
/// a PDF (two meeting bands and 14 decision bands a page, no data work).
double plainDrawing(const QString &pdf)
{
    return medianMs(3, [&] {
        QPdfWriter writer(pdf);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QPainter p(&writer);
        const double k = writer.resolution() / 25.4;
        auto rect = [k](double x, double y, double w, double h) {
            return QRectF(x * k, y * k, w * k, h * k);
        };
        QFont font("Arial");
        font.setPointSizeF(9);
        p.setFont(font);
        for (int page = 0; page < 400; ++page) {
            if (page > 0)
                writer.newPage();
            double y = 10;
            for (int band = 0; band < 16; ++band) {
                const bool meeting = band == 0 || band == 8;
                const double h = meeting ? 19.1 : 8.9;
                p.fillRect(rect(11.5, y + h - 0.4, 272.5, 0.35), Qt::black);
                for (double x : {11.5, 29.4, 46.8, 62.7, 79.7, 99.0, 283.7})
                    p.fillRect(rect(x, y, 0.35, h), Qt::black);
                const QStringList texts =
                    meeting ? QStringList{"Oturum No",
                                          "12",
                                          "Tarihi",
                                          "06/01/2026",
                                          "Saati",
                                          "10:00",
                                          "Türü",
                                          "1",
                                          "Açıklama",
                                          "ENCÜMEN OTURUMU",
                                          "Cengiz DOĞAN Hukuk İşl. Müdürü, Zeynep KARA İmar"}
                            : QStringList{"Karar No",
                                          "123",
                                          "Evrak No",
                                          "41420",
                                          "Karar Özeti",
                                          "Cumhuriyet Mahallesi İnönü Caddesi yol genişletme "
                                          "kamulaştırma bedelinin tespiti hk."};
                double x = 12;
                for (const QString &t : texts) {
                    p.drawText(QPointF(x * k, (y + 5) * k), t);
                    x += 20;
                }
                y += h;
            }
        }
    });
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int exitCode = 0;
    const std::optional<int> scaleGiven =
        scaleArgument(args,
                      "usage: bench_ledger [SCALE]\n"
                      "  Times the committee ledger to PDF and the search on demo data "
                      "times SCALE (default 20), embedded and through a Firebird "
                      "server on loopback.\n",
                      exitCode);
    if (!scaleGiven)
        return exitCode;
    const int scale = *scaleGiven;
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(2);

    QTemporaryDir dir;
    const QString path = dir.filePath("MIZRO.GDB");
    const QString year = QString::number(QDate::currentDate().year() - 1);
    const admin::DemoCounts counts = makeDemoDatabase(path, scale);
    out << "demo data x" << scale << ": " << counts.committeeMeetings << " committee and "
        << counts.councilMeetings << " council meetings, " << counts.decisions
        << " decisions; ledger of " << year << "\n";

    const double plain = plainDrawing(dir.filePath("plain.pdf"));
    const Figures embedded = measure(path, year, dir.path());
    Figures served;
    const bool haveServer =
        onLoopbackServer(path, dir.filePath("server"),
                         [&](const QString &name) { served = measure(name, year, dir.path()); });

    out << "\nmedians in ms                          embedded   server\n";
    auto row = [&](const QString &label, double e, double s) {
        figureRow(out, 37, label, e, s, haveServer);
    };
    out << "committee ledger of " << year << ": " << embedded.pages << " pages, PDF "
        << embedded.pdfBytes / 1024 << " KB\n";
    row("  to PDF, all told", embedded.ledgerPdf, served.ledgerPdf);
    row("    building (rows and pages)", embedded.ledgerBuild, served.ledgerBuild);
    row("    drawing the PDF", embedded.ledgerDraw, served.ledgerDraw);
    row("    the same statements alone", embedded.ledgerSql, served.ledgerSql);
    row("  for scale: 400 pages drawn straight", plain, plain);
    out << "committee search over all years (" << embedded.searchLines << " lines)\n";
    row("  reading both row sets", embedded.searchRead, served.searchRead);
    row("    the same statements alone", embedded.searchSql, served.searchSql);
    row("  both scans and the sorted list", embedded.search, served.search);
    return 0;
}
