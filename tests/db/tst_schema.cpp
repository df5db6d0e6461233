// Database files of each schema version as the admin tool makes them.

#include "db/database.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/schema.h"
#include "testsupport.h"

#include <QApplication>
#include <QProcess>

using namespace mizro;

namespace {

using test::columns;

} // namespace

class TestSchema : public QObject {
    Q_OBJECT
private slots:
    void versionsDifferAsRecorded_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("memberState");
        QTest::addColumn<bool>("decisionMeetingNumber");
        QTest::newRow("14.001") << "14.001" << true << false;
        QTest::newRow("12.002") << "12.002" << false << false;
        QTest::newRow("12.001") << "12.001" << false << true;
    }

    void versionsDifferAsRecorded()
    {
        QFETCH(QString, version);
        QFETCH(bool, memberState);
        QFETCH(bool, decisionMeetingNumber);
        test::DbCopy copy(version);
        db::Database db;
        db.setDatabaseName(copy.path());
        db.connect();
        QCOMPARE(columns(db, "EUYE").contains("DUR"), memberState);
        QCOMPARE(columns(db, "MUYE").contains("DUR"), memberState);
        QCOMPARE(columns(db, "EKAR").contains("OTRNO"), decisionMeetingNumber);
        QCOMPARE(columns(db, "MKAR").contains("OTRNO"), decisionMeetingNumber);
        QCOMPARE(columns(db, "ENCUMEN"),
                 (QStringList{"KAYNO", "OTRNO", "TARIH", "SAAT", "TUR", "ACIK"}));
        QCOMPARE(db::Query(db, "SELECT COUNT(*) FROM TANIM").scalar().toInt(), 1);
        QCOMPARE(db::Query(db, "SELECT VER FROM TANIM").scalar().toString(), version);
        QCOMPARE(db::Query(db, "SELECT CYIL FROM TANIM").scalar().toString(),
                 QString::number(QDate::currentDate().year()));
    }

    // Meetings of both bodies draw from one generator, so their record
    // numbers never meet.
    void generatorIsSharedAndKeysHold()
    {
        test::DbCopy copy;
        db::Database db;
        db.setDatabaseName(copy.path());
        db.connect();
        db::Query gen(db, "SELECT GEN_ID(GEN_KAYNO,1) YENINO FROM RDB$DATABASE");
        const int a = gen.scalar().toInt();
        const int b = gen.scalar().toInt();
        QCOMPARE(b, a + 1);
        db::Query(db, "INSERT INTO EKAT (KAYNO,UKOD) VALUES (1,1)").exec();
        QVERIFY_THROWS_EXCEPTION(
            db::DbError, db::Query(db, "INSERT INTO EKAT (KAYNO,UKOD) VALUES (1,1)").exec());
        db::Query(db, "INSERT INTO EKAR (KAYNO,KARNO) VALUES (1,1)").exec();
        QVERIFY_THROWS_EXCEPTION(
            db::DbError, db::Query(db, "INSERT INTO EKAR (KAYNO,KARNO) VALUES (1,1)").exec());
    }

    void adminToolRefusesToOverwrite()
    {
        test::DbCopy copy;
        const QByteArray before = [&] {
            QFile f(copy.path());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        QProcess p;
        p.start(QStringLiteral(MIZRO_ADMIN), {"create", copy.path(), "--demo"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("zaten var"));
        QFile f(copy.path());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void adminToolMakesDemoDatabase()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("YENİ KLASÖR/MIZRO.GDB");
        QDir().mkpath(dir.filePath("YENİ KLASÖR"));
        QProcess p;
        p.start(QStringLiteral(MIZRO_ADMIN),
                {"create", path, "--schema-version", "12.002", "--demo"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        db::Database db;
        db.setDatabaseName(path);
        db.connect();
        const int year = QDate::currentDate().year();
        QCOMPARE(db::Query(db, "SELECT VER FROM TANIM").scalar().toString(), "12.002");
        QVERIFY(db::Query(db, "SELECT COUNT(*) FROM EUYE").scalar().toInt() >= 3 * 8);
        QVERIFY(db::Query(db, "SELECT COUNT(*) FROM MUYE").scalar().toInt() >= 3 * 20);
        QVERIFY(db::Query(db, "SELECT COUNT(*) FROM BIRIM").scalar().toInt() >= 15);
        db::Query meetings(db, "SELECT COUNT(*) FROM ENCUMEN WHERE EXTRACT(YEAR FROM TARIH)=:Y");
        meetings.bind("Y", year - 1);
        QVERIFY(meetings.scalar().toInt() >= 50);
        // Decision numbers run 1..n through each year without a gap.
        db::Query numbers(db, "SELECT COUNT(*), MAX(K.KARNO) FROM EKAR K JOIN ENCUMEN E "
                              "ON E.KAYNO=K.KAYNO WHERE EXTRACT(YEAR FROM E.TARIH)=:Y");
        numbers.bind("Y", year - 1);
        numbers.exec();
        QVERIFY(numbers.next());
        QCOMPARE(numbers.value(0).toInt(), numbers.value(1).toInt());
        QVERIFY(numbers.value(0).toInt() > 50 * 3);
        // Every meeting has between 3 and 15 decisions and someone present.
        QCOMPARE(db::Query(db, "SELECT COUNT(*) FROM ENCUMEN E WHERE (SELECT COUNT(*) FROM EKAR K "
                               "WHERE K.KAYNO=E.KAYNO) NOT BETWEEN 3 AND 15")
                     .scalar()
                     .toInt(),
                 0);
        QCOMPARE(db::Query(db, "SELECT COUNT(*) FROM MECLIS E WHERE NOT EXISTS (SELECT 1 FROM MKAT "
                               "K WHERE K.KAYNO=E.KAYNO)")
                     .scalar()
                     .toInt(),
                 0);
    }

    void createRefusesUnknownVersion()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(db::DbError,
                                 db::Schema::createDatabase(dir.filePath("X.GDB"), "13.000"));
        QVERIFY(!QFile::exists(dir.filePath("X.GDB")));
    }

    void scriptSplitting()
    {
        QCOMPARE(
            db::Schema::statements("-- note\nCREATE TABLE A (\n  X INT\n);\n\nDROP TABLE A;\n"),
            (QStringList{"CREATE TABLE A (\nX INT\n)", "DROP TABLE A"}));
    }
};

MIZRO_TEST_MAIN(TestSchema)
#include "tst_schema.moc"
