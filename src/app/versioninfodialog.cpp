#include "versioninfodialog.h"

#include "lineclient.h"
#include "updater.h"
#include "vendorserver.h"

#include "ui/messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace mizro::app {

VersionInfoDialog::VersionInfoDialog(ui::Messages &messages, Updater &updater, QWidget *parent)
    : QDialog(parent), m_messages(messages), m_updater(updater), m_client(new LineClient(this)),
      m_version(new QLabel(this)), m_text(new QPlainTextEdit(this)),
      m_update(new QPushButton(QStringLiteral("Güncelle"), this)),
      m_exit(new QPushButton(QStringLiteral("ESC-Çıkış"), this))
{
    setObjectName(QStringLiteral("TFRMVERBILGI"));
    setWindowTitle(QStringLiteral("VERSİYON BİLGİSİ"));
    resize(460, 320);

    auto *frame = new QGroupBox(QStringLiteral("Versiyon Bilgisi"), this);
    auto *versionRow = new QHBoxLayout;
    versionRow->addWidget(new QLabel(QStringLiteral("Versiyon:"), frame));
    m_version->setObjectName(QStringLiteral("LBLVER"));
    QFont bold = m_version->font();
    bold.setBold(true);
    m_version->setFont(bold);
    versionRow->addWidget(m_version, 1);
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setReadOnly(true);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(versionRow);
    frameLayout->addWidget(m_text, 1);

    m_update->setObjectName(QStringLiteral("SpeedButton1"));
    m_exit->setObjectName(QStringLiteral("BitBtn1"));
    // Enter in the text must not leave the dialog; Esc does (QDialog).
    m_update->setAutoDefault(false);
    m_exit->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_update);
    buttons->addStretch(1);
    buttons->addWidget(m_exit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    connect(m_update, &QPushButton::clicked, this, &VersionInfoDialog::update);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_client, &LineClient::lineRead, this, &VersionInfoDialog::onLine);
    connect(m_client, &LineClient::failed, this, &VersionInfoDialog::onFailed);
}

void VersionInfoDialog::setVersion(const QString &version)
{
    m_version->setText(version);
}

void VersionInfoDialog::setTimeout(std::chrono::milliseconds timeout)
{
    m_client->setTimeout(timeout);
}

bool VersionInfoDialog::isFetching() const
{
    return m_client->isActive();
}

void VersionInfoDialog::stopFetching()
{
    m_client->stop();
}

void VersionInfoDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Once per opening, not at every activation: an error box closing would
    // otherwise ask the server again, and fail again, for ever.
    if (!event->spontaneous())
        vergetir();
}

void VersionInfoDialog::vergetir()
{
    m_text->clear();
    if (!m_client->start(vendorServer(),
                         {QStringLiteral("VER"), QString(), productCode(), m_version->text()})) {
        // Said once the dialog is on the screen, over it.
        QTimer::singleShot(0, this, [this, details = m_client->error()] {
            if (isVisible())
                onFailed(details);
        });
    }
}

void VersionInfoDialog::onLine(const QString &line)
{
    if (line == QStringLiteral("@")) {
        m_client->stop();
        return;
    }
    m_text->appendPlainText(line);
}

void VersionInfoDialog::onFailed(const QString &details)
{
    m_messages.error(this, QStringLiteral("Versiyon bilgisi alınamadı: sunucuya ulaşılamadı."),
                     details);
}

void VersionInfoDialog::update()
{
    stopFetching();
    m_updater.offer(this);
    accept();
}

void VersionInfoDialog::done(int result)
{
    stopFetching();
    QDialog::done(result);
}

} // namespace mizro::app
