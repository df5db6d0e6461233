// Meetings of a body: listing, numbering, defaults, checks, deletion.

#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "register/decisionrules.h"
#include "register/meetingrules.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>

using namespace mizro;
using reg::MeetingRules;
using reg::Variant;

Q_DECLARE_METATYPE(reg::Variant)

namespace {

const ui::Body &bodyOf(bool committee)
{
    return committee ? ui::Body::committee() : ui::Body::council();
}

// Stores a meeting of the body; returns its record number.
int meeting(test::TestSession &t, const ui::Body &b, int kayno, int otrno, const QDate &date,
            const QString &tur = "1")
{
    t.exec(QString("INSERT INTO %1 (KAYNO,OTRNO,TARIH,SAAT,TUR,ACIK) "
                   "VALUES (:P1,:P2,:P3,'10:00',:P4,'OTURUM')")
               .arg(b.meetingTable),
           {kayno, otrno, date, tur});
    return kayno;
}

void decision(test::TestSession &t, const ui::Body &b, int kayno, int karno, QVariant sno)
{
    t.exec(QString("INSERT INTO %1 (KAYNO,KARNO,SNO,OZET) VALUES (:P1,:P2,:P3,'Özet')")
               .arg(b.decisionTable),
           {kayno, karno, sno});
}

// The next record number drawn will be `next`.
void restartGenerator(test::TestSession &t, int next)
{
    t.exec(QString("ALTER SEQUENCE GEN_KAYNO RESTART WITH %1").arg(next - 1));
}

} // namespace

static void bodiesAndVariants(bool withClassic = true)
{
    QTest::addColumn<bool>("committee");
    QTest::addColumn<Variant>("variant");
    QTest::newRow("committee single") << true << Variant::SingleScreen;
    QTest::newRow("council single") << false << Variant::SingleScreen;
    if (withClassic) {
        QTest::newRow("committee classic") << true << Variant::Classic;
        QTest::newRow("council classic") << false << Variant::Classic;
    }
}

class TestMeetingRules : public QObject {
    Q_OBJECT
private slots:

    void listsWorkingYearWithCounts_data() { bodiesAndVariants(); }
    void listsWorkingYearWithCounts()
    {
        QFETCH(bool, committee);
        QFETCH(Variant, variant);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        meeting(t, b, 1, 1, QDate(2021, 1, 5));
        meeting(t, b, 2, 2, QDate(2021, 2, 5));
        meeting(t, b, 3, 1, QDate(2020, 12, 29));
        decision(t, b, 1, 1, 1);
        decision(t, b, 1, 2, 2);
        decision(t, b, 1, 3, QVariant()); // no order number: not counted
        MeetingRules rules(t.session(), b, variant);
        rules.list();
        db::DataSet &m = rules.meetings();
        QCOMPARE(m.count(), 2);
        QCOMPARE(m.currentRow(), 1);
        QCOMPARE(m.value("OTRNO").toInt(), 2);
        QCOMPARE(m.rowValue(0, "KARSAY").toInt(), 2);
        QCOMPARE(m.rowValue(1, "KARSAY").toInt(), 0);
        QCOMPARE(rules.lastMeetingNumber(), 2);
        if (variant == Variant::Classic)
            QCOMPARE(m.rowValue(0, "OTURUM").toString(), "Olağan");
    }

