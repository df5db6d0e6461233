// The version information dialog: opened from LVER, filled by the version
// exchange with the vendor's server, left through its buttons.

#include "app/mainwindow.h"
#include "app/statuspanel.h"
#include "app/updater.h"
#include "app/vendorlink.h"
#include "app/versioninfodialog.h"
#include "noticepeer.h"
#include "testsupport.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace mizro;
using Peer = tools::NoticePeer;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(Peer::Behaviour)

class TestVersionInfo : public QObject {
    Q_OBJECT

    struct Dialog {
        ui::ScriptedMessages messages;
        app::Updater updater{messages};
        app::VersionInfoDialog dialog{messages, updater};
        Peer peer;

        Dialog()
        {
            if (!peer.listen())
                qFatal("the test peer cannot listen");
            test::setSetting("GSRV", peer.address());
            dialog.setVersion("21.001");
            dialog.setTimeout(5s);
        }
    };

private slots:
    void init() { test::clearSettings(); }

    void looksAsDesigned()
    {
        Dialog d;
        QCOMPARE(d.dialog.objectName(), "TFRMVERBILGI");
        QCOMPARE(d.dialog.windowTitle(), "VERSİYON BİLGİSİ");
        QCOMPARE(d.dialog.updateButton()->text(), "Güncelle");
        QCOMPARE(d.dialog.exitButton()->text(), "ESC-Çıkış");
        QVERIFY(d.dialog.text()->isReadOnly());
    }

    // A click on LVER hands the version over and opens the dialog, which
    // asks the server about it.
    void versionLabelOpensTheDialog()
    {
        test::TestSession t;
        ui::ScriptedDialogRunner dialogs;
        app::MainWindow window(t.session(), dialogs);
        app::MainWindow::ActivationSteps steps;
        const app::VendorLink link = app::attachVendorLink(window, t.session(), dialogs, steps);
        Peer peer;
        QVERIFY(peer.listen());
        test::setSetting("GSRV", peer.address());
        peer.setVersionAnswer(Peer::encoded({"Sürüm notları", "@"}));
        QString shownVersion;
        QString shownText;
        dialogs.setScript([&](QDialog &d) {
            shownVersion = link.versionInfo->versionLabel()->text();
            if (QTest::qWaitFor([&] { return !link.versionInfo->isFetching(); }, 5000))
                shownText = link.versionInfo->text()->toPlainText();
            QTest::mouseClick(link.versionInfo->exitButton(), Qt::LeftButton);
            return d.result();
        });
        window.show();
        QTest::mouseClick(window.statusPanel()->version(), Qt::LeftButton);
        QCOMPARE(dialogs.runs(), 1);
        QCOMPARE(link.versionInfo->objectName(), "TFRMVERBILGI");
        QCOMPARE(shownVersion, "21.001");
        QCOMPARE(peer.received().value(0), QByteArray("VER\r\n\r\nMZO\r\n21.001\r\n"));
        QCOMPARE(shownText, "Sürüm notları");
        window.close();
    }

    // Lines until "@"; the client then closes. A server that breaks off or
    // stays silent is an error shown over the dialog, which keeps what it
    // has.
    void exchange_data()
    {
        QTest::addColumn<QByteArrayList>("answer");
        QTest::addColumn<Peer::Behaviour>("behaviour");
        QTest::addColumn<QString>("server"); // the peer, a closed port or none
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("error");
        const auto answer = Peer::Behaviour::Answer;
        QTest::newRow("lines until @")
            << QByteArrayList{"bir", "", "iki", "@", "sonrası"} << answer << "peer"
            << "bir\n\niki" << false;
        QTest::newRow("Turkish letters")
            << QByteArrayList{"\xDD\xFE\xE7i \xF0\xFD", "@"} << answer << "peer"
            << "İşçi ğı" << false;
        QTest::newRow("closed after the lines, no @")
            << QByteArrayList{"bir", "iki"} << Peer::Behaviour::AnswerAndClose << "peer"
            << "bir\niki" << false;
        QTest::newRow("silent: error after the time-out")
            << QByteArrayList{} << Peer::Behaviour::Silent << "peer"
            << "" << true;
        QTest::newRow("nobody listening") << QByteArrayList{} << answer << "closed"
                                          << "" << true;
        QTest::newRow("no server set") << QByteArrayList{} << answer << "none"
                                       << "" << true;
    }

    void exchange()
    {
        QFETCH(QByteArrayList, answer);
        QFETCH(Peer::Behaviour, behaviour);
        QFETCH(QString, server);
        QFETCH(QString, text);
        QFETCH(bool, error);
        Dialog d;
        d.peer.setVersionAnswer(answer);
        d.peer.setBehaviour(behaviour);
        d.dialog.setTimeout(300ms);
        if (server == "none") {
            test::setSetting("GSRV", "");
        } else if (server == "closed") {
            Peer closed;
            QVERIFY(closed.listen());
            test::setSetting("GSRV", closed.address()); // nobody listens there once it goes
        }
        d.dialog.text()->setPlainText("önceki açılıştan");
        d.dialog.show();
        QTRY_VERIFY(!d.dialog.isFetching());
        QCOMPARE(d.dialog.text()->toPlainText(), text);
        QTRY_COMPARE(d.messages.entries().size(), error ? 1 : 0);
        if (error) {
            QCOMPARE(d.messages.entries()[0].kind, ui::ScriptedMessages::Kind::Error);
            QCOMPARE(d.messages.last(), "Versiyon bilgisi alınamadı: sunucuya ulaşılamadı.");
            QVERIFY(!d.messages.entries()[0].details.isEmpty());
        }
        QVERIFY(d.dialog.isVisible());
        QTRY_COMPARE(d.peer.openConnections(), 0);
    }

    // A server that neither ends with "@" nor closes: the dialog shows what
    // came and stays usable; "ESC-Çıkış" and Esc close it and the connection.
    void openEndedAnswerLeavesTheDialogUsable_data()
    {
        QTest::addColumn<bool>("escKey");
        QTest::newRow("ESC-Çıkış") << false;
        QTest::newRow("Esc key") << true;
    }

    void openEndedAnswerLeavesTheDialogUsable()
    {
        QFETCH(bool, escKey);
        Dialog d;
        d.peer.setVersionAnswer(Peer::encoded({"ilk satır"}));
        d.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d.dialog));
        QTRY_COMPARE(d.dialog.text()->toPlainText(), "ilk satır");
        QVERIFY(d.dialog.isFetching());
        QCOMPARE(d.peer.openConnections(), 1);
        if (escKey)
            QTest::keyClick(&d.dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(d.dialog.exitButton(), Qt::LeftButton);
        QVERIFY(!d.dialog.isVisible());
        QVERIFY(!d.dialog.isFetching());
        QTRY_COMPARE(d.peer.openConnections(), 0);
        QVERIFY(d.messages.entries().isEmpty());
    }

    // "Güncelle": the update offer, then the dialog closes.
    void updateButtonOffersTheUpdate()
    {
        Dialog d;
        d.peer.setVersionAnswer({"@"});
        d.dialog.show();
        QTest::mouseClick(d.dialog.updateButton(), Qt::LeftButton);
        QCOMPARE(d.messages.texts(), QStringList{app::Updater::questionText()});
        QVERIFY(!d.dialog.isVisible());
    }
};

MIZRO_TEST_MAIN(TestVersionInfo)
#include "tst_versioninfo.moc"
