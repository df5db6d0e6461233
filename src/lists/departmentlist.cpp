#include "departmentlist.h"

#include "departmentrules.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/datagrid.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace mizro::lists {

DepartmentList::DepartmentList(ui::Session &session, QWidget *parent)
    : QDialog(parent), m_session(session), m_rules(std::make_unique<DepartmentRules>(session)),
      m_grid(new ui::DataGrid(session.messages(), this)),
      m_exit(new QPushButton(QStringLiteral("Çıkış"), this))
{
    setObjectName(QStringLiteral("TFRMBIRIM"));
    setWindowTitle(QStringLiteral("BİRİM TANIMLARI"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(460, 520);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setDataSet(&m_rules->departments());
    m_grid->setEditingAllowed(true);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_exit->setAutoDefault(false);
    connect(m_exit, &QPushButton::clicked, this, &DepartmentList::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

DepartmentList::~DepartmentList() = default;

void DepartmentList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    try {
        m_rules->list();
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    m_grid->setFocus();
}

void DepartmentList::reject()
{
    m_rules->departments().cancel();
    m_rules->departments().close();
    QDialog::reject();
}

} // namespace mizro::lists
