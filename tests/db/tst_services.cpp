// The engine's services manager: validation of a file the program holds open,
// and backups that gbak restores, locally and through a server.

#include "db/database.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/services.h"
#include "db/writeguard.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QtEndian>

using namespace mizro;

namespace {

QStringList userTables(db::Database &db)
{
    db::Query q(db, "SELECT TRIM(R.RDB$RELATION_NAME) FROM RDB$RELATIONS R "
                    "WHERE R.RDB$SYSTEM_FLAG = 0 AND R.RDB$VIEW_BLR IS NULL "
                    "ORDER BY R.RDB$RELATION_NAME");
    q.exec();
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QMap<QString, int> rowCounts(const QString &path)
{
    db::Database db;
    db.setDatabaseName(path);
    db.connect();
    QMap<QString, int> counts;
    for (const QString &table : userTables(db))
        counts[table] = db::Query(db, "SELECT COUNT(*) FROM " + table).scalar().toInt();
    return counts;
}

// Turns the first data page of a table into something else, as a torn write
// would. ODS 12 page header: type at byte 0 (5 = data page), the table's id
// as 16 bits at byte 20.
bool damageFirstDataPage(const QString &path, const QString &table)
{
    int relationId = 0;
    {
        db::Database db;
        db.setDatabaseName(path);
        db.connect();
        db::Query q(db, "SELECT R.RDB$RELATION_ID FROM RDB$RELATIONS R "
                        "WHERE R.RDB$RELATION_NAME = :T");
        q.bind("T", table);
        relationId = q.scalar().toInt();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    const int pageSize = 8192;
    for (qint64 page = 0; page * pageSize < f.size(); ++page) {
        f.seek(page * pageSize);
        const QByteArray header = f.read(24);
        if (header.at(0) == 5 &&
            qFromLittleEndian<quint16>(header.constData() + 20) == relationId) {
            f.seek(page * pageSize);
            return f.write(QByteArray(1, char(7))) == 1; // an index page
        }
    }
    return false;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestServices : public QObject {
    Q_OBJECT

private slots:
    void targetFollowsTheDatabaseName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("remote");
        QTest::newRow("local") << "/srv/veri/MIZRO.GDB"
                               << "service_mgr"
                               << "/srv/veri/MIZRO.GDB" << false;
        QTest::newRow("drive") << "C:\\DATA\\MIZRO.GDB"
                               << "service_mgr"
                               << "C:\\DATA\\MIZRO.GDB" << false;
        QTest::newRow("server") << "SUNUCU:/srv/veri/MIZRO.GDB"
                                << "SUNUCU:service_mgr"
                                << "/srv/veri/MIZRO.GDB" << true;
        QTest::newRow("server with port") << "127.0.0.1/3051:/d/MIZRO.GDB"
                                          << "127.0.0.1/3051:service_mgr"
                                          << "/d/MIZRO.GDB" << true;
        QTest::newRow("server with drive") << "SUNUCU:C:\\DATA\\MIZRO.GDB"
                                           << "SUNUCU:service_mgr"
                                           << "C:\\DATA\\MIZRO.GDB" << true;
    }

    void targetFollowsTheDatabaseName()
    {
        QFETCH(QString, name);
        QFETCH(QString, service);
        QFETCH(QString, path);
        QFETCH(bool, remote);
        const db::Services::Target t = db::Services::target(name);
        QCOMPARE(t.service, service);
        QCOMPARE(t.path, path);
        QCOMPARE(t.remote, remote);
    }

    // The program keeps its attachment open while the clerk checks the file.
    void goodFileValidatesCleanWhileHeld()
    {
        test::DbCopy copy("14.001", true);
        db::Database held;
        held.setDatabaseName(copy.path());
        held.connect();
        QVERIFY(db::Query(held, "SELECT COUNT(*) FROM EKAR").scalar().toInt() > 0);
        QStringList progress;
        const db::Services::Validation v =
            db::Services().validate(copy.path(), [&](const QString &l) { progress << l; });
        QVERIFY2(v.clean(), qPrintable(v.errors.join('\n')));
        QVERIFY(v.busyTables.isEmpty());
        QVERIFY(v.output.size() > 10);
        QVERIFY(progress.size() >= v.output.size());
    }

    // A transaction that wrote keeps its tables locked until it ends: such a
    // table is busy, not damaged.
    void tableHeldByAWriterIsBusyNotDamaged()
    {
        test::DbCopy copy;
        db::Database held;
        held.setDatabaseName(copy.path());
        held.connect();
        // A command of another clerk still open on the table.
        db::WriteGuard writing(held);
        db::Query(held, "INSERT INTO EKAT (KAYNO,UKOD) VALUES (1,1)").exec();
        const db::Services::Validation v = db::Services().validate(copy.path());
        QVERIFY2(v.clean(), qPrintable(v.errors.join('\n')));
        QCOMPARE(v.busyTables, QStringList{"EKAT"});
    }

    void damagedPageIsReported()
    {
        test::DbCopy copy("14.001", true);
        QVERIFY(damageFirstDataPage(copy.path(), "EKAR"));
        const db::Services::Validation v = db::Services().validate(copy.path());
        QVERIFY(!v.clean());
        QCOMPARE(v.damagedTables, QStringList{"EKAR"});
        QVERIFY(v.errors.first().startsWith("Error: Page"));
    }

    void missingFileIsAClearError()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("YOK.GDB");
        try {
            db::Services().validate(path);
            QFAIL("no error");
        } catch (const db::DbError &e) {
            QCOMPARE(e.kind(), db::DbError::Kind::Connection);
            QVERIFY(e.message().startsWith("Veritabanı açılamadı."));
            QVERIFY(e.details().contains(path));
        }
    }

    void backupRestoresToTheSameRows()
    {
        test::DbCopy copy("14.001", true);
        db::Database held;
        held.setDatabaseName(copy.path());
        held.connect();
        const QString out = copy.dir() + "/MIZRO-20240105.FBK";
        QStringList progress;
        const db::Services::Backup b =
            db::Services().backup(copy.path(), out, [&](const QString &l) { progress << l; });
        QVERIFY(progress.contains("gbak:closing file, committing, and finishing. " +
                                  QString::number(b.size) + " bytes written"));
        QCOMPARE(QFileInfo(out).size(), b.size);
        QVERIFY(!QFile::exists(out + ".part"));

        const QString restored = copy.dir() + "/GERI.GDB";
        QProcess gbak;
        gbak.start("gbak", {"-user", "SYSDBA", "-c", out, restored});
        QVERIFY(gbak.waitForFinished(60000));
        QVERIFY2(gbak.exitCode() == 0, gbak.readAllStandardError().constData());
        const QMap<QString, int> before = rowCounts(copy.path());
        QVERIFY(before["EKAR"] > 0 && before["MKAT"] > 0);
        QCOMPARE(rowCounts(restored), before);
    }

    // Nothing may be left that looks like a backup: no file for a target that
    // cannot be written, and an older backup under the same name untouched
    // when the engine gives up half-way.
    void failedBackupLeavesNoFile_data()
    {
        QTest::addColumn<QString>("target"); // in the copy's directory
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "YOK/MIZRO.FBK"
                                        << "Klasör yok";
        QTest::newRow("folder") << "KLASOR"
                                << "klasörün adı";
        QTest::newRow("refused by the engine") << "/proc/MIZRO.FBK"
                                               << "cannot open backup file";
    }

    void failedBackupLeavesNoFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        test::DbCopy copy;
        QDir(copy.dir()).mkdir("KLASOR");
        const QString path = target.startsWith('/') ? target : copy.dir() + "/" + target;
        try {
            db::Services().backup(copy.path(), path);
            QFAIL("no error");
        } catch (const db::DbError &e) {
            QVERIFY2(e.message().startsWith("Yedek dosyası yazılamadı: " + path),
                     qPrintable(e.message()));
            QVERIFY2(QString(e.message() + e.details()).contains(reason), qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo(path).isFile());
        QVERIFY(!QFile::exists(path + ".part"));
    }

    void failedBackupKeepsTheOlderOne()
    {
        test::DbCopy copy("14.001", true);
        QVERIFY(damageFirstDataPage(copy.path(), "EKAR"));
        const QString out = copy.dir() + "/MIZRO.FBK";
        QFile old(out);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("dünkü yedek");
        old.close();
        QStringList progress;
        QVERIFY_THROWS_EXCEPTION(
            db::DbError,
            db::Services().backup(copy.path(), out, [&](const QString &l) { progress << l; }));
        QVERIFY(progress.size() > 10); // it got some way before giving up
        QCOMPARE(contents(out), QByteArray("dünkü yedek"));
        QVERIFY(!QFile::exists(out + ".part"));
    }

    // On a shared server the service runs in the server and the backup path
    // is the server's.
    void throughTheServer()
    {
        const QString dir = qEnvironmentVariable("MIZRO_TEST_SERVER_DIR");
        if (dir.isEmpty())
            QSKIP("no test server (run through ctest)");
        QFile portFile(dir + "/port");
        QVERIFY2(portFile.open(QIODevice::ReadOnly), "the test server did not start");
        const QString server = "127.0.0.1/" + QString::fromLatin1(portFile.readAll()).trimmed();
        const QString path = dir + "/data/SERVICES.GDB";
        const QString out = dir + "/data/SERVICES.FBK";
        QFile::remove(path);
        QFile::remove(out);
        QVERIFY(QFile::copy(test::templateDatabase("14.001", true), path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        const QString name = server + ":" + path;
        db::Database held;
        held.setDatabaseName(name);
        held.connect();
        const db::Services::Validation v = db::Services().validate(name);
        QVERIFY2(v.clean(), qPrintable(v.errors.join('\n')));
        QVERIFY(v.output.size() > 10);
        const db::Services::Backup b = db::Services().backup(name, out);
        QVERIFY(b.size > 0);
        QCOMPARE(QFileInfo(out).size(), b.size);
        held.disconnect();
        QFile::remove(path);
        QFile::remove(out);
    }
};

MIZRO_TEST_MAIN(TestServices)
#include "tst_services.moc"
