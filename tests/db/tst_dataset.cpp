// The data set every screen is bound to: current row, edit states, posting
// through its own statements, refusals and errors.

#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "testsupport.h"
#include "ui/datagrid.h"
#include "ui/scriptedmessages.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <stdexcept>
#include <thread>

using namespace mizro;
using db::DataSet;

namespace {

// The department list's statements.
void configureDepartments(DataSet &ds)
{
    ds.setSelectSql("SELECT * FROM BIRIM ORDER BY BIRKOD");
    ds.setInsertSql("insert into BIRIM\n  (BIRIMADI, BIRKOD)\nvalues\n  (:BIRIMADI, :BIRKOD)");
    ds.setUpdateSql("update BIRIM\nset\n  BIRIMADI = :BIRIMADI,\n  BIRKOD = :BIRKOD\nwhere\n"
                    "  BIRIMADI = :OLD_BIRIMADI and\n  BIRKOD = :OLD_BIRKOD");
    ds.setDeleteSql("delete from BIRIM\nwhere\n  BIRIMADI = :OLD_BIRIMADI and\n"
                    "  BIRKOD = :OLD_BIRKOD");
    ds.setRefreshSql("Select \n  BIRKOD,\n  BIRIMADI\nfrom BIRIM \nwhere\n"
                     "  BIRIMADI = :BIRIMADI and\n  BIRKOD = :BIRKOD");
    ds.setTable("BIRIM", {"BIRKOD", "BIRIMADI"});
}

// Members of a year: a table with a real key.
void configureMembers(DataSet &ds)
{
    ds.setSelectSql("SELECT * FROM EUYE ORDER BY UKOD");
    ds.setUpdateSql("update EUYE set ADSOY = :ADSOY, UNVANI = :UNVANI\n"
                    "where YIL = :OLD_YIL and UKOD = :OLD_UKOD");
    ds.setDeleteSql("delete from EUYE where YIL = :OLD_YIL and UKOD = :OLD_UKOD");
    ds.setTable("EUYE", {"YIL", "UKOD"});
}

} // namespace

