// The schema version check and the upgrades of older files.

#include "app/mainwindow.h"
#include "app/program.h"
#include "app/updater.h"
#include "app/versioncheck.h"
#include "db/dberror.h"
#include "db/query.h"
#include "testsupport.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QSignalSpy>

using namespace mizro;
using app::VersionCheck;

namespace {

QStringList columns(test::TestSession &t, const QString &table)
{
    return test::columns(t.db(), table);
}

} // namespace

class TestVersionCheck : public QObject {
    Q_OBJECT
private slots:
    void kodCoz_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("version") << "14.001" << QStringList{"14", "001", "", ""};
        QTest::newRow("no point") << "14" << QStringList{"14", "", "", ""};
        QTest::newRow("three") << "12.002.7" << QStringList{"12", "002", "7", ""};
        QTest::newRow("fifth dropped") << "1.2.3.4.5" << QStringList{"1", "2", "3", "4"};
        QTest::newRow("empty") << "" << QStringList{"", "", "", ""};
        QTest::newRow("leading point") << ".001" << QStringList{"", "001", "", ""};
    }

    void kodCoz()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, pieces);
        QCOMPARE(app::kodCoz(text), pieces);
    }

    void versionNumber_data()
    {
        QTest::addColumn<QString>("ver");
        QTest::addColumn<int>("number"); // -1: not a number
        QTest::newRow("current") << "14.001" << 14001;
        QTest::newRow("short second") << "14.1" << 141;
        QTest::newRow("no point") << "14" << 14;
        QTest::newRow("newer") << "14.002" << 14002;
        QTest::newRow("third ignored") << "12.002.7" << 12002;
        QTest::newRow("older") << "12.002" << 12002;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("no digits before the point") << ".001" << 1;
        QTest::newRow("letters after") << "14.00x" << -1;
        QTest::newRow("too large") << "99999.999999" << -1;
    }

    void versionNumber()
    {
        QFETCH(QString, ver);
        QFETCH(int, number);
        if (number < 0) {
            try {
                VersionCheck::versionNumber(ver);
                QFAIL("accepted");
            } catch (const db::DbError &e) {
                QVERIFY(e.message().contains("geçerli bir tam sayı değil"));
                QVERIFY(e.message().contains("'" + ver + "'"));
            }
        } else {
            QCOMPARE(VersionCheck::versionNumber(ver), number);
        }
    }

    // A file of each older version goes up one step per start.
    void upgradesStepByStep()
    {
        test::TestSession t("2021", "12.001", true);
        const int members = t.scalar("SELECT COUNT(*) FROM EUYE").toInt();
        QVERIFY(members > 0);
        QVERIFY(columns(t, "EKAR").contains("OTRNO"));

        QCOMPARE(VersionCheck(t.session()).run(), VersionCheck::Outcome::Upgraded);
        QCOMPARE(t.messages().last(), "12.002 Güncellemesi Başarıyla Yapıldı.");
        QVERIFY(t.session().versionAccepted());
        QVERIFY(!columns(t, "EKAR").contains("OTRNO"));
        QVERIFY(!columns(t, "MKAR").contains("OTRNO"));
        QCOMPARE(t.scalar("SELECT VER FROM TANIM").toString(), "12.002");

        QCOMPARE(VersionCheck(t.session()).run(), VersionCheck::Outcome::Upgraded);
        QCOMPARE(t.messages().last(), "14.001 Güncellemesi Başarıyla Yapıldı.");
        QVERIFY(columns(t, "EUYE").contains("DUR"));
        QVERIFY(columns(t, "MUYE").contains("DUR"));
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EUYE WHERE DUR='A'").toInt(), members);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MUYE WHERE DUR IS DISTINCT FROM 'A'").toInt(), 0);
        QCOMPARE(t.scalar("SELECT VER FROM TANIM").toString(), "14.001");

        // Durable: the program ends after an upgrade.
        t.db().disconnect();
        t.db().connect();
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EUYE WHERE DUR='A'").toInt(), members);
        t.messages().clear();
        QCOMPARE(VersionCheck(t.session()).run(), VersionCheck::Outcome::Accepted);
        QVERIFY(t.messages().entries().isEmpty());
    }

    void newerFileIsRefused()
    {
        test::TestSession t;
        t.exec("UPDATE TANIM SET VER='14.002'");
        QCOMPARE(VersionCheck(t.session()).run(), VersionCheck::Outcome::Refused);
        QCOMPARE(t.messages().last(), "DİKKAT! Program Versiyonu Eski Olduğundan Çalışamazsınız..");
        QVERIFY(!t.session().versionAccepted());
        QCOMPARE(t.session().startupDone(), "1");
    }

    // Through the activation routine: the refusal, the update offer, and the
    // program ends whatever the answer.
    void newerFileOffersTheUpdate()
    {
        test::TestSession t;
        t.exec("UPDATE TANIM SET VER='14.002'");
        ui::ScriptedDialogRunner dialogs;
        app::MainWindow window(t.session(), dialogs);
        app::attachScreens(window, t.session(), dialogs);
        window.formActivate();
        QCOMPARE(t.messages().texts(),
                 (QStringList{VersionCheck::refusalText(), app::Updater::questionText()}));
        QVERIFY(window.endRequested());
    }

    // "14.1" reads as 141: the first upgrade is tried and fails on a
    // current file; the file is left as it was.
    void failedUpgradeLeavesTheFile()
    {
        test::TestSession t;
        t.exec("UPDATE TANIM SET VER='14.1'");
        t.exec("INSERT INTO EUYE (YIL,UKOD,ADSOY,DUR) VALUES (2021,1,'Ayşe','P')");
        QCOMPARE(VersionCheck(t.session()).run(), VersionCheck::Outcome::Upgraded);
        QCOMPARE(t.messages().last(), "12.002 Güncellemesi Hata Oluştuğundan Yapılamadı.");
        QCOMPARE(t.scalar("SELECT VER FROM TANIM").toString(), "14.1");
        QCOMPARE(t.scalar("SELECT DUR FROM EUYE").toString(), "P");
    }

    // When the members cannot be given their state, the version stays old
    // (a file at 14.001 with members without a state would never be mended),
    // and the next start finishes the upgrade over the columns already added.
    void failedStateUpdateIsRetriedAtNextStart()
    {
        test::TestSession t("2021", "12.002", true);
        const int members = t.scalar("SELECT COUNT(*) FROM MUYE").toInt();
        t.exec("CREATE EXCEPTION E_NO 'refused'");
        t.exec("CREATE TRIGGER NO_UPDATE FOR MUYE BEFORE UPDATE AS BEGIN EXCEPTION E_NO; END");
        QCOMPARE(VersionCheck(t.session()).run(), VersionCheck::Outcome::Upgraded);
        QCOMPARE(t.messages().last(), "14.001 Güncellemesi Hata Oluştuğundan Yapılamadı.");
        QCOMPARE(t.scalar("SELECT VER FROM TANIM").toString(), "12.002");
        QVERIFY(columns(t, "EUYE").contains("DUR"));
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EUYE WHERE DUR IS NOT NULL").toInt(), 0);

        t.exec("DROP TRIGGER NO_UPDATE");
        QCOMPARE(VersionCheck(t.session()).run(), VersionCheck::Outcome::Upgraded);
        QCOMPARE(t.messages().last(), "14.001 Güncellemesi Başarıyla Yapıldı.");
        QCOMPARE(t.scalar("SELECT VER FROM TANIM").toString(), "14.001");
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MUYE WHERE DUR='A'").toInt(), members);
    }

    // The whole start: each start runs one step and ends the program; the
    // third works normally.
    void startSequenceOnOldestFile()
    {
        test::TestSession t("2021", "12.001");
        QStringList messages;
        for (int start = 1; start <= 3; ++start) {
            ui::ScriptedDialogRunner dialogs;
            app::MainWindow window(t.session(), dialogs);
            app::attachScreens(window, t.session(), dialogs);
            QSignalSpy finished(&window, &app::MainWindow::activationFinished);
            t.messages().clear();
            window.formActivate();
            QCOMPARE(finished.count(), 1);
            QCOMPARE(window.endRequested(), start < 3);
            messages << t.messages().texts().join("|");
        }
        QCOMPARE(messages, (QStringList{"12.002 Güncellemesi Başarıyla Yapıldı.",
                                        "14.001 Güncellemesi Başarıyla Yapıldı.", ""}));
    }

    void nonNumericVersionStopsTheRoutine()
    {
        test::TestSession t;
        t.exec("UPDATE TANIM SET VER='on dört'");
        ui::ScriptedDialogRunner dialogs;
        app::MainWindow window(t.session(), dialogs);
        app::attachScreens(window, t.session(), dialogs);
        QSignalSpy finished(&window, &app::MainWindow::activationFinished);
        window.formActivate();
        QCOMPARE(finished.count(), 0);
        QCOMPARE(t.messages().entries().size(), 1);
        QVERIFY(t.messages().last().contains("'on dört'"));
    }
};

MIZRO_TEST_MAIN(TestVersionCheck)
#include "tst_versioncheck.moc"
