#include "collapsiblegroup.h"

#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mizro::ui {

CollapsibleGroup::CollapsibleGroup(const QString &caption, QWidget *parent)
    : QWidget(parent), m_header(new QToolButton(this)), m_body(new QWidget(this)),
      m_bodyLayout(new QVBoxLayout(m_body))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header->setText(caption);
    m_header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_header->setCheckable(true);
    m_header->setChecked(true);
    m_header->setArrowType(Qt::DownArrow);
    m_header->setAutoRaise(false);
    QFont f = m_header->font();
    f.setBold(true);
    m_header->setFont(f);
    m_bodyLayout->setContentsMargins(6, 2, 6, 4);
    m_bodyLayout->setSpacing(2);
    layout->addWidget(m_header);
    layout->addWidget(m_body);
    connect(m_header, &QToolButton::toggled, this, &CollapsibleGroup::setExpanded);
}

QString CollapsibleGroup::caption() const
{
    return m_header->text();
}

QPushButton *CollapsibleGroup::addButton(const QString &caption)
{
    auto *b = new QPushButton(caption, m_body);
    b->setFlat(true);
    b->setStyleSheet(QStringLiteral("text-align: left; padding: 3px 6px;"));
    m_bodyLayout->addWidget(b);
    return b;
}

QList<QPushButton *> CollapsibleGroup::buttons() const
{
    return m_body->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
}

void CollapsibleGroup::setExpanded(bool expanded)
{
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    {
        const QSignalBlocker block(m_header);
        m_header->setChecked(expanded);
    }
    m_header->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    m_body->setVisible(expanded);
    if (expanded)
        emit this->expanded();
    else
        emit collapsed();
}

} // namespace mizro::ui
