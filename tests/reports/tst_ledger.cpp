// The decision ledger: the report built from the period's meetings, their
// attendance and decisions, and the screen that lists and prints it.

#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "pdfwords.h"
#include "reports/ledgerrules.h"
#include "reports/ledgerscreen.h"
#include "reports/reportpreview.h"
#include "reports/reportrenderer.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

using namespace mizro;
using namespace mizro::reports;
using Kind = PlacedBand::Kind;

using Members = QVector<QPair<QString, QString>>;

namespace {

const ui::Body &bodyOf(bool committee)
{
    return committee ? ui::Body::committee() : ui::Body::council();
}

void meeting(test::TestSession &t, const ui::Body &b, int kayno, int otrno, const QDate &date,
             const QString &description = "OTURUM")
{
    t.exec(QString("INSERT INTO %1 (KAYNO,OTRNO,TARIH,SAAT,TUR,ACIK) "
                   "VALUES (:P1,:P2,:P3,'10:30','1',:P4)")
               .arg(b.meetingTable),
           {kayno, otrno, date, description});
}

void decision(test::TestSession &t, const ui::Body &b, int kayno, int karno, int sno,
              const QString &summary, const QVariant &date = QVariant())
{
    if (b.isCommittee())
        t.exec("INSERT INTO EKAR (KAYNO,KARNO,SNO,OZET,EVSAY,TARIH) "
               "VALUES (:P1,:P2,:P3,:P4,:P5,:P6)",
               {kayno, karno, sno, summary, 9000 + karno, date});
    else
        t.exec("INSERT INTO MKAR (KAYNO,KARNO,SNO,OZET,TARIH) VALUES (:P1,:P2,:P3,:P4,:P5)",
               {kayno, karno, sno, summary, date});
}

void member(test::TestSession &t, const ui::Body &b, int year, int code, const QString &name,
            const QString &title)
{
    t.exec(QString("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,DUR) VALUES (:P1,:P2,:P3,:P4,'A')")
               .arg(b.memberTable),
           {year, code, name, title});
}

void attends(test::TestSession &t, const ui::Body &b, int kayno, int code)
{
    t.exec(QString("INSERT INTO %1 (KAYNO,UKOD) VALUES (:P1,:P2)").arg(b.attendanceTable),
           {kayno, code});
}

/// The texts of every band of a kind, in print order.
QVector<QStringList> texts(const ReportDocument &doc, Kind kind)
{
    QVector<QStringList> out;
    for (const ReportPage &p : doc.pages)
        for (const PlacedBand &band : p.bands)
            if (band.kind == kind)
                out << band.texts;
    return out;
}

// Meeting band texts: OTRNO, TARIH, SAAT, TUR, ACIK, member box.
constexpr int MemberBox = 5;

QStringList gridColumn(LedgerScreen &screen, int column)
{
    QStringList out;
    QAbstractItemModel *m = screen.grid()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->data(m->index(r, column)).toString();
    out.sort();
    return out;
}

} // namespace

class TestLedger : public QObject {
    Q_OBJECT
private slots:
    void periodWithoutMeetings()
    {
        test::TestSession t("2025");
        const ReportDocument doc = LedgerRules(t.db(), ui::Body::committee()).build("2025", 0);
        QCOMPARE(doc.pageCount(), 1);
        QCOMPARE(doc.pages[0].bands.size(), 3);
        QCOMPARE(doc.band(Kind::Title).elements.first().text, "ENCÜMEN KARAR DEFTERİ");
        QCOMPARE(texts(doc, Kind::Detail), QVector<QStringList>{QStringList(6)});
        QCOMPARE(texts(doc, Kind::SubDetail), QVector<QStringList>{QStringList(3)});
    }

