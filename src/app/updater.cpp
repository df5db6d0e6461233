#include "updater.h"

#include "terminationsignals.h"
#include "vendorserver.h"

#include "ui/messages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef MIZRO_UPDATE_PUBLIC_KEY
#define MIZRO_UPDATE_PUBLIC_KEY ""
#endif

namespace mizro::app {

namespace {

const char UpdaterUrlPath[] = "/ftproot/Ptazele.EXE";
const char SignatureSuffix[] = ".sig";
// An updater is a few megabytes; anything far larger is not one.
constexpr qint64 LargestDownload = 256 * 1024 * 1024;

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemError()
{
    return QString::fromLocal8Bit(strerror(errno));
}

} // namespace

Updater::Updater(ui::Messages &messages, QObject *parent)
    : QObject(parent), m_messages(messages), m_publicKey(builtInPublicKey()),
      m_directory(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                  QStringLiteral("/RUFA/MIZRO/updater"))
{
}

QByteArray Updater::builtInPublicKey()
{
    const QByteArray key = QByteArray::fromHex(MIZRO_UPDATE_PUBLIC_KEY);
    return key.size() == crypto_sign_PUBLICKEYBYTES ? key : QByteArray();
}

QString Updater::updaterPath() const
{
    return m_directory + QStringLiteral("/PTAZELE.EXE");
}

QString Updater::signaturePath() const
{
    return updaterPath() + QLatin1String(SignatureSuffix);
}

QString Updater::questionText()
{
    return QStringLiteral(
        "DİKKAT! Programınızın Daha Yeni Sürümü Mevcuttur.\nŞimdi Güncellemek İstermisiniz.");
}

QString Updater::notSetUpText()
{
    return QStringLiteral("Bu kurulumda program güncellemesi ayarlanmamış: güncelleme programı "
                          "çalıştırılamaz. Programın yeni sürümü için sistem yöneticinize "
                          "başvurun.");
}

QString Updater::unsafeText()
{
    return QStringLiteral("Güncelleme programı güvenli bir yerde değil: başka biri koymuş ya da "
                          "değiştirebilir olabilir. Güvenliğiniz için çalıştırılmadı.");
}

QString Updater::badSignatureText()
{
    return QStringLiteral("Güncelleme programının imzası doğrulanamadı. Güvenliğiniz için "
                          "çalıştırılmadı.");
}

QString Updater::startFailedText()
{
    return QStringLiteral("Güncelleme programı başlatılamadı.");
}

bool Updater::verify(const QByteArray &data, const QByteArray &signature,
                     const QByteArray &publicKey)
{
    if (sodium_init() < 0)
        return false;
    if (signature.size() != crypto_sign_BYTES || publicKey.size() != crypto_sign_PUBLICKEYBYTES)
        return false;
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char *>(signature.constData()),
               reinterpret_cast<const unsigned char *>(data.constData()),
               static_cast<unsigned long long>(data.size()),
               reinterpret_cast<const unsigned char *>(publicKey.constData())) == 0;
}

Updater::Outcome Updater::offer(QWidget *parent)
{
    if (m_busy)
        return Outcome::Busy;
    m_busy = true;
    const Outcome outcome =
        m_messages.question(parent, questionText()) ? fetchAndRun(parent) : Outcome::Declined;
    m_busy = false;
    return outcome;
}

bool Updater::prepareDirectory(QString *problem) const
{
    const QByteArray dir = nativePath(m_directory);
    QDir().mkpath(QFileInfo(m_directory).absolutePath());
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST) {
        *problem = m_directory + QStringLiteral(": ") + systemError();
        return false;
    }
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0) {
        *problem = m_directory + QStringLiteral(": ") + systemError();
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *problem = m_directory + QStringLiteral(" bir dizin değil.");
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        *problem = m_directory + QStringLiteral(" başka bir kullanıcıya ait.");
        return false;
    }
    // Ours, but others could reach in: from now on only we can.
    if ((st.st_mode & 077) != 0 && ::chmod(dir.constData(), 0700) != 0) {
        *problem = m_directory + QStringLiteral(": ") + systemError();
        return false;
    }
    return true;
}

