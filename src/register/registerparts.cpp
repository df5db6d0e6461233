#include "registerparts.h"

#include "attendancerules.h"
#include "memberpicklist.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/programend.h"
#include "ui/session.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QVBoxLayout>

namespace mizro::reg {

QGroupBox *boldGroup(const QString &title, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    QFont f = box->font();
    f.setBold(true);
    box->setFont(f);
    return box;
}

void plainFonts(QWidget *w)
{
    for (QWidget *c : w->findChildren<QWidget *>()) {
        QFont f = c->font();
        f.setBold(false);
        c->setFont(f);
    }
}

QComboBox *meetingTypeSelector(db::DataSet &meetings, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("TUR"));
    box->addItem(QStringLiteral("Olağan"), QStringLiteral("1"));
    box->addItem(QStringLiteral("Olağanüstü"), QStringLiteral("2"));
    box->setCurrentIndex(-1);
    QObject::connect(box, &QComboBox::activated, box, [box, &meetings](int index) {
        meetings.setValue(QStringLiteral("TUR"), box->itemData(index));
    });
    return box;
}

QComboBox *documentKindSelector(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("ETUR"));
    box->addItem(QStringLiteral("Evrak"), QStringLiteral("E"));
    box->addItem(QStringLiteral("Dilekçe"), QStringLiteral("D"));
    box->setCurrentIndex(-1);
    return box;
}

void showMeetingType(QComboBox *selector, const db::DataSet &meetings)
{
    const QVariant tur =
        meetings.currentRow() >= 0 ? meetings.value(QStringLiteral("TUR")) : QVariant();
    const QString t = tur.toString();
    if (tur.isNull() || t.isEmpty())
        selector->setCurrentIndex(-1);
    else if (selector->findData(t) >= 0)
        selector->setCurrentIndex(selector->findData(t));
}

QAction *addKey(QWidget *owner, const QString &text, Qt::Key key, std::function<void()> command)
{
    auto *a = new QAction(text, owner);
    a->setShortcut(QKeySequence(key));
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    if (command)
        QObject::connect(a, &QAction::triggered, owner, std::move(command));
    owner->addAction(a);
    return a;
}

void watchActivation(QWidget *screen, std::function<bool()> needsData,
                     std::function<void()> activate)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(screen->parentWidget());
    if (!sub || !sub->mdiArea())
        return;
    auto last = std::make_shared<QPointer<QMdiSubWindow>>();
    QObject::connect(sub->mdiArea(), &QMdiArea::subWindowActivated, screen,
                     [sub, last, needsData, activate](QMdiSubWindow *w) {
                         if (!w)
                             return;
                         if (w == sub && (*last != sub || needsData()))
                             activate();
                         *last = w;
                     });
    if (sub->mdiArea()->activeSubWindow() == sub) {
        *last = sub;
        activate();
    }
}

void firstShownInFrame(QWidget *screen, bool closeBox, std::function<bool()> needsData,
                       std::function<void()> activate)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(screen->parentWidget());
    if (!sub || !sub->mdiArea())
        return;
    if (!closeBox)
        sub->setWindowFlags(sub->windowFlags() & ~Qt::WindowCloseButtonHint);
    watchActivation(screen, std::move(needsData), std::move(activate));
}

void closeRegister(QWidget *screen, QCloseEvent *event, bool byCommand, bool closeBox,
                   bool browsing, const std::function<void()> &closeData)
{
    if (byCommand || ui::programEnding(screen)) {
        event->accept();
        return;
    }
    if (!closeBox) {
        if (browsing)
            event->accept();
        else
            event->ignore();
        return;
    }
    event->ignore();
    if (browsing)
        closeData();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(screen->parentWidget()))
        sub->showMinimized();
    else
        screen->showMinimized();
}

AttendancePanel::AttendancePanel(ui::Session &session, const ui::Body &body,
                                 ui::DialogRunner &dialogs, AttendanceRules &rules,
                                 std::function<int()> recordNumber, QWidget *parent)
    : QGroupBox(QStringLiteral("Toplantıya Katılan Üyeler"), parent), m_session(session),
      m_body(body), m_dialogs(dialogs), m_rules(rules), m_recordNumber(std::move(recordNumber)),
      m_grid(new ui::DataGrid(session.messages(), this))
{
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    m_grid->setObjectName(QStringLiteral("DBGrid2"));
    m_grid->setDataSet(&rules.attendance());
    m_grid->verticalHeader()->hide();
    // The name takes the room the title leaves.
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setStretchLastSection(false);
    connect(&rules.attendance(), &QAbstractItemModel::modelReset, this, [this] {
        if (m_rules.attendance().columnCount() > 0)
            m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (!m_attached)
            return;
        QMenu menu(this);
        menu.addAction(QStringLiteral("Ekle"), this, &AttendancePanel::addMembers);
        menu.addAction(QStringLiteral("Sil"), this, &AttendancePanel::removeMember);
        menu.exec(m_grid->viewport()->mapToGlobal(at));
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    QFont plain = m_grid->font();
    plain.setBold(false);
    m_grid->setFont(plain);
}

void AttendancePanel::list(int recordNumber)
{
    try {
        m_rules.list(recordNumber, m_session.workingYearNumber());
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void AttendancePanel::addMembers()
{
    if (!m_attached)
        return;
    const int kayno = m_recordNumber();
    MemberPickList pick(m_session, m_body, this);
    pick.handOver(kayno, m_session.workingYearNumber(), &m_rules);
    m_dialogs.exec(pick);
    list(kayno);
}

void AttendancePanel::removeMember()
{
    if (!m_attached)
        return;
    const int kayno = m_recordNumber();
    const db::DataSet &present = m_rules.attendance();
    const int code = present.currentRow() >= 0 ? present.value(QStringLiteral("UKOD")).toInt() : 0;
    if (!m_rules.remove(this, kayno, code)) {
        if (!m_rules.lastError().isEmpty())
            m_session.messages().error(this, m_rules.lastError(), m_rules.lastErrorDetails());
        return;
    }
    list(kayno);
}

} // namespace mizro::reg
