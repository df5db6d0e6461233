// The update offer: the updater comes from the user's own directory and runs
// only when its signature is the vendor's. The key pair is made here for
// each run; the updater is a stand-in script that records its arguments.

#include "app/updater.h"
#include "noticepeer.h"
#include "testsupport.h"
#include "ui/scriptedmessages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mizro;
using app::Updater;
using namespace std::chrono_literals;

namespace {

struct KeyPair {
    QByteArray publicKey{crypto_sign_PUBLICKEYBYTES, 0};
    QByteArray secretKey{crypto_sign_SECRETKEYBYTES, 0};

    KeyPair()
    {
        if (sodium_init() < 0 ||
            crypto_sign_keypair(reinterpret_cast<unsigned char *>(publicKey.data()),
                                reinterpret_cast<unsigned char *>(secretKey.data())) != 0)
            qFatal("no key pair");
    }

    QByteArray sign(const QByteArray &data) const
    {
        QByteArray sig(crypto_sign_BYTES, 0);
        crypto_sign_detached(reinterpret_cast<unsigned char *>(sig.data()), nullptr,
                             reinterpret_cast<const unsigned char *>(data.constData()),
                             static_cast<unsigned long long>(data.size()),
                             reinterpret_cast<const unsigned char *>(secretKey.constData()));
        return sig;
    }
};

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString UpdaterUrl = QStringLiteral("/ftproot/Ptazele.EXE");
const QString SignatureUrl = QStringLiteral("/ftproot/Ptazele.EXE.sig");

} // namespace

class TestUpdater : public QObject {
    Q_OBJECT

    // The vendor with its key and web server, and an updater offer that
    // keeps its file in a private directory of the test.
    struct Offer {
        KeyPair vendor;
        tools::NoticePeer web;
        QTemporaryDir work;
        ui::ScriptedMessages messages;
        Updater updater{messages};
        bool ended = false;
        QByteArray standIn;

        explicit Offer(bool yes = true)
        {
            if (!web.listen())
                qFatal("the test peer cannot listen");
            test::setSetting("GWEB", web.httpAddress());
            updater.setPublicKey(vendor.publicKey);
            updater.setDirectory(work.filePath("updater"));
            updater.setTimeout(5s);
            updater.setEndProgram([this] { ended = true; });
            standIn =
                "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(recordPath()) + "'\n";
            web.serve(UpdaterUrl, standIn);
            web.serve(SignatureUrl, vendor.sign(standIn));
            messages.answer(yes);
        }
        QString recordPath() const { return work.filePath("arguments"); }
        // The directory as an earlier offer leaves it, with the given files.
        void placeUpdater(const QByteArray &data, const QByteArray &signature)
        {
            QDir().mkpath(updater.directory());
            QFile::setPermissions(updater.directory(), QFileDevice::ReadOwner |
                                                           QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner);
            if (!writeFile(updater.updaterPath(), data) ||
                !writeFile(updater.signaturePath(), signature))
                qFatal("cannot place the updater");
            QFile::setPermissions(updater.updaterPath(), QFileDevice::ReadOwner |
                                                             QFileDevice::WriteOwner |
                                                             QFileDevice::ExeOwner);
        }
        // What the stand-in was started with, once it has run.
        QStringList startedWith() const
        {
            // The stand-in writes one line per argument, two in all.
            if (!QTest::qWaitFor([this] { return readFile(recordPath()).count('\n') >= 2; }, 5000))
                return {};
            return QString::fromUtf8(readFile(recordPath())).split('\n', Qt::SkipEmptyParts);
        }
        bool standInRan() const
        {
            QTest::qWait(200);
            return QFile::exists(recordPath());
        }
    };

    static QStringList expectedArguments()
    {
        return {"MZO", QDir::toNativeSeparators(QCoreApplication::applicationDirPath())};
    }

private slots:
    void init() { test::clearSettings(); }

