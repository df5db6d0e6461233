// The search in meeting descriptions and decision summaries: the two scans,
// the sorted result list, and the screen's messages and events.

#include "lists/searchrules.h"
#include "lists/searchscreen.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace mizro;
using lists::SearchRules;
using lists::SearchScreen;

namespace {

const QString Done = SearchRules::finishedLine();

struct Row {
    int otrno;
    QString text;
};

} // namespace

Q_DECLARE_METATYPE(QList<Row>)

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void scans_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<QList<Row>>("descriptions"); // meetings of 05/03/2024
        QTest::addColumn<QList<Row>>("summaries");    // decisions of meeting otrno
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        const QString m7 = "KARAR NO : 7 KARAR TARİHİ :05/03/2024";
        QTest::newRow("YOL finds yol, Yol and YOL in descriptions")
            << true << QList<Row>{{7, "köy yolu"}, {8, "Yol"}, {9, "ANA YOL"}}
            << QList<Row>{{7, "yol"}} << "YOL"
            << QStringList{Done, m7, "KARAR NO : 8 KARAR TARİHİ :05/03/2024",
                           "KARAR NO : 9 KARAR TARİHİ :05/03/2024"};
        QTest::newRow("yol finds no description, only summaries with yol")
            << true << QList<Row>{{7, "köy yolu"}} << QList<Row>{{7, "yol"}, {8, "Yol"}} << "yol"
            << QStringList{Done, "KARAR NO: 7"};
        QTest::newRow("şEHIR finds şehir") << false << QList<Row>{{7, "şehir merkezi"}}
                                           << QList<Row>{} << "şEHIR" << QStringList{Done, m7};
        QTest::newRow("ŞEHİR does not") << false << QList<Row>{{7, "şehir merkezi"}}
                                        << QList<Row>{{7, "şehir"}} << "ŞEHİR" << QStringList{Done};
        QTest::newRow("meeting 12 before meeting 2")
            << true << QList<Row>{{2, "İMAR"}, {12, "İMAR"}}
            << QList<Row>{{2, "İMAR"}, {12, "İMAR"}} << "İMAR"
            << QStringList{Done, "KARAR NO : 12 KARAR TARİHİ :05/03/2024",
                           "KARAR NO : 2 KARAR TARİHİ :05/03/2024", "KARAR NO: 12", "KARAR NO: 2"};
        QTest::newRow("longer than every text")
            << true << QList<Row>{{7, QString(60, 'A')}} << QList<Row>{{7, QString(140, 'A')}}
            << QString(141, 'A') << QStringList{Done};
        QTest::newRow("two in one summary, overlapping too")
            << false << QList<Row>{{3, "AAA"}} << QList<Row>{{5, "yol ve yol"}, {6, "aaa"}} << "yol"
            << QStringList{Done, "KARAR NO: 5", "KARAR NO: 5"};
        QTest::newRow("overlapping in a description")
            << true << QList<Row>{{3, "aaa"}} << QList<Row>{} << "AA"
            << QStringList{Done, "KARAR NO : 3 KARAR TARİHİ :05/03/2024",
                           "KARAR NO : 3 KARAR TARİHİ :05/03/2024"};
        QTest::newRow("blanks are searched as they stand")
            << true << QList<Row>{{7, "A  B"}} << QList<Row>{{7, "a b"}} << "  "
            << QStringList{Done, m7};
        QTest::newRow("found nowhere") << true << QList<Row>{{7, "ENCÜMEN OTURUMU"}} << QList<Row>{}
                                       << "MECLİS" << QStringList{Done};
        QTest::newRow("a decision without its meeting")
            << true << QList<Row>{} << QList<Row>{{-1, "Kira"}} << "Kira"
            << QStringList{Done, "KARAR NO: "};
    }

    void scans()
    {
        QFETCH(bool, committee);
        QFETCH(QList<Row>, descriptions);
        QFETCH(QList<Row>, summaries);
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        const ui::Body &b = committee ? ui::Body::committee() : ui::Body::council();
        test::TestSession t("2024");
        int kayno = 0;
        for (const Row &r : descriptions) {
            ++kayno;
            t.exec(
                QString("INSERT INTO %1 (KAYNO,OTRNO,TARIH,ACIK) VALUES (:P1,:P2,'2024-03-05',:P3)")
                    .arg(b.meetingTable),
                {kayno, r.otrno, r.text});
        }
        int karno = 0;
        for (const Row &r : summaries) {
            ++karno;
            const QVariant meeting =
                r.otrno < 0
                    ? QVariant(999)
                    : t.scalar(QString("SELECT KAYNO FROM %1 WHERE OTRNO=:P1").arg(b.meetingTable),
                               {r.otrno});
            if (meeting.isNull()) { // a meeting not searched for its description
                ++kayno;
                t.exec(QString("INSERT INTO %1 (KAYNO,OTRNO,TARIH,ACIK) VALUES (:P1,:P2,"
                               "'2024-03-05','')")
                           .arg(b.meetingTable),
                       {kayno, r.otrno});
            }
            t.exec(QString("INSERT INTO %1 (KAYNO,KARNO,OZET) VALUES (:P1,:P2,:P3)")
                       .arg(b.decisionTable),
                   {meeting.isNull() ? QVariant(kayno) : meeting, karno, r.text});
        }
        SearchScreen screen(t.session(), b);
        screen.show();
        QVERIFY(t.messages().entries().isEmpty());
        screen.textField()->setFocus();
        test::typeText(screen.textField(), search);
        screen.startButton()->click();
        QCOMPARE(screen.resultLines(), expected);
        QVERIFY(t.messages().entries().isEmpty());
    }

    void sortedIgnoringCase()
    {
        QStringList lines{"b",           "A",           "a", "B", "Arama Tamamlandı....",
                          "KARAR NO: 2", "karar no: 12"};
        SearchRules::sortLines(lines);
        QCOMPARE(lines, (QStringList{"A", "a", "Arama Tamamlandı....", "b", "B", "karar no: 12",
                                     "KARAR NO: 2"}));
    }

    void screenEvents()
    {
        test::TestSession t("2024");
        t.exec("INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH,ACIK) VALUES (1,3,'2024-01-09','YOL')");
        SearchScreen screen(t.session(), ui::Body::committee());
        QCOMPARE(screen.objectName(), "TFRMENCARA");
        QCOMPARE(screen.windowTitle(), "ENCÜMEN KARARLARINDA BİLGİ ARAMA");
        screen.show();
        QApplication::setActiveWindow(&screen);
        QCOMPARE(screen.rules().meetings().size(), 1);
        QCOMPARE(QApplication::focusWidget(), screen.textField());

        // Enter in the text moves on to "Başla"; a second Enter searches.
        test::typeText(screen.textField(), "YOL");
        QTest::keyClick(screen.textField(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), screen.startButton());
        QCOMPARE(screen.results()->count(), 0);
        QTest::keyClick(screen.startButton(), Qt::Key_Return);
        QCOMPARE(screen.resultLines(),
                 (QStringList{Done, "KARAR NO : 3 KARAR TARİHİ :09/01/2024"}));
        QVERIFY(screen.isVisible());

        // An empty text: the message, then an empty list, whatever it held.
        screen.textField()->clear();
        screen.startButton()->click();
        QCOMPARE(t.messages().texts(), QStringList{"Hatalı Bilgi..."});
        QCOMPARE(screen.results()->count(), 0);
        QCOMPARE(QApplication::focusWidget(), screen.textField());

        // The row sets stay as read while the screen is open.
        t.exec("INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH,ACIK) VALUES (2,4,'2024-01-16','YOL')");
        test::typeText(screen.textField(), "YOL");
        screen.startButton()->click();
        QCOMPARE(screen.results()->count(), 2);
        screen.exitButton()->click();
        QVERIFY(!screen.isVisible());
        QCOMPARE(screen.rules().meetings().size(), 0);
        screen.show();
        QCOMPARE(screen.textField()->text(), "");
        QCOMPARE(screen.results()->count(), 0);
        QCOMPARE(screen.rules().meetings().size(), 2);
    }
};

MIZRO_TEST_MAIN(TestSearch)
#include "tst_search.moc"
