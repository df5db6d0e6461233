// How the connection's transactions behave over a clerk's day: short
// commands that let the engine collect old versions, a report's snapshot,
// documents read and written on their own, and saves that survive a kill.

#include "db/blobcolumn.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/readsnapshot.h"
#include "db/schema.h"
#include "db/writeguard.h"
#include "testsupport.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>

using namespace mizro;
using db::DbError;

class TestTransactions : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DbCopy> m_copy;
    std::unique_ptr<db::Database> m_db;

    std::unique_ptr<db::Database> connect(const QString &path)
    {
        auto d = std::make_unique<db::Database>();
        d->setDatabaseName(path);
        d->connect();
        return d;
    }
    int count(db::Database &d, const QString &sql) { return db::Query(d, sql).scalar().toInt(); }

private slots:
    void init()
    {
        m_copy = std::make_unique<test::DbCopy>();
        m_db = connect(m_copy->path());
    }

    void cleanup()
    {
        m_db.reset();
        m_copy.reset();
    }

    // One transaction kept for the whole run by commit retaining held the
    // oldest snapshot where it was: nothing of a day's work could be collected.
    void oldestSnapshotKeepsUpOverAThousandCommands()
    {
        db::DataSet members(*m_db);
        members.setSelectSql("SELECT * FROM EUYE WHERE YIL=2021");
        members.setUpdateSql("UPDATE EUYE SET ADSOY=:ADSOY WHERE YIL=:OLD_YIL AND UKOD=:OLD_UKOD");
        members.setTable("EUYE", {"YIL", "UKOD"});
        db::Query insert(*m_db, "INSERT INTO EUYE (YIL,UKOD,ADSOY) VALUES (2021,:U,'Üye')");
        db::Query read(*m_db, "SELECT COUNT(*) FROM EUYE");
        for (int i = 1; i <= 250; ++i) {
            insert.bind("U", i);
            insert.exec();
            read.scalar();
            members.open();
            members.last();
            members.setValue("ADSOY", QString("Üye %1").arg(i));
            QVERIFY2(members.post(), qPrintable(members.lastError()));
        }
        QCOMPARE(count(*m_db, "SELECT COUNT(*) FROM EUYE"), 250);
        // Monitoring figures hold for the transaction that reads them: read
        // them on a fresh connection.
        auto observer = connect(m_copy->path());
        db::Query q(*observer, "SELECT MON$NEXT_TRANSACTION - MON$OLDEST_SNAPSHOT, "
                               "MON$NEXT_TRANSACTION - MON$OLDEST_ACTIVE FROM MON$DATABASE");
        q.exec();
        QVERIFY(q.next());
        QVERIFY2(q.value(0).toInt() <= 5, qPrintable(q.value(0).toString()));
        QVERIFY2(q.value(1).toInt() <= 5, qPrintable(q.value(1).toString()));
    }

    void reportSnapshotShowsOneMoment()
    {
        auto other = connect(m_copy->path());
        db::Query insert(*other, "INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES (:K,'Birim')");
        insert.bind("K", "1");
        insert.exec();
        QCOMPARE(count(*m_db, "SELECT COUNT(*) FROM BIRIM"), 1); // read committed
        db::Query report(*m_db, "SELECT COUNT(*) FROM BIRIM");
        db::DataSet reportRows(*m_db);
        reportRows.setSelectSql("SELECT * FROM BIRIM");
        {
            db::ReadSnapshot moment(*m_db);
            report.setSnapshot(&moment);
            reportRows.setSnapshot(&moment);
            QCOMPARE(report.scalar().toInt(), 1);
            insert.bind("K", "2");
            insert.exec();
            QCOMPARE(report.scalar().toInt(), 1);
            reportRows.open();
            QCOMPARE(reportRows.count(), 1);
            // The clerk's own reads and writes meanwhile see the latest data.
            QCOMPARE(count(*m_db, "SELECT COUNT(*) FROM BIRIM"), 2);
            db::Query(*m_db, "INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES ('3','Birim')").exec();
            QCOMPARE(count(*other, "SELECT COUNT(*) FROM BIRIM"), 3);
            QCOMPARE(report.scalar().toInt(), 1);
            report.setSnapshot(nullptr);
        }
        QCOMPARE(report.scalar().toInt(), 3);
    }

    void documentRoundTripsWhole()
    {
        db::Query(*m_db, "INSERT INTO ORNEK (SNO,TUR) VALUES (1,'E')").exec();
        db::BlobColumn documents(*m_db, "ORNEK", "ORNEK", {"SNO"});
        QVERIFY(documents.read({1}).isEmpty());
        QByteArray big(10 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator gen(7);
        gen.fillRange(reinterpret_cast<quint32 *>(big.data()), big.size() / 4);
        QCOMPARE(documents.write({1}, big, QByteArray()), db::BlobColumn::Outcome::Written);
        QCOMPARE(documents.read({1}), big);
        QCOMPARE(documents.write({1}, big, big), db::BlobColumn::Outcome::Unchanged);
        // Emptied, the document is gone (NULL), not an empty value.
        QCOMPARE(documents.write({1}, QByteArray(), big), db::BlobColumn::Outcome::Written);
        QCOMPARE(count(*m_db, "SELECT COUNT(*) FROM ORNEK WHERE ORNEK IS NULL"), 1);
        QVERIFY_THROWS_EXCEPTION(DbError, documents.read({2}));
    }

    // Two clerks open the same document; the second save must not wipe the first.
    void documentChangedByAnotherClerkIsNotOverwritten()
    {
        db::Query(*m_db, "INSERT INTO ORNEK (SNO,TUR,ORNEK) VALUES (1,'E','BDOC ilk')").exec();
        db::BlobColumn mine(*m_db, "ORNEK", "ORNEK", {"SNO"});
        auto other = connect(m_copy->path());
        db::BlobColumn theirs(*other, "ORNEK", "ORNEK", {"SNO"});
        const QByteArray asRead = mine.read({1});
        QCOMPARE(theirs.write({1}, "BDOC onların", theirs.read({1})),
                 db::BlobColumn::Outcome::Written);
        try {
            mine.write({1}, "BDOC benim", asRead);
            QFAIL("overwritten");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::RowChanged);
        }
        QCOMPARE(mine.read({1}), QByteArray("BDOC onların"));
    }

    // A save acknowledged is committed in full on a file with forced writes:
    // the process is killed right after it, and nothing of it runs after.
    void acknowledgedSaveSurvivesAKill()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("MIZRO.GDB");
        db::Schema::createDatabase(path, db::Schema::currentVersion(), {true});
        QCOMPARE(count(*connect(path), "SELECT MON$FORCED_WRITES FROM MON$DATABASE"), 1);
        QProcess child;
        child.start(QStringLiteral(MIZRO_SAVE_AND_WAIT), {path});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("saved"));
        child.kill(); // SIGKILL: nothing runs after it
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        auto after = connect(path);
        QCOMPARE(
            db::Query(*after, "SELECT BIRIMADI FROM BIRIM WHERE BIRKOD='9'").scalar().toString(),
            "Yazı İşleri");
    }
};

MIZRO_TEST_MAIN(TestTransactions)
#include "tst_transactions.moc"