    // Yes: the updater and its signature are fetched into a directory only
    // the user can enter, checked, started with the product code and the
    // program's directory, and the program ends.
    void verifiedDownloadStarts()
    {
        Offer o;
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::Started);
        QCOMPARE(o.web.httpRequests(), (QStringList{UpdaterUrl, SignatureUrl}));
        QCOMPARE(o.startedWith(), expectedArguments());
        QVERIFY(o.ended);
        QCOMPARE(o.messages.texts(), QStringList{Updater::questionText()});
        QCOMPARE(QFileInfo(o.updater.directory()).permissions() & 0x0777, 0x0700);
        QCOMPARE(readFile(o.updater.updaterPath()), o.standIn);
    }

    // An updater already there is started without fetching, once it has
    // passed the same checks; a directory of ours that others could enter is
    // closed to them first.
    void existingVerifiedUpdaterStartsWithoutDownload()
    {
        Offer o;
        o.placeUpdater(o.standIn, o.vendor.sign(o.standIn));
        QFile::setPermissions(o.updater.directory(), QFileDevice::Permissions(0x7777));
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::Started);
        QVERIFY(o.web.httpRequests().isEmpty());
        QCOMPARE(o.startedWith(), expectedArguments());
        QCOMPARE(QFileInfo(o.updater.directory()).permissions() & 0x0777, 0x0700);
    }

    void noDoesNothing()
    {
        Offer o(false);
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::Declined);
        QCOMPARE(o.messages.texts(), QStringList{Updater::questionText()});
        QVERIFY(o.web.httpRequests().isEmpty());
        QVERIFY(!o.ended);
    }

    // A build without the vendor's key never starts an updater.
    void noKeyMeansNotSetUp()
    {
        Offer o;
        o.updater.setPublicKey({});
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::NotSetUp);
        QCOMPARE(o.messages.texts(),
                 (QStringList{Updater::questionText(), Updater::notSetUpText()}));
        QVERIFY(o.web.httpRequests().isEmpty());
        QVERIFY(!o.standInRan());
        QVERIFY(!o.ended);
    }

    // Anything whose signature is missing or not the vendor's is refused
    // with a message, never run, and removed so the next offer fetches anew.
    void badSignatureIsRefused_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("signed by another key") << "other key";
        QTest::newRow("signature of other content") << "other content";
        QTest::newRow("signature cut short") << "short";
        QTest::newRow("no signature on the server") << "not served";
        QTest::newRow("existing file, bad signature") << "existing bad";
        QTest::newRow("existing file, no signature") << "existing unsigned";
    }

    void badSignatureIsRefused()
    {
        QFETCH(QString, fault);
        Offer o;
        const KeyPair stranger;
        QByteArray sig = o.vendor.sign(o.standIn);
        if (fault == "other key")
            sig = stranger.sign(o.standIn);
        else if (fault == "other content")
            sig = o.vendor.sign(o.standIn + "#");
        else if (fault == "short")
            sig.chop(1);
        o.web.serve(SignatureUrl, sig);
        if (fault == "not served")
            o.web.stopServing(SignatureUrl);
        if (fault.startsWith("existing")) {
            o.placeUpdater(o.standIn, stranger.sign(o.standIn));
            if (fault == "existing unsigned")
                QFile::remove(o.updater.signaturePath());
        }
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::Refused);
        QCOMPARE(o.messages.texts(),
                 (QStringList{Updater::questionText(), Updater::badSignatureText()}));
        QVERIFY(!o.messages.entries().last().details.isEmpty());
        QVERIFY(!o.standInRan());
        QVERIFY(!o.ended);
        QVERIFY(!QFile::exists(o.updater.updaterPath()));
    }

    // A file that someone else could have put or changed is never run, even
    // with a good signature beside it.
    void plantedUpdaterIsRefused_data()
    {
        QTest::addColumn<QString>("plant");
        QTest::newRow("owned by someone else") << "other owner";
        QTest::newRow("writable by the group") << "group writable";
        QTest::newRow("writable by all") << "world writable";
        QTest::newRow("a link to a signed file") << "link";
    }

    void plantedUpdaterIsRefused()
    {
        QFETCH(QString, plant);
        Offer o;
        o.placeUpdater(o.standIn, o.vendor.sign(o.standIn));
        const QByteArray path = QFile::encodeName(o.updater.updaterPath());
        if (plant == "other owner") {
            if (::geteuid() != 0)
                QSKIP("only root can give a file to someone else");
            QVERIFY(::chown(path.constData(), 65534, 65534) == 0);
        } else if (plant == "group writable") {
            QVERIFY(::chmod(path.constData(), 0770) == 0);
        } else if (plant == "world writable") {
            QVERIFY(::chmod(path.constData(), 0707) == 0);
        } else {
            const QString elsewhere = o.work.filePath("signed");
            QVERIFY(QFile::rename(o.updater.updaterPath(), elsewhere));
            QVERIFY(QFile::link(elsewhere, o.updater.updaterPath()));
        }
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::Refused);
        QCOMPARE(o.messages.texts(), (QStringList{Updater::questionText(), Updater::unsafeText()}));
        QVERIFY(!o.standInRan());
        QVERIFY(!o.ended);
    }

    // The directory itself must be the user's: one that belongs to someone
    // else is not used at all.
    void directoryOfSomeoneElseIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("only root can give a directory to someone else");
        Offer o;
        o.placeUpdater(o.standIn, o.vendor.sign(o.standIn));
        QVERIFY(::chown(QFile::encodeName(o.updater.directory()).constData(), 65534, 65534) == 0);
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::Refused);
        QCOMPARE(o.messages.texts(), (QStringList{Updater::questionText(), Updater::unsafeText()}));
        QVERIFY(!o.standInRan());
    }

    // A failed download stops the offer without a word; the program goes on.
    void failedDownloadIsSilent_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::newRow("not on the server") << true;
        QTest::newRow("server not reachable") << false;
    }

    void failedDownloadIsSilent()
    {
        QFETCH(bool, reachable);
        Offer o;
        o.web.stopServing(UpdaterUrl);
        if (!reachable) {
            tools::NoticePeer gone;
            QVERIFY(gone.listen());
            test::setSetting("GWEB", gone.httpAddress());
        }
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::DownloadFailed);
        QCOMPARE(o.web.httpRequests(), reachable ? QStringList{UpdaterUrl} : QStringList{});
        QCOMPARE(o.messages.texts(), QStringList{Updater::questionText()});
        QVERIFY(!QFile::exists(o.updater.updaterPath()));
        QVERIFY(!o.ended);
    }

    // A verified updater that will not start is said, and the program goes
    // on rather than end for nothing.
    void updaterThatWillNotStartIsSaid()
    {
        Offer o;
        const QByteArray notAProgram = "bu bir program değil\n";
        o.placeUpdater(notAProgram, o.vendor.sign(notAProgram));
        QCOMPARE(o.updater.offer(nullptr), Updater::Outcome::StartFailed);
        QCOMPARE(o.messages.texts(),
                 (QStringList{Updater::questionText(), Updater::startFailedText()}));
        QVERIFY(!o.ended);
    }
};

MIZRO_TEST_MAIN(TestUpdater)
#include "tst_updater.moc"
