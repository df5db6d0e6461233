#include "memberlist.h"

#include "memberrules.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace mizro::lists {

namespace {
constexpr int StateColumn = 4;
}

MemberList::MemberList(ui::Session &session, const ui::Body &body, QWidget *parent)
    : ButtonCloseDialog(parent), m_session(session), m_body(body),
      m_rules(std::make_unique<MemberRules>(session, body)),
      m_grid(new ui::DataGrid(session.messages(), this)), m_year(new QLineEdit(this)),
      m_save(new QPushButton(QStringLiteral("F5-Kayıt"), this)),
      m_cancel(new QPushButton(QStringLiteral("ESC-İptal"), this)), m_stateMenu(new QMenu(this))
{
    setObjectName(body.memberListForm);
    setWindowTitle(body.memberListCaption);
    // No title-bar buttons: the list is left through its buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(760, 480);

    db::DataSet &members = m_rules->members();
    members.setErrorMessage(db::DbError::Kind::Duplicate,
                            QStringLiteral("Bu yılın listesinde aynı numaralı bir üye zaten var; "
                                           "üye kaydedilemedi. Satırı düzeltiniz ya da Esc ile "
                                           "vazgeçiniz."));
    members.setErrorMessage(db::DbError::Kind::NotANumber,
                            QStringLiteral("\"Yılı\" alanında geçerli bir yıl yok; üye "
                                           "kaydedilemedi."));
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setDataSet(&members);
    m_grid->setEditingAllowed(true);
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c <= StateColumn; ++c)
        m_grid->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);

    m_year->setObjectName(QStringLiteral("EDYIL"));
    // Four optional digits.
    m_year->setInputMask(QStringLiteral("0000;_"));
    m_year->setMaximumWidth(80);

    m_stateMenu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *active = m_stateMenu->addAction(QStringLiteral("Aktif"));
    QAction *passive = m_stateMenu->addAction(QStringLiteral("Pasif"));
    connect(active, &QAction::triggered, this, [this] { m_rules->setState(QStringLiteral("A")); });
    connect(passive, &QAction::triggered, this, [this] { m_rules->setState(QStringLiteral("P")); });
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex at = m_grid->indexAt(pos);
        if (at.isValid() && at.column() == StateColumn && m_grid->goToRow(at.row()))
            m_stateMenu->popup(m_grid->viewport()->mapToGlobal(pos));
    });

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Yılı"), this));
    top->addWidget(m_year);
    top->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    // Captions name keys but the buttons act on a click only.
    m_save->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, &MemberList::saveAndClose);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_body.cancelStoresPendingMember)
            saveAndClose();
        else
            cancelAndClose();
    });
    connect(m_year, &QLineEdit::editingFinished, this, &MemberList::showTypedYear);
}

MemberList::~MemberList() = default;

void MemberList::showEvent(QShowEvent *event)
{
    ButtonCloseDialog::showEvent(event);
    m_year->setText(m_session.definitionsYear());
    try {
        m_rules->list(m_year->text());
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    m_grid->setFocus();
}

void MemberList::showTypedYear()
{
    db::DataSet &members = m_rules->members();
    if (members.isEditing() && !members.post())
        return;
    try {
        m_rules->list(m_year->text());
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void MemberList::saveAndClose()
{
    db::DataSet &members = m_rules->members();
    if (members.isEditing() && !members.post())
        return; // the error is shown; the row stays for correction
    closeWithPermission();
}

void MemberList::cancelAndClose()
{
    m_rules->members().cancel();
    closeWithPermission();
}

void MemberList::closeWithPermission()
{
    m_rules->members().cancel();
    m_rules->members().close();
    closeThroughButton(QDialog::Rejected);
}

} // namespace mizro::lists
