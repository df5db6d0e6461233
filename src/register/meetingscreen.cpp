#include "meetingscreen.h"

#include "attendancerules.h"
#include "meetingrules.h"
#include "registerparts.h"

#include "db/dataset.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QDate>
#include <QPushButton>

namespace mizro::reg {

MeetingScreen::MeetingScreen(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                             Variant variant, bool closeBox, QWidget *parent)
    : QWidget(parent), m_session(session), m_body(body), m_dialogs(dialogs),
      m_meetings(std::make_unique<MeetingRules>(session, body, variant)),
      m_attendance(std::make_unique<AttendanceRules>(session, body)), m_closeBox(closeBox)
{
    const QString widest = QStringLiteral("F2-Yeni Oturum");
    m_first = commandButton(widest, QStringLiteral("BitBtn1"), QStyle::SP_FileIcon, widest);
    m_second = commandButton(QStringLiteral("F4-Değiştir"), QStringLiteral("BitBtn2"),
                             QStyle::SP_FileDialogDetailedView, widest);
    m_delete = commandButton(QStringLiteral("F10-Sil"), QStringLiteral("BitBtn3"),
                             QStyle::SP_TrashIcon, widest);
    m_exit = commandButton(QStringLiteral("ESC-Çıkış"), QStringLiteral("BitBtn4"),
                           QStyle::SP_DialogCloseButton, widest);
    connect(m_first, &QPushButton::clicked, this, &MeetingScreen::firstButton);
    connect(m_second, &QPushButton::clicked, this, &MeetingScreen::secondButton);
    connect(m_exit, &QPushButton::clicked, this, &MeetingScreen::exitWindow);
}

MeetingScreen::~MeetingScreen() = default;

QPushButton *MeetingScreen::commandButton(const QString &text, const QString &name,
                                          QStyle::StandardPixmap icon, const QString &widest)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setIcon(style()->standardIcon(icon));
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(widest) + 48);
    return b;
}

void MeetingScreen::showCaptions(bool entry)
{
    if (entry) {
        m_first->setText(QStringLiteral("Kayıt"));
        m_second->setText(QStringLiteral("İptal"));
        return;
    }
    m_first->setText(m_captionsPrefixed ? QStringLiteral("F2-Yeni Oturum")
                                        : QStringLiteral("Yeni Oturum"));
    m_second->setText(m_captionsPrefixed ? QStringLiteral("F4-Değiştir")
                                         : QStringLiteral("Değiştir"));
}

void MeetingScreen::firstButton()
{
    if (m_mode == Mode::Browse)
        beginNew();
    else
        saveMeeting();
}

void MeetingScreen::secondButton()
{
    if (m_mode == Mode::Browse)
        beginChange();
    else
        cancelEntry();
}

void MeetingScreen::exitWindow()
{
    if (m_mode != Mode::Browse)
        return;
    m_closing = true;
    close();
}

bool MeetingScreen::beginEntry(Mode mode)
{
    if (!m_dataOpen)
        return false;
    db::DataSet &ds = m_meetings->meetings();
    if (mode == Mode::New) {
        const QString refusal = m_meetings->beginNew(QDate::currentDate());
        if (!refusal.isEmpty())
            m_session.messages().error(this, refusal);
        return refusal.isEmpty();
    }
    if (ds.currentRow() < 0)
        return false;
    if (!m_meetings->beginChange()) {
        showError(ds.lastError(), ds.lastErrorDetails());
        return false;
    }
    return true;
}

int MeetingScreen::recordNumber() const
{
    const db::DataSet &ds = m_meetings->meetings();
    if (!ds.isOpen() || ds.currentRow() < 0)
        return 0;
    return ds.value(QStringLiteral("KAYNO")).toInt();
}

void MeetingScreen::showError(const QString &text, const QString &details)
{
    if (!text.isEmpty())
        m_session.messages().error(this, text, details);
}

void MeetingScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    firstShownInFrame(
        this, m_closeBox, [this] { return !m_dataOpen; }, [this] { formActivate(); });
}

void MeetingScreen::closeEvent(QCloseEvent *event)
{
    closeRegister(this, event, m_closing, m_closeBox, m_mode == Mode::Browse,
                  [this] { closeData(); });
}

} // namespace mizro::reg