QString Updater::unsafeFile(const QString &path) const
{
    struct stat st {};
    if (::lstat(nativePath(path).constData(), &st) != 0)
        return path + QStringLiteral(": ") + systemError();
    if (!S_ISREG(st.st_mode))
        return path + QStringLiteral(" düz bir dosya değil (bir bağlantı ya da dizin).");
    if (st.st_uid != ::geteuid())
        return path + QStringLiteral(" başka bir kullanıcıya ait.");
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return path + QStringLiteral(" dosyasına başkaları da yazabiliyor.");
    return {};
}

bool Updater::download(const QString &urlPath, const QString &target, QString *problem)
{
    const ServerAddress server = updateServer();
    if (!server.isValid()) {
        *problem = QStringLiteral("Güncelleme sunucusu (GWEB ya da GSRV) verilmemiş.");
        return false;
    }
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(server.host);
    url.setPort(server.port);
    url.setPath(urlPath);

    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    QNetworkReply *reply = network.get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > LargestDownload)
            reply->abort();
    });
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The windows paint meanwhile, but take no input: the program ends once
    // the updater runs, and nothing begun now would be finished.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    reply->deleteLater();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != 200) {
        *problem = url.toDisplayString() + QStringLiteral(": ") + reply->errorString();
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(reply->readAll()) < 0 || !file.commit()) {
        *problem = target + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

void Updater::discard() const
{
    // Refused once, refused always: the next offer fetches a fresh copy.
    QFile::remove(updaterPath());
    QFile::remove(signaturePath());
}

Updater::Outcome Updater::fetchAndRun(QWidget *parent)
{
    if (m_publicKey.size() != crypto_sign_PUBLICKEYBYTES) {
        m_messages.information(parent, notSetUpText());
        return Outcome::NotSetUp;
    }
    QString problem;
    if (!prepareDirectory(&problem)) {
        m_messages.error(parent, unsafeText(), problem);
        return Outcome::Refused;
    }
    const QString path = updaterPath();
    struct stat st {};
    if (::lstat(nativePath(path).constData(), &st) != 0) {
        if (!download(QLatin1String(UpdaterUrlPath), path, &problem))
            return Outcome::DownloadFailed;
        if (!download(QLatin1String(UpdaterUrlPath) + QLatin1String(SignatureSuffix),
                      signaturePath(), &problem)) {
            discard();
            m_messages.error(parent, badSignatureText(),
                             QStringLiteral("İmza dosyası indirilemedi: ") + problem);
            return Outcome::Refused;
        }
    }
    problem = unsafeFile(path);
    if (!problem.isEmpty()) {
        discard();
        m_messages.error(parent, unsafeText(), problem);
        return Outcome::Refused;
    }
    QFile updater(path);
    QFile signature(signaturePath());
    if (!signature.exists()) {
        discard();
        m_messages.error(parent, badSignatureText(),
                         signaturePath() + QStringLiteral(" imza dosyası yok."));
        return Outcome::Refused;
    }
    if (!updater.open(QIODevice::ReadOnly) || !signature.open(QIODevice::ReadOnly) ||
        !verify(updater.readAll(), signature.read(crypto_sign_BYTES + 1), m_publicKey)) {
        discard();
        m_messages.error(parent, badSignatureText(),
                         path + QStringLiteral(" dosyasının imzası geçersiz."));
        return Outcome::Refused;
    }
    updater.close();
    updater.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ExeOwner);
    const QString programDirectory =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    QProcess process;
    process.setProgram(path);
    process.setArguments({productCode(), programDirectory});
    // The program keeps SIGTERM and the like blocked; the updater must not.
    process.setChildProcessModifier(&TerminationSignals::unblockInChild);
    if (!process.startDetached()) {
        m_messages.error(parent, startFailedText(), path);
        return Outcome::StartFailed;
    }
    if (m_endProgram)
        m_endProgram();
    return Outcome::Started;
}

} // namespace mizro::app
