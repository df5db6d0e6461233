// Decisions of a meeting: the yearly decision number, the order number,
// the values filled before a save, deletion.

#include "db/dataset.h"
#include "db/query.h"
#include "register/decisionrules.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QFileInfo>

using namespace mizro;
using reg::DecisionRules;
using reg::Variant;

namespace {

void meeting(test::TestSession &t, const ui::Body &b, int kayno, const QDate &date)
{
    t.exec(QString("INSERT INTO %1 (KAYNO,OTRNO,TARIH) VALUES (:P1,:P1,:P2)").arg(b.meetingTable),
           {kayno, date});
}

void decisions(test::TestSession &t, const ui::Body &b, int kayno, int from, int to)
{
    for (int k = from; k <= to; ++k)
        t.exec(
            QString("INSERT INTO %1 (KAYNO,KARNO,SNO) VALUES (:P1,:P2,:P3)").arg(b.decisionTable),
            {kayno, k, k - from + 1});
}

} // namespace

class TestDecisionRules : public QObject {
    Q_OBJECT
private slots:
    void body_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("committee") << true;
        QTest::newRow("council") << false;
    }

    void yearMaximum_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<int>("expected");
        QTest::newRow("first of the year") << "" << 0;
        QTest::newRow("forty in the year") << "year" << 40;
        QTest::newRow("other years do not count") << "other" << 0;
        QTest::newRow("meeting gone does not count") << "orphan" << 0;
    }

    void yearMaximum()
    {
        QFETCH(QString, fixture);
        QFETCH(int, expected);
        for (bool committee : {true, false}) {
            const ui::Body &b = committee ? ui::Body::committee() : ui::Body::council();
            test::TestSession t("2021");
            if (fixture == "year") {
                meeting(t, b, 1, QDate(2021, 11, 2));
                meeting(t, b, 2, QDate(2021, 1, 5));
                decisions(t, b, 1, 1, 25);
                decisions(t, b, 2, 26, 40);
            } else if (fixture == "other") {
                meeting(t, b, 1, QDate(2020, 12, 29));
                decisions(t, b, 1, 1, 70);
            } else if (fixture == "orphan") {
                decisions(t, b, 99, 1, 12);
            }
            DecisionRules rules(t.session(), b, Variant::SingleScreen);
            QCOMPARE(rules.yearMaximum(), expected);
        }
    }

    // Two additions without a save between them: the first is written when
    // the second is added, numbers follow the year's highest.
    void additionsNumberAndFill_data() { body_data(); }
    void additionsNumberAndFill()
    {
        QFETCH(bool, committee);
        const ui::Body &b = committee ? ui::Body::committee() : ui::Body::council();
        test::TestSession t("2021");
        meeting(t, b, 1, QDate(2021, 1, 5));
        decisions(t, b, 1, 1, 40);
        meeting(t, b, 2, QDate(2021, 6, 1)); // the meeting being entered
        DecisionRules rules(t.session(), b, Variant::SingleScreen);
        rules.prepareNumbering();
        rules.setMeeting(2, QDate(2021, 6, 1));
        rules.list(2);
        QVERIFY(rules.add(QTime(10, 17, 45)));
        db::DataSet &d = rules.decisions();
        QCOMPARE(d.value("KARNO").toInt(), 41);
        QCOMPARE(d.value("SNO").toInt(), 1);
        QCOMPARE(d.value("SAAT").toTime(), QTime(10, 17));
        d.setValue("OZET", "İmar planı değişikliği");
        QVERIFY(rules.add(QTime(10, 20)));
        QCOMPARE(
            t.scalar(QString("SELECT COUNT(*) FROM %1 WHERE KAYNO=2").arg(b.decisionTable)).toInt(),
            1);
        QCOMPARE(d.value("KARNO").toInt(), 42);
        QCOMPARE(d.value("SNO").toInt(), 2);
        rules.setDocumentKind("D"); // chosen for the second decision only
        QVERIFY(rules.save());      // an empty summary is saved by the decision's own save
        QCOMPARE(
            t.scalar(QString("SELECT TARIH FROM %1 WHERE KARNO=41").arg(b.decisionTable)).toDate(),
            QDate(2021, 6, 1));
        if (committee) {
            QCOMPARE(t.scalar("SELECT ETUR FROM EKAR WHERE KARNO=42").toString(), "D");
            QVERIFY(t.scalar("SELECT ETUR FROM EKAR WHERE KARNO=41").isNull());
        }
    }

    void cancelledAdditionLeavesGap()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, QDate(2021, 1, 5));
        decisions(t, b, 1, 1, 3);
        DecisionRules rules(t.session(), b, Variant::SingleScreen);
        rules.prepareNumbering();
        rules.setMeeting(1, QDate(2021, 1, 5));
        rules.list(1);
        QVERIFY(rules.add(QTime(9, 0)));
        rules.cancel();
        QCOMPARE(rules.decisions().count(), 3);
        QVERIFY(rules.add(QTime(9, 1)));
        QCOMPARE(rules.decisions().value("KARNO").toInt(), 5);
        QCOMPARE(rules.decisions().value("SNO").toInt(), 4);
    }

    // The highest decision deleted: the next change of a meeting gives its
    // number out again.
    void deletedHighestIsGivenAgain()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::council();
        meeting(t, b, 1, QDate(2021, 1, 5));
        decisions(t, b, 1, 1, 3);
        DecisionRules rules(t.session(), b, Variant::SingleScreen);
        rules.list(1);
        rules.decisions().last();
        t.messages().answer(true);
        QVERIFY(rules.remove(nullptr));
        QCOMPARE(t.messages().last(), "BU KARAR SİLİNECEKTİR. ONAYLIYORMUSUNUZ");
        rules.prepareNumbering();
        QCOMPARE(rules.counter(), 2);
    }

    void classicDeleteQuestionsAndNoFill()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::council();
        meeting(t, b, 1, QDate(2021, 1, 5));
        decisions(t, b, 1, 1, 2);
        DecisionRules rules(t.session(), b, Variant::Classic);
        rules.list(1);
        rules.decisions().first();
        t.messages().answer(false);
        QVERIFY(!rules.remove(nullptr));
        QCOMPARE(t.messages().last(), "BU MECLİS KARARI SİLİNECEKTİR. ONAYLIYORMUSUNUZ");
        // The classic register stores what it is given: no date filled in.
        rules.setMeeting(1, QDate(2021, 1, 5));
        QVERIFY(rules.decisions().append());
        rules.decisions().setValue("KAYNO", 1);
        rules.decisions().setValue("KARNO", 3);
        rules.decisions().setValue("SNO", 3);
        QVERIFY(rules.save());
        QVERIFY(t.scalar("SELECT TARIH FROM MKAR WHERE KARNO=3").isNull());
        QCOMPARE(rules.decisions().count(), 3);
    }

    // A classic decision is not written into a meeting another clerk deleted
    // meanwhile: the save is refused and the typing stays.
    void classicDecisionOfADeletedMeetingIsRefused_data() { body_data(); }
    void classicDecisionOfADeletedMeetingIsRefused()
    {
        QFETCH(bool, committee);
        const ui::Body &b = committee ? ui::Body::committee() : ui::Body::council();
        test::TestSession t("2021");
        meeting(t, b, 1, QDate(2021, 1, 5));
        DecisionRules rules(t.session(), b, Variant::Classic);
        rules.list(1);
        QVERIFY(rules.decisions().append());
        rules.decisions().setValue("KAYNO", 1);
        rules.numberPending(1);
        rules.decisions().setValue("OZET", "Yol yapımı");
        test::SecondSession other(t.copy().path(), "2021");
        db::Query(other.session.database(), "DELETE FROM " + b.meetingTable).exec();
        QVERIFY(!rules.save());
        QCOMPARE(rules.lastError(), "Bu kararın oturumu başka bir kullanıcı tarafından silinmiş; "
                                    "karar kaydedilmedi.");
        QCOMPARE(rules.decisions().state(), db::DataSet::State::Insert);
        QCOMPARE(rules.decisions().value("OZET").toString(), "Yol yapımı");
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM " + b.decisionTable).toInt(), 0);
    }

    // Numbers beyond the column and text beyond its length are refused with
    // a message; the decision stays unsaved for correction.
    void badValuesAreRefused()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, QDate(2021, 1, 5));
        t.exec("INSERT INTO EKAR (KAYNO,KARNO,SNO) VALUES (1,32767,1)");
        DecisionRules rules(t.session(), b, Variant::SingleScreen);
        rules.prepareNumbering();
        rules.setMeeting(1, QDate(2021, 1, 5));
        rules.list(1);
        QVERIFY(rules.add(QTime(9, 0)));
        QVERIFY(!rules.save());
        QVERIFY(rules.lastError().contains("sınırların dışında"));
        QCOMPARE(rules.decisions().state(), db::DataSet::State::Insert);
        rules.decisions().setValue("KARNO", 5);
        rules.decisions().setValue("OZET", QString(141, QChar(u'ş')));
        QVERIFY(!rules.save());
        QVERIFY(rules.lastError().startsWith("OZET alanına en çok 140 karakter"));
        const QString text =
            QString("Ahmet'in \"dilekçesi\"; DELETE FROM EKAR --").leftJustified(140, QChar(u'ğ'));
        rules.decisions().setValue("OZET", text);
        rules.decisions().setValue("EVSAY", "12a");
        QVERIFY(!rules.save());
        rules.decisions().setValue("EVSAY", 2147483647LL);
        QVERIFY(rules.save());
        QCOMPARE(t.scalar("SELECT OZET FROM EKAR WHERE KARNO=5").toString(), text);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAR").toInt(), 2);
    }

    // Every decision read once carried its document and every save rewrote
    // it: 50 summary changes of a 100 KB decision grew the file by 5 MB.
    void documentTravelsOnlyWhenAskedFor_data() { body_data(); }
    void documentTravelsOnlyWhenAskedFor()
    {
        QFETCH(bool, committee);
        const ui::Body &b = committee ? ui::Body::committee() : ui::Body::council();
        test::TestSession t("2021");
        meeting(t, b, 1, QDate(2021, 3, 1));
        QByteArray document("BDOC");
        for (int i = 0; document.size() < 100 * 1024; ++i)
            document += QByteArray::number(i * 7919) + ' ';
        t.exec(QString("INSERT INTO %1 (KAYNO,KARNO,SNO,OZET,KARAR) VALUES (1,1,1,'Özet',:P1)")
                   .arg(b.decisionTable),
               {document});
        DecisionRules rules(t.session(), b, Variant::SingleScreen);
        rules.setMeeting(1, QDate(2021, 3, 1));
        rules.list(1);
        QCOMPARE(rules.decisions().fieldIndex("KARAR"), -1);
        const qint64 before = QFileInfo(t.copy().path()).size();
        for (int i = 0; i < 50; ++i) {
            rules.decisions().setValue("OZET", QString("Özet %1").arg(i));
            QVERIFY2(rules.save(), qPrintable(rules.lastError()));
        }
        QVERIFY(rules.storeDocument(document, document)); // unchanged: nothing written
        QCOMPARE(rules.document(), document);
        const qint64 grown = QFileInfo(t.copy().path()).size() - before;
        QVERIFY2(grown < 512 * 1024, qPrintable(QString::number(grown)));

        const QByteArray edited = document + "değişti";
        QVERIFY(rules.storeDocument(edited, document));
        QCOMPARE(rules.document(), edited);
        QCOMPARE(t.scalar(QString("SELECT OZET FROM %1").arg(b.decisionTable)).toString(),
                 "Özet 49");
        // The editor started from the old text: someone else's is kept.
        QVERIFY(!rules.storeDocument(document + "benim", document));
        QVERIFY(rules.lastError().contains("başka bir kullanıcı"));
        QCOMPARE(rules.document(), edited);
    }
};

MIZRO_TEST_MAIN(TestDecisionRules)
#include "tst_decisionrules.moc"
