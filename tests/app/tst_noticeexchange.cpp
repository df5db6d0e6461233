// The notice exchange with the vendor's server at the end of the activation
// routine, the line client both exchanges use, and the notice page.

#include "app/lineclient.h"
#include "app/mainwindow.h"
#include "app/noticeexchange.h"
#include "app/noticeview.h"
#include "app/statuspanel.h"
#include "app/tarihbul.h"
#include "app/updater.h"
#include "app/vendorlink.h"
#include "app/vendorserver.h"
#include "noticepeer.h"
#include "testsupport.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>

using namespace mizro;
using Peer = tools::NoticePeer;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(Peer::Behaviour)

namespace {

// "Doğanşehir Işıklı İlçesi" in windows-1254, written out by hand.
const QString Kurum = QStringLiteral("Doğanşehir Işıklı İlçesi");
const QByteArray KurumBytes = "Do\xF0"
                              "an\xFE"
                              "ehir I\xFE\xFDkl\xFD \xDDl\xE7"
                              "esi";

} // namespace

class TestNoticeExchange : public QObject {
    Q_OBJECT

    // The main window on a fresh database, with the vendor link attached and
    // the test peer as its server.
    struct Program {
        test::TestSession t;
        ui::ScriptedDialogRunner dialogs;
        app::MainWindow window{t.session(), dialogs};
        app::MainWindow::ActivationSteps steps;
        app::VendorLink link;
        Peer peer;
        QSignalSpy finished{&window, &app::MainWindow::activationFinished};

        Program()
        {
            link = app::attachVendorLink(window, t.session(), dialogs, steps);
            window.setActivationSteps(steps);
            link.notice->setTimeout(5s);
            if (!peer.listen())
                qFatal("the test peer cannot listen");
            t.exec("UPDATE TANIM SET KURUM=:P1", {Kurum});
            test::setSetting("GSRV", peer.address());
        }
        app::NoticeView *view() { return window.statusPanel()->noticeView(); }
        QString address() const { return "http://" + peer.httpAddress() + "/duyuru.html"; }
    };

private slots:
    void init() { test::clearSettings(); }

