#include "memberpicklist.h"

#include "attendancerules.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mizro::reg {

MemberPickList::MemberPickList(ui::Session &session, const ui::Body &body, QWidget *parent)
    : QDialog(parent), m_session(session),
      m_rules(std::make_unique<AttendanceRules>(session, body)),
      m_grid(new ui::DataGrid(session.messages(), this)),
      m_addAll(new QPushButton(QStringLiteral("Tümünü Aktar"), this)),
      m_exit(new QPushButton(QStringLiteral("Çıkış"), this))
{
    setObjectName(body.pickListForm);
    setWindowTitle(body.pickListCaption);
    resize(380, 460);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setDataSet(&m_rules->candidates());
    m_grid->setToolTip(QStringLiteral("Seçmek için Çift Tıklayınız"));
    m_grid->horizontalHeader()->setStretchLastSection(true);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] { addCurrent(); });
    connect(m_addAll, &QPushButton::clicked, this, &MemberPickList::addAll);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    m_addAll->setAutoDefault(false);
    m_exit->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_addAll);
    buttons->addStretch(1);
    buttons->addWidget(m_exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Çift Tıklayark tek tek aktarabilirsiniz."), this));
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

MemberPickList::~MemberPickList() = default;

void MemberPickList::handOver(int recordNumber, int year, AttendanceRules *opener)
{
    m_recordNumber = recordNumber;
    m_year = year;
    m_opener = opener;
}

void MemberPickList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    try {
        m_rules->listCandidates(m_recordNumber, m_year);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void MemberPickList::hideEvent(QHideEvent *event)
{
    m_rules->candidates().close();
    QDialog::hideEvent(event);
}

void MemberPickList::reread()
{
    try {
        m_rules->listCandidates(m_recordNumber, m_year);
        if (m_opener)
            m_opener->list(m_recordNumber, m_year);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void MemberPickList::addCurrent()
{
    const int code = m_rules->candidates().value(QStringLiteral("UKOD")).toInt();
    if (code == 0)
        return; // an empty list
    if (!m_rules->add(m_recordNumber, code))
        m_session.messages().error(this, m_rules->lastError(), m_rules->lastErrorDetails());
    reread();
}

void MemberPickList::addAll()
{
    if (m_rules->addAllCandidates(m_recordNumber) < 0) {
        m_session.messages().error(this, m_rules->lastError(), m_rules->lastErrorDetails());
        reread();
        return;
    }
    accept();
}

} // namespace mizro::reg
