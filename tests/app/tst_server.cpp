// Several clerks share one database through a Firebird server: the program
// reaches it through SRV = host/port and YOL = the server's directory.

#include "app/mainwindow.h"
#include "db/query.h"
#include "testsupport.h"
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
};

MIZRO_TEST_MAIN(TestServer)
#include "tst_server.moc"
