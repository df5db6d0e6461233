#include "statuspanel.h"

#include "noticeview.h"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace mizro::app {

namespace {
QLabel *named(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
} // namespace

StatusPanel::StatusPanel(QWidget *parent)
    : QWidget(parent), m_notice(new NoticeView(this)),
      m_clock(named(QStringLiteral("STSAAT"), QStringLiteral("00:00"), this)),
      m_date(named(QStringLiteral("LBLTARIH"), QString(), this)),
      m_year(named(QStringLiteral("LBLYIL"), QString(), this)),
      m_user(named(QStringLiteral("LUSR"), QString(), this)),
      m_version(named(QStringLiteral("LVER"), programVersion(), this))
{
    setObjectName(QStringLiteral("StatusPanel"));
    m_version->setCursor(Qt::PointingHandCursor);
    m_version->installEventFilter(this);

    QFont big = m_clock->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    m_clock->setFont(big);
    m_clock->setAlignment(Qt::AlignCenter);
    m_date->setAlignment(Qt::AlignCenter);
    QFont bold = m_date->font();
    bold.setBold(true);
    m_date->setFont(bold);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_notice);
    layout->addWidget(m_clock);
    layout->addWidget(m_date);
    auto *form = new QFormLayout;
    form->setContentsMargins(0, 4, 0, 0);
    form->addRow(QStringLiteral("Çalışma Yılı:"), m_year);
    form->addRow(QStringLiteral("Kullanıcı    :"), m_user);
    form->addRow(QStringLiteral("Ver : "), m_version);
    layout->addLayout(form);
}

bool StatusPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_version && event->type() == QEvent::MouseButtonRelease)
        emit versionClicked();
    return QWidget::eventFilter(watched, event);
}

} // namespace mizro::app