    void serverAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host"); // empty: invalid
        QTest::addColumn<int>("port");
        QTest::newRow("empty") << ""
                               << "" << 0;
        QTest::newRow("host") << "bildirim.example"
                              << "bildirim.example" << 1965;
        QTest::newRow("host and port") << " 127.0.0.1:2000 "
                                       << "127.0.0.1" << 2000;
        QTest::newRow("no port after colon") << "host:"
                                             << "" << 0;
        QTest::newRow("port zero") << "host:0"
                                   << "" << 0;
        QTest::newRow("port too large") << "host:70000"
                                        << "" << 0;
        QTest::newRow("port not a number") << "host:abc"
                                           << "" << 0;
        QTest::newRow("ipv6") << "::1"
                              << "::1" << 1965;
        QTest::newRow("ipv6 with port") << "[::1]:2000"
                                        << "::1" << 2000;
        QTest::newRow("blank inside") << "bir sunucu"
                                      << "" << 0;
    }

    void serverAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const app::ServerAddress a = app::ServerAddress::parse(text, app::VendorPort);
        QCOMPARE(a.isValid(), !host.isEmpty());
        if (a.isValid()) {
            QCOMPARE(a.host, host);
            QCOMPARE(int(a.port), port);
        }
    }

    // Lines end at LF; only the CR right before it goes; a last line without
    // its LF still counts when the server closes.
    void lineClientSplitsLinesAndSendsCrLf()
    {
        Peer peer;
        QVERIFY(peer.listen());
        peer.setBehaviour(Peer::Behaviour::AnswerAndClose);
        peer.setLineEnd("");
        peer.setNoticeAnswer({"bir\r\niki\n\xFC\xE7\r\r\n\xF0\xFD\xFE\xDD"});
        app::LineClient client;
        QStringList lines;
        connect(&client, &app::LineClient::lineRead, [&](const QString &l) { lines << l; });
        QSignalSpy closed(&client, &app::LineClient::closedByServer);
        QVERIFY(client.start(app::ServerAddress::parse(peer.address(), 1), {"a", "", "ğışİ"}));
        QVERIFY(closed.wait());
        QCOMPARE(peer.received().value(0), QByteArray("a\r\n\r\n\xF0\xFD\xFE\xDD\r\n"));
        QCOMPARE(lines, (QStringList{"bir", "iki", "üç\r", "ğışİ"}));
    }

    // The peer as an administrator runs it: it says where it listens and
    // answers with what it was told, in windows-1254.
    void peerProgramAnswers()
    {
        QProcess peer;
        peer.start(MIZRO_NOTICE_PEER, {"--port", "0", "--status", "G", "--message", "Güncelleyin"});
        QVERIFY(peer.waitForStarted());
        QVERIFY(peer.waitForReadyRead());
        const QString first = QString::fromUtf8(peer.readLine()).trimmed();
        QVERIFY2(first.startsWith("GSRV="), qPrintable(first));
        app::LineClient client;
        QStringList lines;
        connect(&client, &app::LineClient::lineRead, [&](const QString &l) { lines << l; });
        QVERIFY(client.start(app::ServerAddress::parse(first.mid(5), 1), {Kurum, "MZO", "21.001"}));
        QTRY_COMPARE(lines.size(), 3);
        QCOMPARE(lines[0], "G");
        QVERIFY(lines[1].startsWith("http://127.0.0.1:"));
        QCOMPARE(lines[2], "Güncelleyin");
        peer.kill();
        peer.waitForFinished();
    }

    // The answers a server may give, and broken ones. The question is
    // answered No.
    void answers_data()
    {
        QTest::addColumn<QByteArrayList>("answer"); // {address} stands for the notice page
        QTest::addColumn<Peer::Behaviour>("behaviour");
        QTest::addColumn<int>("height");
        QTest::addColumn<QStringList>("shown"); // messages and questions, in order
        QTest::addColumn<QString>("done");

        const QString question = app::Updater::questionText();
        const auto answer = Peer::Behaviour::Answer;
        QTest::newRow("G, address, 0: the update question")
            << QByteArrayList{"G", "{address}", "0"} << answer << 50 << QStringList{question}
            << "1";
        QTest::newRow("0, address, text: the text once")
            << QByteArrayList{"0", "{address}", Peer::encoded({"Yeni sürüm hazırlanıyor."})[0]}
            << answer << 50 << QStringList{"Yeni sürüm hazırlanıyor."} << "1";
        QTest::newRow("0, address, 0: the page alone")
            << QByteArrayList{"0", "{address}", "0"} << answer << 50 << QStringList{} << "0";
        QTest::newRow("status beginning with G counts as G, text not shown")
            << QByteArrayList{"GUNCEL", "{address}", "bir ileti"} << answer << 50
            << QStringList{question} << "1";
        QTest::newRow("windows-1254 text")
            << QByteArrayList{"0", "{address}", "Duyuru: \xF0\xFD\xFE\xDD"} << answer << 50
            << QStringList{"Duyuru: ğışİ"} << "1";
        QTest::newRow("LF alone ends a line") << QByteArrayList{"0\n{address}\nLF ile"} << answer
                                              << 50 << QStringList{"LF ile"} << "1";
        QTest::newRow("two lines, then closed: broken")
            << QByteArrayList{"0", "{address}"} << Peer::Behaviour::AnswerAndClose << 0
            << QStringList{} << "0";
        QTest::newRow("closed at once: broken")
            << QByteArrayList{} << Peer::Behaviour::AnswerAndClose << 0 << QStringList{} << "0";
        QTest::newRow("never answers: given up after the time-out")
            << QByteArrayList{} << Peer::Behaviour::Silent << 0 << QStringList{} << "0";
    }

    void answers()
    {
        QFETCH(QByteArrayList, answer);
        QFETCH(Peer::Behaviour, behaviour);
        QFETCH(int, height);
        QFETCH(QStringList, shown);
        QFETCH(QString, done);
        Program p;
        for (QByteArray &line : answer)
            line.replace("{address}", p.address().toLatin1());
        p.peer.setNoticeAnswer(answer);
        p.peer.setBehaviour(behaviour);
        p.peer.serve("/duyuru.html", "<p>Duyuru</p>", "text/html");
        if (behaviour == Peer::Behaviour::Silent)
            p.link.notice->setTimeout(300ms);

        p.window.formActivate();
        QTRY_COMPARE(p.finished.count(), 1);
        QCOMPARE(p.peer.connections(), 1);
        QCOMPARE(p.peer.received().value(0), KurumBytes + "\r\nMZO\r\n21.001\r\n");
        QCOMPARE(p.view()->height(), height);
        if (height)
            QCOMPARE(p.view()->address(), QUrl(p.address()));
        QCOMPARE(p.t.messages().texts(), shown);
        QCOMPARE(p.t.session().startupDone(), done);
        QVERIFY(!p.window.endRequested());
        // The client has let go of the connection in every case.
        QTRY_COMPARE(p.peer.openConnections(), 0);

        // The next activation asks again only when nothing was shown.
        p.window.formActivate();
        QTRY_COMPARE(p.finished.count(), done == "1" ? 1 : 2);
        QCOMPARE(p.peer.connections(), done == "1" ? 1 : 2);
        QCOMPARE(p.t.messages().texts(), shown);
    }

    // With no server set, nothing is tried: as if it could not be reached.
    void noServerSetTriesNothing()
    {
        Program p;
        test::setSetting("GSRV", "");
        p.window.formActivate();
        QCOMPARE(p.finished.count(), 1);
        QCOMPARE(p.peer.connections(), 0);
        QCOMPARE(p.view()->height(), 0);
        QVERIFY(p.t.messages().entries().isEmpty());
        QCOMPARE(p.t.session().startupDone(), "0");
    }

    // Yes to the question in a build without a vendor key: no updater is
    // looked for, the clerk is told why.
    void updateInABuildWithoutKeyIsNotSetUp()
    {
        if (!app::Updater::builtInPublicKey().isEmpty())
            QSKIP("this build carries an update key");
        Program p;
        p.peer.setNoticeAnswer({"G", "", "0"});
        p.t.messages().answer(true);
        p.window.formActivate();
        QTRY_COMPARE(p.finished.count(), 1);
        QCOMPARE(p.t.messages().texts(),
                 (QStringList{app::Updater::questionText(), app::Updater::notSetUpText()}));
        QVERIFY(p.peer.httpRequests().isEmpty());
        QVERIFY(!p.window.endRequested());
        QCOMPARE(p.t.session().startupDone(), "1");
    }

    // A server that accepts and never answers: the window shows and works at
    // once, further activations start no second exchange, and closing the
    // window drops the connection.
    void silentServerHoldsNothingUp()
    {
        Program p;
        p.peer.setBehaviour(Peer::Behaviour::Silent);
        p.link.notice->setTimeout(app::LineClient::DefaultTimeout);
        QSignalSpy asked(&p.peer, &Peer::linesReceived);
        p.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.window));
        QVERIFY(asked.wait());
        QVERIFY(p.link.notice->isRunning());
        QCOMPARE(p.window.statusPanel()->dateLine()->text(), app::dateLine(QDate::currentDate()));
        QCOMPARE(p.finished.count(), 0);

        p.window.formActivate();
        QDialog other(&p.window);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.close();
        p.window.activateWindow();
        QTest::qWait(200);
        QCOMPARE(p.peer.connections(), 1);

        p.window.close();
        QTRY_COMPARE(p.peer.openConnections(), 0);
        QCOMPARE(p.finished.count(), 1);
        QCOMPARE(p.view()->height(), 0);
        QVERIFY(p.t.messages().entries().isEmpty());
    }

    // The page is fetched only from http and https addresses and shown in
    // its own code page; nothing else is looked at.
    void noticePage_data()
    {
        QTest::addColumn<QString>("address"); // {http} is the peer's web address
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text"); // empty: blank and nothing fetched
        QTest::newRow("charset in the header")
            << "http://{http}/duyuru.html" << QByteArray("text/html; charset=windows-1254")
            << QByteArray("<b>\xF0\xFD\xFE\xDD</b>") << "ğışİ";
        QTest::newRow("charset in the page")
            << "http://{http}/duyuru.html" << QByteArray("text/html")
            << QByteArray("<html><head><meta charset=\"windows-1254\"></head>"
                          "<body>\xDD"
                          "duyuru</body></html>")
            << "İduyuru";
        QTest::newRow("plain text") << "http://{http}/duyuru.html" << QByteArray("text/plain")
                                    << QByteArray("<b>olduğu gibi</b>") << "<b>olduğu gibi</b>";
        QTest::newRow("local file") << "file:///etc/hostname" << QByteArray() << QByteArray() << "";
        QTest::newRow("script") << "javascript:alert(1)" << QByteArray() << QByteArray() << "";
        QTest::newRow("empty") << "" << QByteArray() << QByteArray() << "";
    }

    void noticePage()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        Peer peer;
        QVERIFY(peer.listen());
        peer.serve("/duyuru.html", body, type);
        app::NoticeView view;
        view.setHtml("önceki duyuru");
        QSignalSpy loaded(&view, &app::NoticeView::pageLoaded);
        view.open(address.replace("{http}", peer.httpAddress()));
        if (text.isEmpty()) {
            QCOMPARE(view.toPlainText(), "");
            QTest::qWait(100);
            QCOMPARE(loaded.count(), 0);
            QVERIFY(peer.httpRequests().isEmpty());
            return;
        }
        QVERIFY(loaded.wait());
        QCOMPARE(loaded.first().first().toBool(), true);
        QCOMPARE(view.toPlainText().trimmed(), text);
    }

    // Links go to the user's browser, and only web links.
    void noticeLinks_data()
    {
        QTest::addColumn<QUrl>("link");
        QTest::addColumn<QUrl>("opened"); // empty: nothing opened
        QTest::newRow("web") << QUrl("https://www.example.org/a")
                             << QUrl("https://www.example.org/a");
        QTest::newRow("relative") << QUrl("ayrinti.html")
                                  << QUrl("http://127.0.0.1:1/bugun/ayrinti.html");
        QTest::newRow("local file") << QUrl("file:///etc/passwd") << QUrl();
        QTest::newRow("mail") << QUrl("mailto:destek@example.org") << QUrl();
    }

    void noticeLinks()
    {
        QFETCH(QUrl, link);
        QFETCH(QUrl, opened);
        app::NoticeView view;
        QList<QUrl> urls;
        view.setLinkOpener([&](const QUrl &u) { urls << u; });
        view.open("http://127.0.0.1:1/bugun/index.html");
        emit view.anchorClicked(link);
        QCOMPARE(urls, opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{opened});
    }
};

MIZRO_TEST_MAIN(TestNoticeExchange)
#include "tst_noticeexchange.moc"