    void newMeetingNumbers_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<QList<int>>("stored"); // meeting numbers in insertion order
        QTest::addColumn<int>("deleted");       // 0: none
        QTest::addColumn<int>("expected");
        for (bool c : {true, false}) {
            const char *who = c ? "committee" : "council";
            for (Variant v : {Variant::SingleScreen, Variant::Classic}) {
                const char *how = v == Variant::Classic ? "classic" : "single";
                auto name = [&](const char *what) {
                    return QString("%1 %2 %3").arg(who, how, what).toLatin1();
                };
                QTest::newRow(name("first of the year")) << c << v << QList<int>{} << 0 << 1;
                QTest::newRow(name("last deleted")) << c << v << QList<int>{1, 2, 3} << 3 << 3;
            }
            QTest::newRow(QString("%1 single middle deleted").arg(who).toLatin1())
                << c << Variant::SingleScreen << QList<int>{1, 2, 3} << 2 << 4;
            // The classic register follows the last row of its unordered list.
            QTest::newRow(QString("%1 classic follows last row").arg(who).toLatin1())
                << c << Variant::Classic << QList<int>{1, 3, 2} << 0 << 3;
        }
    }

    void newMeetingNumbers()
    {
        QFETCH(bool, committee);
        QFETCH(Variant, variant);
        QFETCH(QList<int>, stored);
        QFETCH(int, deleted);
        QFETCH(int, expected);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        meeting(t, b, 90, 7, QDate(2020, 3, 3)); // another year never counts
        int kayno = 1;
        for (int otrno : stored)
            meeting(t, b, kayno++, otrno, QDate(2021, 1, otrno));
        if (deleted)
            t.exec(QString("DELETE FROM %1 WHERE OTRNO=:P1 AND KAYNO<90").arg(b.meetingTable),
                   {deleted});
        restartGenerator(t, 100);
        MeetingRules rules(t.session(), b, variant);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 6, 1)), QString());
        QCOMPARE(rules.meetings().value("OTRNO").toInt(), expected);
    }

    void newMeetingDefaults_data() { bodiesAndVariants(false); }
    void newMeetingDefaults()
    {
        QFETCH(bool, committee);
        QFETCH(Variant, variant);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        restartGenerator(t, 41);
        MeetingRules rules(t.session(), b, variant);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 5, 9)), QString());
        db::DataSet &m = rules.meetings();
        QCOMPARE(m.state(), db::DataSet::State::Insert);
        QCOMPARE(m.value("KAYNO").toInt(), 41);
        QCOMPARE(m.value("TARIH").toDate(), QDate(2021, 5, 9));
        QCOMPARE(m.value("SAAT").toTime(), QTime(10, 0));
        QCOMPARE(m.value("TUR").toString(), "1");
        QCOMPARE(m.value("ACIK").toString(), committee ? "ENCÜMEN OTURUMU" : "MECLİS OTURUMU");
        // A cancelled entry leaves a gap in record numbers, none in meeting numbers.
        rules.cancel();
        QCOMPARE(m.count(), 0);
        QCOMPARE(rules.beginNew(QDate(2021, 5, 9)), QString());
        QCOMPARE(m.value("KAYNO").toInt(), 42);
        QCOMPARE(m.value("OTRNO").toInt(), 1);
        QVERIFY(rules.save());
        QCOMPARE(t.scalar(QString("SELECT KAYNO FROM %1").arg(b.meetingTable)).toInt(), 42);
        QCOMPARE(m.value("KAYNO").toInt(), 42);
        QVERIFY(rules.deletionOffered());
    }

    // A committee meeting and a council meeting never share a record number.
    void bodiesShareTheGenerator()
    {
        test::TestSession t("2021");
        MeetingRules enc(t.session(), ui::Body::committee(), Variant::SingleScreen);
        MeetingRules mec(t.session(), ui::Body::council(), Variant::SingleScreen);
        enc.list();
        mec.list();
        QCOMPARE(enc.beginNew(QDate(2021, 1, 1)), QString());
        QCOMPARE(mec.beginNew(QDate(2021, 1, 1)), QString());
        QVERIFY(enc.meetings().value("KAYNO") != mec.meetings().value("KAYNO"));
    }

    // The classic register too draws the record number when the entry
    // begins, so attendance added before the save belongs to the meeting.
    void classicDrawsRecordNumberAtTheStart()
    {
        test::TestSession t("2021");
        restartGenerator(t, 7);
        MeetingRules rules(t.session(), ui::Body::council(), Variant::Classic);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 4, 4)), QString());
        QCOMPARE(rules.meetings().value("KAYNO").toInt(), 7);
        QVERIFY(rules.save());
        QCOMPARE(rules.meetings().value("KAYNO").toInt(), 7);
        QCOMPARE(t.scalar("SELECT KAYNO FROM MECLIS").toInt(), 7);
    }

    // Two clerks entering a classic meeting at once: the later save gets the
    // next free number and says so; a number typed by hand that is taken is
    // refused (the council's number box is editable).
    void classicNumbersStayUniqueForTwoClerks_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("committee") << true;
        QTest::newRow("council") << false;
    }
    void classicNumbersStayUniqueForTwoClerks()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        restartGenerator(t, 100);
        test::SecondSession other(t.copy().path(), "2021");
        MeetingRules mine(t.session(), b, Variant::Classic);
        MeetingRules theirs(other.session, b, Variant::Classic);
        for (MeetingRules *r : {&mine, &theirs}) {
            r->list();
            QCOMPARE(r->beginNew(QDate(2021, 3, 1)), QString());
            QCOMPARE(r->meetings().value("OTRNO").toInt(), 1);
        }
        QVERIFY(theirs.save());
        QVERIFY(theirs.takeNotices().isEmpty());
        QVERIFY(mine.save());
        QCOMPARE(mine.takeNotices(),
                 QStringList{"Oturum numarası 1 bu arada başka bir kayıtta kullanıldı; yerine 2 "
                             "numarası verildi."});
        QCOMPARE(t.scalar("SELECT LIST(OTRNO, ',') FROM (SELECT OTRNO FROM " + b.meetingTable +
                          " ORDER BY OTRNO)")
                     .toString(),
                 "1,2");
        QCOMPARE(mine.beginNew(QDate(2021, 3, 2)), QString());
        mine.meetings().setValue("OTRNO", 1);
        QVERIFY(!mine.save());
        QCOMPARE(mine.lastErrorField(), MeetingRules::Field::Number);
        QCOMPARE(
            mine.lastError(),
            "2021 yılında 1 numaralı bir oturum zaten var. Başka bir oturum numarası giriniz.");
        QCOMPARE(mine.meetings().state(), db::DataSet::State::Insert);
    }

    // A record number above what the column holds is never used: the new
    // meeting is refused with a clear message, nothing is written.
    void recordNumberBeyondColumnIsRefused_data() { bodiesAndVariants(); }
    void recordNumberBeyondColumnIsRefused()
    {
        QFETCH(bool, committee);
        QFETCH(Variant, variant);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        restartGenerator(t, 32767);
        MeetingRules rules(t.session(), b, variant);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 1, 1)), QString());
        QVERIFY(rules.save()); // 32767 still fits
        // Both registers draw the number as the entry begins, and refuse it there.
        const QString refusal = rules.beginNew(QDate(2021, 1, 2));
        QVERIFY(refusal.contains("32767"));
        QCOMPARE(rules.meetings().state(), db::DataSet::State::Browse);
        QCOMPARE(t.scalar(QString("SELECT COUNT(*) FROM %1").arg(b.meetingTable)).toInt(), 1);
        QCOMPARE(t.scalar(QString("SELECT MAX(KAYNO) FROM %1").arg(b.meetingTable)).toInt(), 32767);
    }

    void checksInTheirOrder_data()
    {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<bool>("clearTime");
        QTest::addColumn<bool>("typeChosen");
        QTest::addColumn<bool>("summaryEmpty");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("field");
        const QDate ok(2021, 3, 3);
        const auto S = Variant::SingleScreen;
        const auto C = Variant::Classic;
        const int time = int(MeetingRules::Field::Time), type = int(MeetingRules::Field::Type),
                  summary = int(MeetingRules::Field::Summary),
                  date = int(MeetingRules::Field::Date);
        QTest::newRow("all pass") << S << false << true << false << ok << "" << 0;
        QTest::newRow("time before everything") << S << true << false << true << QDate(2019, 1, 1)
                                                << "Oturum Saati Boş Olamaz..!" << time;
        QTest::newRow("type before summary") << S << false << false << true << QDate(2019, 1, 1)
                                             << "Oturum Türü Boş Olamaz..!" << type;
        QTest::newRow("summary before date") << S << false << true << true << QDate(2019, 1, 1)
                                             << "Karar Özetini Giriniz..!" << summary;
        QTest::newRow("other year")
            << S << false << true << false << QDate(2020, 12, 31)
            << "DİKKAT! Ourum Tarihi Çalışma Yılından farklı olamaz.." << date;
        QTest::newRow("no date") << S << false << true << false << QDate()
                                 << "DİKKAT! Ourum Tarihi Çalışma Yılından farklı olamaz.." << date;
        QTest::newRow("classic: other year allowed")
            << C << false << true << true << QDate(2019, 1, 1) << "" << 0;
        QTest::newRow("classic: time")
            << C << true << true << false << ok << "Oturum Saati Boş Olamaz..!" << time;
    }

    void checksInTheirOrder()
    {
        QFETCH(Variant, variant);
        QFETCH(bool, clearTime);
        QFETCH(bool, typeChosen);
        QFETCH(bool, summaryEmpty);
        QFETCH(QDate, date);
        QFETCH(QString, message);
        QFETCH(int, field);
        test::TestSession t("2021");
        MeetingRules rules(t.session(), ui::Body::committee(), variant);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 3, 3)), QString());
        if (clearTime)
            rules.meetings().setValue("SAAT", QVariant());
        rules.meetings().setValue("TARIH", date.isValid() ? QVariant(date) : QVariant());
        const MeetingRules::CheckResult r = rules.check({typeChosen, summaryEmpty});
        QCOMPARE(r.message, message);
        QCOMPARE(int(r.field), field);
    }

    // The date check follows the definitions year, the list the working year.
    void dateCheckUsesDefinitionsYear()
    {
        test::TestSession t("2021");
        t.session().setDefinitionsYear("2022");
        MeetingRules rules(t.session(), ui::Body::council(), Variant::SingleScreen);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 3, 3)), QString());
        QVERIFY(!rules.check({}).passed());
        rules.meetings().setValue("TARIH", QDate(2022, 1, 10));
        QVERIFY(rules.check({}).passed());
        QVERIFY(rules.save());
        QCOMPARE(rules.meetings().count(), 0); // saved into a year the list does not show
    }

    void deletionOffer()
    {
        test::TestSession t("2021");
        for (bool committee : {true, false}) {
            const ui::Body &b = bodyOf(committee);
            meeting(t, b, committee ? 1 : 11, 1, QDate(2021, 1, 5));
            meeting(t, b, committee ? 2 : 12, 2, QDate(2021, 2, 5));
        }
        restartGenerator(t, 100);
        for (bool committee : {true, false}) {
            for (Variant v : {Variant::SingleScreen, Variant::Classic}) {
                MeetingRules rules(t.session(), bodyOf(committee), v);
                rules.list();
                QVERIFY(rules.deletionOffered());
                rules.meetings().first();
                // Only the committee's classic register offers every meeting.
                QCOMPARE(rules.deletionOffered(), committee && v == Variant::Classic);
            }
        }
        // After a new meeting is saved it is offered, the one before is not.
        MeetingRules rules(t.session(), ui::Body::council(), Variant::SingleScreen);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 3, 1)), QString());
        QVERIFY(rules.save());
        QCOMPARE(rules.meetings().value("OTRNO").toInt(), 3);
        QVERIFY(rules.deletionOffered());
        rules.meetings().prior();
        QVERIFY(!rules.deletionOffered());
    }

    // Deleting a meeting takes its decisions; its attendance rows stay.
    void deleteCascadesToDecisions_data() { bodiesAndVariants(false); }
    void deleteCascadesToDecisions()
    {
        QFETCH(bool, committee);
        QFETCH(Variant, variant);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        meeting(t, b, 1, 1, QDate(2021, 1, 5));
        meeting(t, b, 2, 2, QDate(2021, 2, 5));
        decision(t, b, 1, 1, 1);
        decision(t, b, 2, 2, 1);
        decision(t, b, 2, 3, 2);
        t.exec(QString("INSERT INTO %1 (KAYNO,UKOD) VALUES (2,1)").arg(b.attendanceTable));
        MeetingRules rules(t.session(), b, variant);
        rules.list();
        t.messages().answer(false);
        QVERIFY(!rules.remove(nullptr));
        QCOMPARE(t.messages().last(), b.meetingDeleteQuestion);
        QCOMPARE(rules.meetings().count(), 2);
        t.messages().answer(true);
        QVERIFY(rules.remove(nullptr));
        QCOMPARE(rules.meetings().count(), 1);
        QCOMPARE(rules.meetings().currentRow(), 0);
        QCOMPARE(rules.lastMeetingNumber(), 1);
        QCOMPARE(t.scalar(QString("SELECT COUNT(*) FROM %1").arg(b.decisionTable)).toInt(), 1);
        QCOMPARE(t.scalar(QString("SELECT COUNT(*) FROM %1").arg(b.attendanceTable)).toInt(), 1);
    }

    // If the meeting itself cannot be deleted, its decisions stay too.
    void deleteIsAllOrNothing()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2021, 1, 5));
        decision(t, b, 1, 1, 1);
        t.exec("CREATE EXCEPTION E_KEEP 'kept'");
        t.exec("CREATE TRIGGER KEEP FOR ENCUMEN BEFORE DELETE AS BEGIN EXCEPTION E_KEEP; END");
        MeetingRules rules(t.session(), b, Variant::SingleScreen);
        rules.list();
        t.messages().answer(true);
        QVERIFY(!rules.remove(nullptr));
        QVERIFY(!rules.lastError().isEmpty());
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAR").toInt(), 1);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM ENCUMEN").toInt(), 1);
    }

    // A value the database refuses: the message, nothing written, the row
    // still in entry for correction.
    void refusedSaveKeepsEntry()
    {
        test::TestSession t("2021");
        restartGenerator(t, 5);
        MeetingRules rules(t.session(), ui::Body::committee(), Variant::SingleScreen);
        rules.list();
        QCOMPARE(rules.beginNew(QDate(2021, 1, 1)), QString());
        rules.meetings().setValue("OTRNO", QVariant());
        QVERIFY(!rules.save());
        QVERIFY(!rules.lastError().isEmpty());
        QCOMPARE(rules.meetings().state(), db::DataSet::State::Insert);
        rules.meetings().setValue("ACIK", QString(61, 'x'));
        rules.meetings().setValue("OTRNO", 1);
        QVERIFY(!rules.save());
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM ENCUMEN").toInt(), 0);
        rules.meetings().setValue("ACIK", "MECLİS'in \"olağan\" ; DROP TABLE ENCUMEN");
        QVERIFY(rules.save());
        QCOMPARE(t.scalar("SELECT ACIK FROM ENCUMEN").toString(),
                 "MECLİS'in \"olağan\" ; DROP TABLE ENCUMEN");
    }

    // The single-screen save stores a pending decision with the meeting
    // and shows the saved meeting again.
    void saveStoresPendingDecision()
    {
        test::TestSession t("2021");
        restartGenerator(t, 10);
        const ui::Body &b = ui::Body::committee();
        meeting(t, b, 1, 1, QDate(2021, 5, 1));
        MeetingRules meetings(t.session(), b, Variant::SingleScreen);
        reg::DecisionRules decisions(t.session(), b, Variant::SingleScreen);
        meetings.list();
        QCOMPARE(meetings.beginNew(QDate(2021, 2, 1)), QString());
        decisions.prepareNumbering();
        decisions.setMeeting(10, QDate(2021, 2, 1));
        decisions.list(10);
        QVERIFY(decisions.add(QTime(11, 30)));
        decisions.decisions().setValue("OZET", "Bütçe");
        QVERIFY(meetings.save(&decisions));
        QCOMPARE(meetings.meetings().value("KAYNO").toInt(), 10);
        QCOMPARE(meetings.meetings().currentRow(), 0); // ordered by date
        QCOMPARE(meetings.meetings().value("KARSAY").toInt(), 1);
        QCOMPARE(t.scalar("SELECT TARIH FROM EKAR WHERE KAYNO=10").toDate(), QDate(2021, 2, 1));
    }

    // The listing reads the counts of the year in one statement: they are
    // those of the per-meeting count, for every meeting of the demo year.
    void groupedCountsAreThePerMeetingCounts_data() { bodiesAndVariants(); }
    void groupedCountsAreThePerMeetingCounts()
    {
        QFETCH(bool, committee);
        QFETCH(Variant, variant);
        // The demo's last full year.
        const QString year = QString::number(QDate::currentDate().year() - 1);
        test::TestSession t(year, "14.001", true);
        const ui::Body &b = bodyOf(committee);
        decision(t, b,
                 t.scalar(QString("SELECT MIN(KAYNO) FROM %1 WHERE "
                                  "EXTRACT(YEAR FROM TARIH)=:P1")
                              .arg(b.meetingTable),
                          {year})
                     .toInt(),
                 30000, QVariant());                           // no order number
        meeting(t, b, 32000, 99, QDate(year.toInt(), 12, 31)); // no decisions
        MeetingRules rules(t.session(), b, variant);
        rules.list();
        const db::DataSet &m = rules.meetings();
        QVERIFY(m.count() > 5);
        int withDecisions = 0;
        for (int r = 0; r < m.count(); ++r) {
            const int kayno = m.rowValue(r, "KAYNO").toInt();
            QCOMPARE(m.rowValue(r, "KARSAY").toInt(), rules.decisionCount(kayno));
            withDecisions += rules.decisionCount(kayno) > 0;
        }
        QVERIFY(withDecisions > 0 && withDecisions < m.count());
    }

    // Another clerk changed the meeting, or gave it a decision, after it was
    // read: it is not deleted, and neither is the new decision.
    void deleteOfAMeetingChangedMeanwhileIsRefused_data()
    {
        QTest::addColumn<QString>("otherClerk");
        QTest::newRow("meeting changed") << "UPDATE MECLIS SET ACIK='BÜTÇE OTURUMU' WHERE KAYNO=1";
        QTest::newRow("decision added") << "INSERT INTO MKAR (KAYNO,KARNO,SNO) VALUES (1,2,2)";
    }

    void deleteOfAMeetingChangedMeanwhileIsRefused()
    {
        QFETCH(QString, otherClerk);
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::council();
        meeting(t, b, 1, 1, QDate(2021, 1, 5));
        decision(t, b, 1, 1, 1);
        MeetingRules rules(t.session(), b, Variant::SingleScreen);
        rules.list();
        db::Database other;
        other.setDatabaseName(t.copy().path());
        other.connect();
        db::Query(other, otherClerk).exec();
        t.messages().answer(true);
        QVERIFY(!rules.remove(nullptr));
        QVERIFY(rules.lastError().contains("başka bir kullanıcı"));
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MKAR").toInt(),
                 otherClerk.startsWith("INSERT") ? 2 : 1);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MECLIS").toInt(), 1);
    }
};

MIZRO_TEST_MAIN(TestMeetingRules)
#include "tst_meetingrules.moc"
