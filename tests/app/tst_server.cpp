// Several clerks share one database through a Firebird server: the program
// reaches it through SRV = host/port and YOL = the server's directory.

#include "app/mainwindow.h"
#include "app/openfailure.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "lists/memberrules.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

using namespace mizro;

class TestServer : public QObject {
    Q_OBJECT

    QString m_server;
    QString m_dataDir;

    void startWithSettings(ui::Session &session, app::MainWindow &window)
    {
        QSettings key("RUFA", "MIZRO");
        key.setValue("SRV", m_server);
        key.setValue("YOL", m_dataDir);
        key.sync();
        window.ibaseAc(QDate::currentDate(), QDir::currentPath());
        QVERIFY2(!session.connectionFailed(), "no connection to the server");
    }

private slots:
    void initTestCase()
    {
        const QString dir = qEnvironmentVariable("MIZRO_TEST_SERVER_DIR");
        if (dir.isEmpty())
            QSKIP("no test server (run through ctest)");
        QFile port(dir + "/port");
        QVERIFY2(port.open(QIODevice::ReadOnly), "the test server did not start");
        m_server = "127.0.0.1/" + QString::fromLatin1(port.readAll()).trimmed();
        m_dataDir = dir + "/data";
        QFile::remove(m_dataDir + "/MIZRO.GDB");
        QVERIFY(QFile::copy(test::templateDatabase(), m_dataDir + "/MIZRO.GDB"));
        QFile::setPermissions(m_dataDir + "/MIZRO.GDB",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void writesAndReadsBackThroughTheServer()
    {
        test::clearSettings();
        {
            ui::ScriptedMessages messages;
            ui::ScriptedDialogRunner dialogs;
            ui::Session session(messages);
            app::MainWindow window(session, dialogs);
            startWithSettings(session, window);
            QCOMPARE(session.database().databaseName(),
                     m_server + ":" + m_dataDir + QDir::separator() + "MIZRO.GDB");
            QCOMPARE(db::Query(session.database(),
                               "SELECT TRIM(MON$REMOTE_PROTOCOL) FROM MON$ATTACHMENTS "
                               "WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION")
                         .scalar()
                         .toString(),
                     "TCPv4");
            db::Query q(session.database(), "INSERT INTO MUYE (YIL,UKOD,ADSOY,DUR) "
                                            "VALUES (2026,1,:A,'A')");
            q.bind("A", "Gülşen ÖZTÜRK");
            q.exec();
            QVERIFY(window.tanimOku());
            window.closeRoutine();
        }
        ui::ScriptedMessages messages;
        ui::ScriptedDialogRunner dialogs;
        ui::Session session(messages);
        app::MainWindow window(session, dialogs);
        startWithSettings(session, window);
        QCOMPARE(db::Query(session.database(), "SELECT ADSOY FROM MUYE WHERE UKOD=1")
                     .scalar()
                     .toString(),
                 "Gülşen ÖZTÜRK");
        window.closeRoutine();
    }

    // A failed connection said no more than "Veritabanı Tanımlarında Hata Var".
    void failuresTellWhy_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("wrong password") << "YANLIS"
                                        << "MIZRO.GDB"
                                        << "Sunucu kullanıcı adını ya da şifreyi kabul etmedi.";
        QTest::newRow("no file on the server") << "VUTE"
                                               << "YOK.GDB"
                                               << "Sunucuda veritabanı dosyası bulunamadı.";
    }

    void failuresTellWhy()
    {
        QFETCH(QString, password);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        const QString name = m_server + ":" + m_dataDir + "/" + file;
        db::Database db;
        db.setDatabaseName(name);
        db.setLogin({"SYSDBA", password});
        try {
            db.connect();
            QFAIL("connected");
        } catch (const db::DbError &e) {
            const app::OpenFailure f = app::OpenFailure::explain(name, e);
            QCOMPARE(f.reason, reason);
            QCOMPARE(f.details, e.details());
            QVERIFY(!f.details.isEmpty());
        }
    }

    // Two clerks on the server: the second one's save of a member the first
    // changed meanwhile is refused, and a member the first one's open command
    // holds is waited for, then refused.
    void secondClerkNeverOverwritesTheFirst()
    {
        const QString name = m_server + ":" + m_dataDir + "/MIZRO.GDB";
        ui::ScriptedMessages messages;
        ui::Session clerkA(messages);
        clerkA.database().setDatabaseName(name);
        clerkA.database().connect();
        clerkA.setDefinitionsYear("2026");
        db::Database clerkB;
        clerkB.setDatabaseName(name);
        clerkB.connect();
        db::Query(clerkB, "INSERT INTO EUYE (YIL,UKOD,ADSOY,DUR) VALUES (2026,7,'Ali VELİ','A')")
            .exec();

        lists::MemberRules rules(clerkA, ui::Body::committee());
        rules.list("2026");
        db::DataSet &members = rules.members();
        QVERIFY(members.locate("UKOD", 7));
        db::Query(clerkB, "UPDATE EUYE SET UNVANI='Üye' WHERE UKOD=7").exec();
        members.setValue("ADSOY", "Ali VELİOĞLU");
        QVERIFY(!members.post());
        QCOMPARE(members.lastErrorKind(), db::DbError::Kind::RowChanged);
        members.cancel();
        QCOMPARE(members.value("UNVANI").toString(), "Üye");

        {
            db::WriteGuard holding(clerkB);
            db::Query(clerkB, "UPDATE EUYE SET EVTEL='1' WHERE UKOD=7").exec();
            members.setValue("ADSOY", "Ali VELİOĞLU");
            QVERIFY(!members.post());
            QCOMPARE(members.lastErrorKind(), db::DbError::Kind::LockConflict);
        }
        members.cancel();
        members.setValue("ADSOY", "Ali VELİOĞLU");
        QVERIFY2(members.post(), qPrintable(members.lastError()));
        QCOMPARE(db::Query(clerkB, "SELECT ADSOY FROM EUYE WHERE UKOD=7").scalar().toString(),
                 "Ali VELİOĞLU");
    }
};

MIZRO_TEST_MAIN(TestServer)
#include "tst_server.moc"