    // One meeting with members and no decision, one with a decision and
    // nobody present.
    void meetingWithoutDecisionsOrAttendance()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2025, 2, 4), "İLK");
        meeting(t, b, 2, 2, QDate(2025, 2, 11), "İKİNCİ");
        member(t, b, 2025, 1, "Ayşe KAYA", "Başkan");
        attends(t, b, 1, 1);
        decision(t, b, 2, 1, 1, "Yol yapımı");
        const ReportDocument doc = LedgerRules(t.db(), b).build("2025", 0);
        const QVector<QStringList> meetings = texts(doc, Kind::Detail);
        QCOMPARE(meetings.size(), 2);
        QCOMPARE(meetings[0],
                 (QStringList{"1", "04/02/2025", "10:30", "1", "İLK", "Ayşe KAYA Başkan, "}));
        QCOMPARE(meetings[1][MemberBox], "");
        QCOMPARE(texts(doc, Kind::SubDetail),
                 (QVector<QStringList>{QStringList(3), {"1", "9001", "Yol yapımı"}}));
        // Bands in print order: meeting, its (empty) decision, meeting, decision.
        QStringList order;
        for (const PlacedBand &band : doc.pages[0].bands)
            order << QString::number(int(band.kind));
        QCOMPARE(order.join(""), "01212");
    }

    // Rows read A, B, C: the box names C first; a row without its member
    // adds a blank and ", ".
    void memberTextInReverseOrder_data()
    {
        QTest::addColumn<Members>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << Members{} << "";
        QTest::newRow("three") << Members{{"A a", "Üye"}, {"B b", "Başkan"}, {"C c", ""}}
                               << "C c , B b Başkan, A a Üye, ";
        QTest::newRow("member row missing") << Members{{"A", "T"}, {"", ""}} << " , A T, ";
    }

    void memberTextInReverseOrder()
    {
        QFETCH(Members, rows);
        QFETCH(QString, expected);
        QCOMPARE(LedgerRules::memberText(rows), expected);
    }

    void threeAttendanceRowsPrintReversed()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::council();
        meeting(t, b, 5, 1, QDate(2025, 6, 4));
        member(t, b, 2025, 1, "Ali VELİ", "Başkan");
        member(t, b, 2025, 2, "Şükrü ÇELİK", "Üye");
        member(t, b, 2025, 3, "Gülşen ÖZ", "Üye");
        for (int code : {1, 2, 3})
            attends(t, b, 5, code);
        attends(t, b, 5, 9); // nobody has number 9
        const ReportDocument doc = LedgerRules(t.db(), b).build("2025", 0);
        QCOMPARE(texts(doc, Kind::Detail)[0][MemberBox],
                 " , Gülşen ÖZ Üye, Şükrü ÇELİK Üye, Ali VELİ Başkan, ");
    }

    // The member box printed every year's holder of a member number.
    void memberBoxNamesOnlyTheMeetingsYear_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("committee") << true;
        QTest::newRow("council") << false;
    }

    void memberBoxNamesOnlyTheMeetingsYear()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2024");
        member(t, b, 2023, 1, "Eski KİŞİ", "Üye");
        member(t, b, 2024, 1, "Ayşe KAYA", "Başkan");
        member(t, b, 2025, 1, "Yeni KİŞİ", "Üye");
        meeting(t, b, 1, 1, QDate(2024, 3, 5));
        attends(t, b, 1, 1);
        const ReportDocument doc = LedgerRules(t.db(), b).build("2024", 0);
        QCOMPARE(texts(doc, Kind::Detail)[0][MemberBox], "Ayşe KAYA Başkan, ");
    }

    void councilFourthColumnIsTheOrderNumber_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<QString>("fourth");
        QTest::addColumn<QString>("title");
        QTest::newRow("committee: incoming paper") << true << "9007"
                                                   << "ENCÜMEN KARAR DEFTERİ";
        QTest::newRow("council: order number") << false << "3"
                                               << "MECLİS KARAR DEFTERİ";
    }

    void councilFourthColumnIsTheOrderNumber()
    {
        QFETCH(bool, committee);
        QFETCH(QString, fourth);
        QFETCH(QString, title);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2025");
        meeting(t, b, 1, 1, QDate(2025, 1, 7));
        decision(t, b, 1, 7, 3, "Özet");
        const ReportDocument doc = LedgerRules(t.db(), b).build("2025", 0);
        QCOMPARE(doc.layout.name, committee ? "TQRENCDEF" : "TQRMECDEF");
        QCOMPARE(doc.band(Kind::Title).elements.first().text, title);
        QCOMPARE(texts(doc, Kind::SubDetail)[0], (QStringList{"7", fourth, "Özet"}));
        // The fourth column stands under "Evrak No" in both.
        const QVector<ReportElement> &elements = doc.band(Kind::SubDetail).elements;
        int label = 0;
        while (label < elements.size() && elements[label].text != "Evrak No")
            ++label;
        QVERIFY(label + 1 < elements.size());
        QCOMPARE(elements[label + 1].text, committee ? "EVSAY" : "SNO");
    }

    // While the ledger is built another clerk adds a decision to a later
    // meeting: the ledger shows the moment it began.
    void readsOneMoment()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2025, 1, 7));
        meeting(t, b, 2, 2, QDate(2025, 1, 14));
        decision(t, b, 2, 1, 1, "Önce");
        db::Database other;
        other.setDatabaseName(t.copy().path());
        other.connect();
        int calls = 0;
        const ReportDocument doc = LedgerRules(t.db(), b).build("2025", 0, [&](int) {
            if (calls++ == 0)
                db::Query(other, "INSERT INTO EKAR (KAYNO,KARNO,SNO,OZET) VALUES (2,2,2,'Sonra')")
                    .exec();
            return true;
        });
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAR").toInt(), 2);
        QStringList summaries;
        for (const QStringList &d : texts(doc, Kind::SubDetail))
            summaries << d[2];
        QCOMPARE(summaries, (QStringList{"", "Önce"}));
    }

    void monthFilter()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2025, 3, 4));
        meeting(t, b, 2, 2, QDate(2025, 4, 1));
        meeting(t, b, 3, 1, QDate(2024, 3, 5));
        decision(t, b, 1, 1, 1, "Mart");
        decision(t, b, 2, 2, 1, "Nisan");
        decision(t, b, 3, 1, 1, "Geçen yıl");
        QStringList months;
        for (int month : {0, 3, 4, 5}) {
            const ReportDocument doc = LedgerRules(t.db(), b).build("2025", month);
            QStringList s;
            for (const QStringList &d : texts(doc, Kind::SubDetail))
                s << d[2];
            months << s.join('+');
        }
        QCOMPARE(months, (QStringList{"Mart+Nisan", "Mart", "Nisan", ""}));

        ui::ScriptedDialogRunner dialogs;
        LedgerScreen screen(t.session(), b, dialogs);
        screen.show();
        QCOMPARE(screen.monthSelector()->count(), 13);
        QCOMPARE(screen.monthSelector()->currentText(), "TÜMÜ");
        QCOMPARE(gridColumn(screen, 3), (QStringList{"Mart", "Nisan"}));
        screen.monthSelector()->setFocus();
        QTest::keyClick(screen.monthSelector(), Qt::Key_Down); // OCAK
        QTest::keyClick(screen.monthSelector(), Qt::Key_Down); // ŞUBAT
        QTest::keyClick(screen.monthSelector(), Qt::Key_Down); // MART
        QCOMPARE(screen.keptMonth(), 3);
        QCOMPARE(gridColumn(screen, 3), QStringList{"Mart"});
    }

    // The grid reads the year of the meeting's date, not the decision's own.
    void gridUsesTheMeetingsDate()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::council();
        meeting(t, b, 1, 4, QDate(2025, 5, 7));
        decision(t, b, 1, 1, 1, "Tarihsiz");
        decision(t, b, 1, 2, 2, "Eski tarihli", QDate(2019, 1, 1));
        ui::ScriptedDialogRunner dialogs;
        LedgerScreen screen(t.session(), b, dialogs);
        screen.show();
        QVERIFY2(t.messages().entries().isEmpty(), qPrintable(t.messages().last()));
        QCOMPARE(gridColumn(screen, 3), (QStringList{"Eski tarihli", "Tarihsiz"}));
        QCOMPARE(gridColumn(screen, 0), (QStringList{"4", "4"}));
        QCOMPARE(screen.grid()->model()->headerData(2, Qt::Horizontal).toString(), "K.No");
    }

    void cancelledPrintDialogLeavesTheFlagClear()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2025, 3, 4));
        decision(t, b, 1, 1, 1, "Mart");
        ui::ScriptedDialogRunner dialogs;
        QStringList shown;
        int previewPages = -1;
        bool fitsPage = false;
        bool accept = false;
        dialogs.setScript([&](QDialog &d) {
            shown << d.metaObject()->className();
            if (auto *preview = qobject_cast<ReportPreview *>(&d)) {
                previewPages = preview->previewWidget()->pageCount();
                fitsPage = preview->previewWidget()->zoomMode() == QPrintPreviewWidget::FitInView;
            }
            return accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        LedgerScreen screen(t.session(), b, dialogs);
        t.session().setLedgerPrinted(false);
        screen.show();
        screen.printButton()->click();
        QCOMPARE(shown, QStringList{"QPrintDialog"});
        QVERIFY(!t.session().ledgerPrinted());
        QVERIFY(!screen.printedOnce());

        accept = true;
        screen.printButton()->click();
        QCOMPARE(shown,
                 (QStringList{"QPrintDialog", "QPrintDialog", "mizro::reports::ReportPreview"}));
        QCOMPARE(previewPages, 1);
        QVERIFY(fitsPage);
        QVERIFY(t.session().ledgerPrinted());
        QVERIFY(screen.printedOnce());
        QVERIFY(t.messages().entries().isEmpty());
    }

    // İptal in the progress of a long ledger: no preview, nothing left open.
    void cancellingTheBuildingShowsNoPreview()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2025, 3, 4));
        meeting(t, b, 2, 2, QDate(2025, 3, 11));
        ui::ScriptedDialogRunner dialogs;
        QStringList shown;
        dialogs.setScript([&](QDialog &d) {
            shown << d.metaObject()->className();
            return int(QDialog::Accepted);
        });
        LedgerScreen screen(t.session(), b, dialogs);
        screen.setProgressDelay(0);
        screen.show();
        bool progressShown = false;
        QTimer::singleShot(0, &screen, [&] {
            if (auto *p = screen.findChild<QProgressDialog *>("ReportProgress")) {
                progressShown = p->isVisible();
                p->cancel();
            }
        });
        screen.printButton()->click();
        QVERIFY(progressShown);
        QCOMPARE(shown, QStringList{"QPrintDialog"});
        QVERIFY(!screen.findChild<QProgressDialog *>("ReportProgress"));
        QVERIFY(t.messages().entries().isEmpty());
    }

    // After a printing the grid follows the kept month, even where the
    // committee's opening had put the selector back on "TÜMÜ".
    void selectorAfterPrinting()
    {
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2025, 3, 4));
        meeting(t, b, 2, 2, QDate(2025, 4, 1));
        decision(t, b, 1, 1, 1, "Mart");
        decision(t, b, 2, 2, 1, "Nisan");
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([](QDialog &) { return int(QDialog::Accepted); });
        LedgerScreen screen(t.session(), b, dialogs);
        screen.show();
        screen.monthSelector()->setFocus();
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(screen.monthSelector(), Qt::Key_Down);
        QCOMPARE(screen.keptMonth(), 4);
        screen.hide();
        t.session().setLedgerPrinted(false); // the main window opens it anew
        screen.show();
        QCOMPARE(screen.monthSelector()->currentIndex(), 0);
        QCOMPARE(gridColumn(screen, 3), (QStringList{"Mart", "Nisan"}));
        screen.printButton()->click();
        QCOMPARE(screen.monthSelector()->currentIndex(), 4);
        QCOMPARE(gridColumn(screen, 3), QStringList{"Nisan"});
        // Printed: coming back to the screen changes nothing.
        screen.formActivate();
        QCOMPARE(gridColumn(screen, 3), QStringList{"Nisan"});
    }

    // mizro-admin ledger writes what the preview shows, page for page.
    void adminWritesTheSameLedger()
    {
        QVERIFY(!QStandardPaths::findExecutable("pdftotext").isEmpty());
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::council();
        member(t, b, 2025, 1, "Ayşe KAYA", "Başkan");
        for (int m = 1; m <= 3; ++m) {
            meeting(t, b, m, m, QDate(2025, 2, m), QString("OTURUM %1").arg(m));
            attends(t, b, m, 1);
            for (int d = 1; d <= 9; ++d)
                decision(t, b, m, m * 10 + d, d, QString("Karar özeti %1-%2").arg(m).arg(d));
        }
        meeting(t, b, 9, 1, QDate(2025, 3, 5), "MART");
        const ReportDocument doc = LedgerRules(t.db(), b).build("2025", 2);
        QTemporaryDir dir;
        const QString ours = dir.filePath("preview.pdf");
        QVERIFY(ReportRenderer::writePdf(doc, ours, nullptr));
        t.db().disconnect(); // an embedded file opens in one process at a time
        const QString theirs = dir.filePath("admin.pdf");
        QProcess admin;
        admin.start(MIZRO_ADMIN, {"ledger", t.copy().path(), "--body", "M", "--year", "2025",
                                  "--month", "2", "--pdf", theirs});
        QVERIFY(admin.waitForFinished(60000));
        QCOMPARE(admin.exitCode(), 0);
        QVERIFY(admin.readAllStandardOutput().contains("(2 sayfa,"));
        QCOMPARE(doc.pageCount(), 2);
        for (int page = 1; page <= 2; ++page)
            QCOMPARE(pdfPageText(theirs, page), pdfPageText(ours, page));
        QVERIFY(!pdfPageText(theirs, 1).contains("MART"));

        admin.start(MIZRO_ADMIN,
                    {"ledger", t.copy().path(), "--body", "X", "--year", "2025", "--pdf", theirs});
        QVERIFY(admin.waitForFinished(60000));
        QCOMPARE(admin.exitCode(), 2);
    }

    // "Sayfa N / M" centred in the bottom margin of every page.
    void pageNumbersOnAThreePageLedger()
    {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(),
                 "pdftotext (poppler-utils) is needed");
        test::TestSession t("2025");
        const ui::Body &b = ui::Body::committee();
        // 10.6 + 3 x (19.1 + 14 x 8.9) = 441.7 mm: three pages of 190.
        for (int m = 1; m <= 3; ++m) {
            meeting(t, b, m, m, QDate(2025, 1, m));
            for (int d = 1; d <= 14; ++d)
                decision(t, b, m, m * 100 + d, d, QString("Karar %1-%2").arg(m).arg(d));
        }
        const ReportDocument doc = LedgerRules(t.db(), b).build("2025", 0);
        QCOMPARE(doc.pageCount(), 3);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("ledger.pdf");
        QVERIFY(ReportRenderer::writePdf(doc, pdf, nullptr));
        const QVector<PdfWord> words = pdfWords(pdf);
        for (int page = 1; page <= 3; ++page) {
            QVERIFY(pdfPageText(pdf, page).endsWith(QString("Sayfa %1 / 3").arg(page)));
            double left = 1e9, right = 0, top = 0, bottom = 0;
            for (const PdfWord &w : words) {
                if (w.page != page || w.yMin < 200)
                    continue;
                left = qMin(left, w.xMin);
                right = qMax(right, w.xMax);
                top = w.yMin;
                bottom = w.yMax;
            }
            QVERIFY(qAbs((left + right) / 2 - 148.5) < 0.5);
            QVERIFY(top > 200 && bottom < 210);
            QVERIFY(qAbs((top + bottom) / 2 - 205) < 0.8);
        }
    }
};

MIZRO_TEST_MAIN(TestLedger)
#include "tst_ledger.moc"
