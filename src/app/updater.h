#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

class QWidget;

namespace mizro::ui {
class Messages;
}

namespace mizro::app {

/// PRGGUNCELLE: the update offer. On Yes it fetches the vendor's updater and
/// its detached Ed25519 signature into a directory of the user's own, checks
/// both, starts the updater with the product code and the program's
/// directory and ends the program. Nothing that fails a check is ever run.
class Updater : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Declined,       // No to the question
        NotSetUp,       // this build carries no public key
        DownloadFailed, // the updater could not be fetched: nothing said
        Refused,        // unsafe place, missing or bad signature
        StartFailed,    // verified, but it would not start
        Started,        // running; the program ends
        Busy,           // an offer is already under way
    };
    Q_ENUM(Outcome)

    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    Updater(ui::Messages &messages, QObject *parent = nullptr);

    /// The key the build was given; empty when updates are not set up.
    static QByteArray builtInPublicKey();
    void setPublicKey(const QByteArray &key) { m_publicKey = key; }
    /// The user's own directory for the updater (made 0700 when missing).
    void setDirectory(const QString &directory) { m_directory = directory; }
    QString directory() const { return m_directory; }
    QString updaterPath() const;
    QString signaturePath() const;
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    /// How the program is ended once the updater runs.
    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }

    Outcome offer(QWidget *parent);

    /// True when the signature is the key's over the data.
    static bool verify(const QByteArray &data, const QByteArray &signature,
                       const QByteArray &publicKey);

    static QString questionText();
    static QString notSetUpText();
    static QString unsafeText();
    static QString badSignatureText();
    static QString startFailedText();

private:
    Outcome fetchAndRun(QWidget *parent);
    /// False (with the reason) when the directory is not the user's alone.
    bool prepareDirectory(QString *problem) const;
    /// Empty when the file is a regular file of the user's that nobody else
    /// may write; else the reason.
    QString unsafeFile(const QString &path) const;
    bool download(const QString &urlPath, const QString &target, QString *problem);
    void discard() const;

    ui::Messages &m_messages;
    QByteArray m_publicKey;
    QString m_directory;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
    std::function<void()> m_endProgram;
    bool m_busy = false;
};

} // namespace mizro::app