class TestDataSet : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DbCopy> m_copy;
    std::unique_ptr<db::Database> m_db;

    void exec(const QString &sql)
    {
        db::Query q(*m_db, sql);
        q.exec();
    }
    int count(const QString &sql) { return db::Query(*m_db, sql).scalar().toInt(); }
    QStringList names()
    {
        QStringList out;
        db::Query q(*m_db, "SELECT BIRKOD || '=' || BIRIMADI FROM BIRIM ORDER BY BIRKOD");
        q.exec();
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

private slots:
    void init()
    {
        m_copy = std::make_unique<test::DbCopy>();
        m_db = std::make_unique<db::Database>();
        m_db->setDatabaseName(m_copy->path());
        m_db->connect();
        exec("INSERT INTO BIRIM VALUES ('1','Fen İşleri')");
        exec("INSERT INTO BIRIM VALUES ('2','Zabıta')");
        exec("INSERT INTO BIRIM VALUES ('3','İmar')");
    }

    void cleanup()
    {
        m_db.reset();
        m_copy.reset();
    }

    /// A second clerk on the same file.
    std::unique_ptr<db::Database> otherClerk()
    {
        auto other = std::make_unique<db::Database>();
        other->setDatabaseName(m_copy->path());
        other->connect();
        return other;
    }

    void addMembers()
    {
        exec("INSERT INTO EUYE (YIL,UKOD,ADSOY,UNVANI) VALUES (2021,1,'Ayşe YILMAZ','Üye')");
        exec("INSERT INTO EUYE (YIL,UKOD,ADSOY,UNVANI) VALUES (2021,2,'Mehmet KAYA','Üye')");
        exec("INSERT INTO EUYE (YIL,UKOD,ADSOY,UNVANI) VALUES (2021,3,'Zeynep ŞAHİN','Üye')");
    }

    QString memberName(int ukod)
    {
        db::Query q(*m_db, "SELECT ADSOY FROM EUYE WHERE UKOD=:U");
        q.bind("U", ukod);
        return q.scalar().toString();
    }

    void opensAtFirstRowAndMoves()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        QSignalSpy moved(&ds, &DataSet::currentRowChanged);
        ds.open();
        QCOMPARE(ds.state(), DataSet::State::Browse);
        QCOMPARE(ds.count(), 3);
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(ds.value("BIRIMADI").toString(), "Fen İşleri");
        QVERIFY(ds.last());
        QCOMPARE(ds.value("birimadi").toString(), "İmar");
        QVERIFY(!ds.next());
        QVERIFY(ds.locate("BIRKOD", "2"));
        QCOMPARE(ds.currentRow(), 1);
        QVERIFY(moved.count() >= 3);
        QCOMPARE(ds.rowCount(), 3);
        QCOMPARE(ds.columnCount(), 2);
    }

    // Update and delete address the row by the values it had when read.
    void editPostsThroughUpdateWithOldValues()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        QVERIFY(ds.locate("BIRKOD", "2"));
        QVERIFY(ds.setValue("BIRIMADI", "Zabıta Müdürlüğü"));
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QCOMPARE(ds.oldValue("BIRIMADI").toString(), "Zabıta");
        QVERIFY(ds.post());
        QCOMPARE(ds.state(), DataSet::State::Browse);
        QCOMPARE(names(), (QStringList{"1=Fen İşleri", "2=Zabıta Müdürlüğü", "3=İmar"}));
        QVERIFY(ds.remove());
        QCOMPARE(ds.count(), 2);
        QCOMPARE(names(), (QStringList{"1=Fen İşleri", "3=İmar"}));
    }

    void cancelRestoresEditAndDropsInsert()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        ds.setValue("BIRIMADI", "Değişti");
        ds.cancel();
        QCOMPARE(ds.value("BIRIMADI").toString(), "Fen İşleri");
        ds.setCurrentRow(1);
        QVERIFY(ds.append());
        QCOMPARE(ds.count(), 4);
        QCOMPARE(ds.currentRow(), 3);
        ds.setValue("BIRIMADI", "Yeni");
        ds.cancel();
        QCOMPARE(ds.count(), 3);
        QCOMPARE(ds.currentRow(), 1);
        QCOMPARE(names().size(), 3);
    }

    void insertDefaultsAndRefresh()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.setOnNewRecord([](DataSet &d) { d.setValue("BIRKOD", "9"); });
        ds.open();
        QVERIFY(ds.append());
        QCOMPARE(ds.value("BIRKOD").toString(), "9");
        ds.setValue("BIRIMADI", "Bilgi İşlem");
        QVERIFY(ds.post());
        QCOMPARE(names().last(), "9=Bilgi İşlem");
        QCOMPARE(ds.data(ds.index(3, 1)).toString(), "Bilgi İşlem");
    }

    // Moving away from a new row nobody typed into drops it, as grids do;
    // moving away from a typed row stores it.
    void movingAwayFromRowPostsOrDropsUntouchedNewRow()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.setOnNewRecord([](DataSet &d) { d.setValue("BIRKOD", "7"); });
        ds.open();
        ds.append();
        QVERIFY(ds.setCurrentRow(0));
        QCOMPARE(ds.count(), 3);
        QCOMPARE(names().size(), 3);

        ds.append();
        ds.setValue("BIRIMADI", "Park Bahçe");
        QVERIFY(ds.setCurrentRow(0));
        QCOMPARE(ds.count(), 4);
        QCOMPARE(names().last(), "7=Park Bahçe");
    }

    void refusalKeepsRowInEdit()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.setBeforePost([](DataSet &d) {
            return d.value("BIRIMADI").toString().isEmpty() ? QString("Birim adı boş olamaz.")
                                                            : QString();
        });
        QSignalSpy errors(&ds, &DataSet::errorOccurred);
        ds.open();
        ds.setValue("BIRIMADI", "");
        QVERIFY(!ds.post());
        QCOMPARE(ds.lastError(), "Birim adı boş olamaz.");
        QCOMPARE(errors.count(), 1);
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QVERIFY(!ds.setCurrentRow(1));
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(names().first(), "1=Fen İşleri");
    }

    // A value the database refuses leaves the typed row for correction.
    void databaseErrorKeepsTypedValues()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        ds.append();
        ds.setValue("BIRKOD", "1234567");
        ds.setValue("BIRIMADI", "Çok uzun kodlu birim");
        QVERIFY(!ds.post());
        QCOMPARE(ds.lastErrorKind(), db::DbError::Kind::TooLong);
        QCOMPARE(ds.state(), DataSet::State::Insert);
        QCOMPARE(ds.value("BIRIMADI").toString(), "Çok uzun kodlu birim");
        ds.setValue("BIRKOD", "4");
        QVERIFY(ds.post());
        QCOMPARE(names().size(), 4);
    }

    void updateOfVanishedRowIsAnError()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        exec("DELETE FROM BIRIM WHERE BIRKOD='1'");
        ds.setValue("BIRIMADI", "X");
        QVERIFY(!ds.post());
        QCOMPARE(ds.lastErrorKind(), db::DbError::Kind::RowChanged);
        QCOMPARE(ds.state(), DataSet::State::Edit);
    }

    // Clerk B changes a member after clerk A read it: A's save once wrote
    // over B's change without a word.
    void changeOfAnotherClerkIsNeverOverwritten()
    {
        addMembers();
        DataSet a(*m_db);
        configureMembers(a);
        a.open();
        QVERIFY(a.locate("UKOD", 2));
        auto b = otherClerk();
        db::Query(*b, "UPDATE EUYE SET UNVANI='Başkan Vekili' WHERE UKOD=2").exec();

        a.setValue("ADSOY", "Mehmet KAYAOĞLU");
        QVERIFY(!a.post());
        QCOMPARE(a.lastErrorKind(), db::DbError::Kind::RowChanged);
        QVERIFY(a.lastError().contains("başka bir kullanıcı"));
        QCOMPARE(a.state(), DataSet::State::Edit);
        QCOMPARE(a.value("ADSOY").toString(), "Mehmet KAYAOĞLU"); // the typing stays
        QCOMPARE(memberName(2), "Mehmet KAYA");

        // Giving up shows the other clerk's version; the change can then be made on it.
        a.cancel();
        QCOMPARE(a.value("UNVANI").toString(), "Başkan Vekili");
        QCOMPARE(a.value("ADSOY").toString(), "Mehmet KAYA");
        a.setValue("ADSOY", "Mehmet KAYAOĞLU");
        QVERIFY(a.post());
        QCOMPARE(memberName(2), "Mehmet KAYAOĞLU");
        QCOMPARE(db::Query(*m_db, "SELECT UNVANI FROM EUYE WHERE UKOD=2").scalar().toString(),
                 "Başkan Vekili");
    }

    // A number typed as text is stored as a number: the clerk's own second
    // save is not taken for someone else's change.
    void ownSavesInARowAreNoConflict()
    {
        exec("INSERT INTO ENCUMEN (KAYNO,OTRNO,ACIK) VALUES (1,1,'ENCÜMEN OTURUMU')");
        DataSet ds(*m_db);
        ds.setSelectSql("SELECT * FROM ENCUMEN");
        ds.setUpdateSql("UPDATE ENCUMEN SET OTRNO=:OTRNO, ACIK=:ACIK WHERE KAYNO=:OLD_KAYNO");
        ds.setTable("ENCUMEN", {"KAYNO"});
        ds.open();
        ds.setValue("OTRNO", "5");
        QVERIFY2(ds.post(), qPrintable(ds.lastError()));
        QCOMPARE(ds.value("OTRNO"), QVariant(5));
        ds.setValue("ACIK", "BÜTÇE OTURUMU");
        QVERIFY2(ds.post(), qPrintable(ds.lastError()));
        QCOMPARE(count("SELECT OTRNO FROM ENCUMEN WHERE ACIK='BÜTÇE OTURUMU'"), 5);
    }

    void deleteOfAChangedOrVanishedRowIsRefused_data()
    {
        QTest::addColumn<QString>("otherClerk");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("changed") << "UPDATE EUYE SET ADSOY='Zeynep ŞAHİNER' WHERE UKOD=3" << 3;
        QTest::newRow("deleted") << "DELETE FROM EUYE WHERE UKOD=3" << 2;
    }

    void deleteOfAChangedOrVanishedRowIsRefused()
    {
        QFETCH(QString, otherClerk);
        QFETCH(int, rowsAfter);
        addMembers();
        DataSet a(*m_db);
        configureMembers(a);
        a.open();
        a.last();
        db::Query(*this->otherClerk(), otherClerk).exec();
        QVERIFY(!a.remove());
        QCOMPARE(a.lastErrorKind(), db::DbError::Kind::RowChanged);
        QCOMPARE(a.count(), rowsAfter); // the row as it is now
        QCOMPARE(count("SELECT COUNT(*) FROM EUYE"), rowsAfter);
        if (rowsAfter == 3)
            QCOMPARE(a.value("ADSOY").toString(), "Zeynep ŞAHİNER");
    }

    // After a save refused because the row was deleted, Ctrl+Del once
    // deleted the neighbouring row instead (or crashed on a list of one).
    void deleteAfterARefusedSaveDecidesOnTheRowAsRead_data()
    {
        QTest::addColumn<int>("members");
        QTest::newRow("one of three") << 3;
        QTest::newRow("the only one") << 1;
    }

    void deleteAfterARefusedSaveDecidesOnTheRowAsRead()
    {
        QFETCH(int, members);
        addMembers();
        exec(QString("DELETE FROM EUYE WHERE UKOD>%1").arg(members));
        DataSet a(*m_db);
        configureMembers(a);
        a.open();
        QVERIFY(a.locate("UKOD", 1));
        db::Query(*otherClerk(), "DELETE FROM EUYE WHERE UKOD=1").exec();
        a.setValue("ADSOY", "Ayşe YILMAZ KOÇ");
        QVERIFY(!a.post());
        QVERIFY(!a.remove());
        QCOMPARE(a.lastErrorKind(), db::DbError::Kind::RowChanged);
        QCOMPARE(a.count(), members - 1);
        QCOMPARE(count("SELECT COUNT(*) FROM EUYE"), members - 1);
    }

    // A post or delete that is part of a larger command that fails is
    // undone on the screen too: the row is pending again with the typing,
    // or back in the list.
    void postInsideAFailedCommandIsPendingAgain()
    {
        addMembers();
        DataSet a(*m_db);
        configureMembers(a);
        a.open();
        a.setValue("ADSOY", "Ayşe YILMAZ KOÇ");
        {
            db::WriteGuard command(*m_db);
            QVERIFY(a.post());
            QCOMPARE(a.state(), DataSet::State::Browse);
            // ... and the rest of the command fails: no commit.
        }
        QCOMPARE(a.state(), DataSet::State::Edit);
        QCOMPARE(a.value("ADSOY").toString(), "Ayşe YILMAZ KOÇ");
        QCOMPARE(memberName(1), "Ayşe YILMAZ");
        QVERIFY(a.post());
        QCOMPARE(memberName(1), "Ayşe YILMAZ KOÇ");
        {
            db::WriteGuard command(*m_db);
            QVERIFY(a.remove());
            QCOMPARE(a.count(), 2);
        }
        QCOMPARE(a.count(), 3);
        QCOMPARE(a.value("UKOD").toInt(), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM EUYE"), 3);
    }

    // A row another clerk's open command holds: the post waits a bounded
    // time with the busy sign up, then says so in Turkish, the engine's text
    // kept apart.
    void heldRowIsWaitedForWithASignThenRefused()
    {
        addMembers();
        QVector<bool> busy;
        m_db->setBusyHandler([&](bool on) { busy << on; });
        DataSet a(*m_db);
        configureMembers(a);
        a.open();
        auto b = otherClerk();
        {
            db::WriteGuard holding(*b);
            db::Query(*b, "UPDATE EUYE SET UNVANI='Üye' WHERE UKOD=1").exec();
            a.setValue("ADSOY", "Ayşe YILMAZ KOÇ");
            QVERIFY(!a.post());
        }
        QCOMPARE(busy, (QVector<bool>{true, false}));
        QCOMPARE(a.lastErrorKind(), db::DbError::Kind::LockConflict);
        QCOMPARE(a.lastError(), db::DbError::kindText(db::DbError::Kind::LockConflict));
        QVERIFY2(a.lastErrorDetails().contains("concurrent"), qPrintable(a.lastErrorDetails()));
        QCOMPARE(a.state(), DataSet::State::Edit);
        QVERIFY(a.post()); // once the other clerk is done
        QCOMPARE(memberName(1), "Ayşe YILMAZ KOÇ");
    }

    // The holder finishes while the post waits: the post goes through, unless
    // the holder changed the row.
    void heldRowReleasedDuringTheWait_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("written");
        QTest::newRow("row only held") << "UPDATE EUYE SET EVTEL=EVTEL WHERE UKOD=1" << true;
        QTest::newRow("row changed") << "UPDATE EUYE SET EVTEL='555' WHERE UKOD=1" << false;
    }

    void heldRowReleasedDuringTheWait()
    {
        QFETCH(QString, holder);
        QFETCH(bool, written);
        addMembers();
        DataSet a(*m_db);
        configureMembers(a);
        a.open();
        std::atomic<bool> holding = false;
        std::thread other([&] {
            auto b = otherClerk();
            db::WriteGuard guard(*b);
            db::Query(*b, holder).exec();
            holding = true;
            QThread::msleep(400);
            guard.commit();
        });
        while (!holding)
            QThread::msleep(5);
        a.setValue("ADSOY", "Ayşe YILMAZ KOÇ");
        const bool posted = a.post();
        other.join();
        QCOMPARE(posted, written);
        QCOMPARE(memberName(1), written ? "Ayşe YILMAZ KOÇ" : "Ayşe YILMAZ");
        if (!written)
            QCOMPARE(a.lastErrorKind(), db::DbError::Kind::RowChanged);
    }

    void detailFollowsItsMasterAndHoldsItBack()
    {
        exec("INSERT INTO ENCUMEN (KAYNO,OTRNO) VALUES (1,1)");
        exec("INSERT INTO ENCUMEN (KAYNO,OTRNO) VALUES (2,2)");
        exec("INSERT INTO EKAR (KAYNO,KARNO,SNO,OZET) VALUES (1,1,1,'Birinci')");
        exec("INSERT INTO EKAR (KAYNO,KARNO,SNO,OZET) VALUES (2,2,1,'İkinci')");
        exec("INSERT INTO EKAR (KAYNO,KARNO,SNO,OZET) VALUES (2,3,2,'Üçüncü')");
        DataSet meetings(*m_db);
        meetings.setSelectSql("SELECT * FROM ENCUMEN ORDER BY KAYNO");
        DataSet decisions(*m_db);
        decisions.setSelectSql("SELECT KAYNO, KARNO, SNO, OZET FROM EKAR WHERE KAYNO=:OT "
                               "ORDER BY SNO");
        decisions.setUpdateSql("UPDATE EKAR SET OZET=:OZET WHERE KAYNO=:OLD_KAYNO AND "
                               "KARNO=:OLD_KARNO");
        decisions.setTable("EKAR", {"KAYNO", "KARNO"});
        decisions.setMaster(&meetings, {{"OT", "KAYNO"}});
        meetings.open();
        QCOMPARE(decisions.count(), 1);
        QVERIFY(meetings.next());
        QCOMPARE(decisions.count(), 2);
        QCOMPARE(decisions.value("OZET").toString(), "İkinci");

        // A pending decision is stored before the meeting is left...
        decisions.setValue("OZET", "İkinci karar");
        QVERIFY(meetings.prior());
        QCOMPARE(count("SELECT COUNT(*) FROM EKAR WHERE OZET='İkinci karar'"), 1);
        // ...and one that cannot be stored keeps the meeting where it is.
        QVERIFY(meetings.next());
        decisions.setBeforePost([](DataSet &) { return QString("Karar Özetini Giriniz..!"); });
        decisions.setValue("OZET", "");
        QVERIFY(!meetings.prior());
        QVERIFY(!meetings.append());
        QCOMPARE(meetings.currentRow(), 1);
        QCOMPARE(meetings.count(), 2);
        QCOMPARE(decisions.state(), DataSet::State::Edit);
        QCOMPARE(decisions.value("OZET").toString(), "");
    }

    void screenCanRefuseToLeaveTheRow()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        bool entryOpen = true;
        ds.setLeaveCheck([&] { return !entryOpen; });
        ds.open();
        QVERIFY(!ds.setCurrentRow(2));
        QCOMPARE(ds.currentRow(), 0);
        entryOpen = false;
        QVERIFY(ds.setCurrentRow(2));
    }

    // Another clerk's new row sorts before the current one: the current
    // row stays the same row, not the same place.
    void reopenKeepsTheCurrentRowByItsKey()
    {
        addMembers();
        DataSet ds(*m_db);
        configureMembers(ds);
        ds.setSelectSql("SELECT * FROM EUYE ORDER BY ADSOY");
        ds.open();
        QVERIFY(ds.locate("UKOD", 2));
        QCOMPARE(ds.currentRow(), 1);
        db::Query(*otherClerk(), "INSERT INTO EUYE (YIL,UKOD,ADSOY) VALUES (2021,4,'Ahmet AK')")
            .exec();
        ds.reopen();
        QCOMPARE(ds.count(), 4);
        QCOMPARE(ds.currentRow(), 2);
        QCOMPARE(ds.value("UKOD").toInt(), 2);
    }

    void modelContractHoldsThroughEveryChange()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.addCalculatedField("UZUNLUK", [](const DataSet &d, const DataSet::Row &r) {
            return r[d.fieldIndex("BIRIMADI")].toString().size();
        });
        QAbstractItemModelTester tester(&ds,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        ds.open();
        QVERIFY(ds.append());
        ds.setValue("BIRKOD", "4");
        ds.setValue("BIRIMADI", "Park Bahçeler");
        QVERIFY(ds.post());
        QVERIFY(ds.append());
        ds.cancel();
        QVERIFY(ds.setData(ds.index(1, 1), "Zabıta Müdürlüğü"));
        QVERIFY(ds.post());
        QVERIFY(ds.remove());
        ds.reopen();
        QCOMPARE(ds.count(), 3);
        ds.close();
    }

    // A calculated field that fails (a count that runs a query) once made
    // post() throw after its commit; now the field is empty and told once.
    void failingCalculationShowsEmptyAndIsToldOnce()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        bool failing = true;
        ds.addCalculatedField("SAYI", [&](const DataSet &, const DataSet::Row &) -> QVariant {
            if (failing)
                throw db::DbError(db::DbError::Kind::Other, "Sayım okunamadı");
            return 7;
        });
        QSignalSpy errors(&ds, &DataSet::errorOccurred);
        ds.open();
        QCOMPARE(errors.count(), 1);
        QCOMPARE(ds.count(), 3);
        QVERIFY(ds.value("SAYI").isNull());
        ds.setValue("BIRIMADI", "Fen İşleri Müdürlüğü");
        QVERIFY(ds.post());
        QCOMPARE(errors.count(), 2);
        QCOMPARE(ds.state(), DataSet::State::Browse);
        QCOMPARE(names().first(), "1=Fen İşleri Müdürlüğü");
        failing = false;
        ds.recalculate(0);
        QCOMPARE(ds.value("SAYI").toInt(), 7);
    }

    // A grid whose posts fail: nothing escapes its event handlers, each
    // failure is one box, and the row stays for correction.
    void gridWhosePostFailsStaysOnTheRow()
    {
        ui::ScriptedMessages messages;
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.setBeforePost([](DataSet &) -> QString { throw std::runtime_error("numaralama"); });
        ui::DataGrid grid(messages);
        grid.setDataSet(&ds);
        grid.setEditingAllowed(true);
        ds.open();
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        grid.setCurrentIndex(ds.index(0, 1));
        QTest::keyClick(&grid, Qt::Key_F2);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != &grid);
        test::typeText(editor, "X");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCoreApplication::processEvents();
        QCOMPARE(messages.entries().size(), 1);
        QCOMPARE(messages.entries().first().kind, ui::ScriptedMessages::Kind::Error);
        QCOMPARE(messages.entries().first().details, "numaralama");
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QCOMPARE(names().first(), "1=Fen İşleri");
    }

    // A grid moves its cursor when the new row leaves it: that move must
    // not store the row being dropped.
    void droppedNewRowUnderAGridIsNotStored()
    {
        ui::ScriptedMessages messages;
        DataSet ds(*m_db);
        configureDepartments(ds);
        ui::DataGrid grid(messages);
        grid.setDataSet(&ds);
        ds.open();
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QStringList before = names();
        QVERIFY(ds.append());
        ds.setValue("BIRKOD", "9");
        ds.setValue("BIRIMADI", "Vazgeçilen");
        QCOMPARE(grid.currentIndex().row(), ds.currentRow());
        ds.cancel();
        QCoreApplication::processEvents();
        QCOMPARE(names(), before);
        QCOMPARE(ds.state(), DataSet::State::Browse);
        QCOMPARE(ds.count(), before.size());
        QCOMPARE(grid.currentIndex().row(), ds.currentRow());
        QVERIFY(messages.entries().isEmpty());
    }

    void calculatedFieldsFilterAndDisplayColumns()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.addCalculatedField("UZUNLUK", [](const DataSet &d, const DataSet::Row &r) {
            return r[d.fieldIndex("BIRIMADI")].toString().size();
        });
        ds.setFilter([](const DataSet &d, const DataSet::Row &r) {
            return r[d.fieldIndex("BIRKOD")].toString() != "2";
        });
        ds.setDisplayColumns(
            {{"BIRIMADI", "Kurum İçi Birim Adı"}, {"UZUNLUK", "Uzunluk", [](const QVariant &v) {
                                                       return QString("%1 harf").arg(v.toInt());
                                                   }}});
        ds.setEditable(true);
        ds.open();
        QCOMPARE(ds.count(), 2);
        QCOMPARE(ds.headerData(0, Qt::Horizontal).toString(), "Kurum İçi Birim Adı");
        QCOMPARE(ds.data(ds.index(0, 1)).toString(), "10 harf");
        QVERIFY(ds.flags(ds.index(0, 0)) & Qt::ItemIsEditable);
        // Editing through the model (as a grid does) recomputes after post.
        QVERIFY(ds.setData(ds.index(1, 0), "İmar ve Şehircilik"));
        QCOMPARE(ds.currentRow(), 1);
        QVERIFY(ds.post());
        QCOMPARE(ds.data(ds.index(1, 1)).toString(), "18 harf");
    }

    void datesAndTimesShowInTheirShortForm()
    {
        QCOMPARE(DataSet::defaultText(QDate(2021, 5, 9)), "09/05/2021");
        QCOMPARE(DataSet::defaultText(QTime(9, 5)), "09:05");
        QCOMPARE(DataSet::defaultText(QVariant()), "");
    }

    void openWithoutConnectionThrows()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        m_db->disconnect();
        QVERIFY_THROWS_EXCEPTION(db::DbError, ds.open());
        QVERIFY(!ds.isOpen());
    }
};

MIZRO_TEST_MAIN(TestDataSet)
#include "tst_dataset.moc"
