#include "classicdecisionlist.h"

#include "attendancerules.h"
#include "decisionrules.h"
#include "meetingrules.h"
#include "registerparts.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "documents/documentcontainer.h"
#include "documents/formattoolbar.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/fieldbinder.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

namespace mizro::reg {

namespace {

using Kind = ui::FieldBinder::Kind;

// Shown, not edited; a box of a line edit's height keeps the dots of capitals.
QLineEdit *valueBox(QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);
    return e;
}

} // namespace

ClassicDecisionList::ClassicDecisionList(ui::Session &session, const ui::Body &body,
                                         ui::DialogRunner &dialogs, const db::DataSet &meetings,
                                         AttendanceRules &attendance, QWidget *parent)
    : QDialog(parent), m_session(session), m_body(body), m_dialogs(dialogs), m_meetings(meetings),
      m_attendance(attendance),
      m_decisions(std::make_unique<DecisionRules>(session, body, Variant::Classic))
{
    const bool committee = body.isCommittee();
    setObjectName(committee ? QStringLiteral("TFRMENCUMEN") : QStringLiteral("TFRMMECLIS"));
    setWindowTitle(committee ? QStringLiteral("ENCÜMEN KARARLARI")
                             : QStringLiteral("MECLİS KARARLARI"));
    setModal(true);
    resize(1000, 700);
    // The hand-over: the meeting the register has current.
    if (meetings.currentRow() >= 0) {
        m_recordNumber = meetings.value(QStringLiteral("KAYNO")).toInt();
        m_meetingNumber = meetings.value(QStringLiteral("OTRNO"));
    }

    db::DataSet &decisions = m_decisions->decisions();
    const auto as = [](Kind kind) {
        return [kind](const QVariant &v) {
            return ui::FieldBinder::text(v, kind);
        };
    };
    if (committee) {
        decisions.addCalculatedField(
            QStringLiteral("BIRIMI"), [this](const db::DataSet &ds, const db::DataSet::Row &row) {
                const QVariant code = row[ds.fieldIndex(QStringLiteral("BKOD"))];
                return code.isNull() ? QVariant() : QVariant(m_departments.value(code.toInt()));
            });
        decisions.setDisplayColumns(
            {{QStringLiteral("KARNO"), QStringLiteral("Kar.No")},
             {QStringLiteral("SNO"), QStringLiteral("S.No")},
             {QStringLiteral("BIRIMI"), QStringLiteral("Birimi")},
             {QStringLiteral("EVSAY"), QStringLiteral("Evrak No")},
             {QStringLiteral("EVTAR"), QStringLiteral("E.Tarihi"), as(Kind::Date)},
             {QStringLiteral("OZET"), QStringLiteral("Karar Özeti")}});
    } else {
        decisions.addCalculatedField(
            QStringLiteral("OTRNO"),
            [this](const db::DataSet &, const db::DataSet::Row &) { return m_meetingNumber; });
        decisions.setDisplayColumns({{QStringLiteral("KARNO"), QStringLiteral("Karar No")},
                                     {QStringLiteral("SNO"), QStringLiteral("S.No")},
                                     {QStringLiteral("OTRNO"), QStringLiteral("OTRNO")},
                                     {QStringLiteral("OZET"), QStringLiteral("Karar Özeti")}});
    }

    m_view = new documents::DocumentContainer(session.messages(), session.files(), this);
    m_view->setObjectName(QStringLiteral("OleContainer1"));
    m_view->toolBar()->hide();
    m_view->editor()->setReadOnly(true);
    m_view->editor()->setFocusPolicy(Qt::ClickFocus);
    QWidget *document = m_view;
    if (committee) {
        QGroupBox *box = boldGroup(QStringLiteral("ALINAN KARAR METNİ"), this);
        auto *l = new QVBoxLayout(box);
        l->addWidget(m_view);
        plainFonts(box);
        document = box;
    }

    m_grid = new ui::DataGrid(session.messages(), this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setShowsErrors(false);
    m_grid->setDataSet(&decisions);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &ClassicDecisionList::changeDecision);
    QGroupBox *gridBox = boldGroup(committee ? QStringLiteral("ENCÜMEN OTURUMUNDA ALINAN KARARLAR")
                                             : QStringLiteral("ALINAN KARARLAR"),
                                   this);
    auto *gridLayout = new QVBoxLayout(gridBox);
    gridLayout->addWidget(m_grid);
    plainFonts(gridBox);

    m_new = new QPushButton(QStringLiteral("F2-Yeni Karar"), this);
    m_change = new QPushButton(QStringLiteral("F4-Değiştir"), this);
    m_exit = new QPushButton(QStringLiteral("ESC-Çıkış"), this);
    m_delete = new QPushButton(QStringLiteral("F10-Sil"), this);
    m_new->setObjectName(QStringLiteral("BitBtn1"));
    m_change->setObjectName(QStringLiteral("BitBtn2"));
    m_exit->setObjectName(QStringLiteral("BitBtn4"));
    m_delete->setObjectName(QStringLiteral("BitBtn3"));
    m_new->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    m_change->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_delete->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_new, m_change, m_exit, m_delete}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("F2-Yeni Karar")) +
                           40);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    connect(m_new, &QPushButton::clicked, this, &ClassicDecisionList::newDecision);
    connect(m_change, &QPushButton::clicked, this, &ClassicDecisionList::changeDecision);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_delete, &QPushButton::clicked, this, &ClassicDecisionList::deleteDecision);

    auto *top = new QHBoxLayout;
    top->addWidget(buildParticulars(), 2);
    top->addWidget(document, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 3);
    layout->addWidget(gridBox, 2);
    layout->addLayout(buttons);

    m_openEditor = [](ClassicDecisionList &l, EditorMode mode) {
        return ClassicEditor::edit(
            l.m_session, l.m_dialogs, l.m_body,
            {l.m_decisions.get(), &l.m_meetings, &l.m_attendance.attendance()}, mode, &l);
    };
    // The view follows the current decision.
    connect(&decisions, &db::DataSet::currentRowChanged, this, [this] {
        if (!m_decisions->decisions().isEditing())
            showDocument();
    });
}

ClassicDecisionList::~ClassicDecisionList() = default;

QWidget *ClassicDecisionList::buildParticulars()
{
    QGroupBox *box = boldGroup(QStringLiteral("OTURUM BİLGİLERİ"), this);
    auto *number = valueBox(box);
    auto *when = valueBox(box);
    auto *type = valueBox(box);
    auto *description = valueBox(box);
    number->setObjectName(QStringLiteral("OTRNO"));
    when->setObjectName(QStringLiteral("TARIH"));
    type->setObjectName(QStringLiteral("OTURUM"));
    description->setObjectName(QStringLiteral("ACIK"));
    if (m_meetings.currentRow() >= 0) {
        number->setText(
            ui::FieldBinder::text(m_meetings.value(QStringLiteral("OTRNO")), Kind::Number));
        when->setText(ui::FieldBinder::text(m_meetings.value(QStringLiteral("TARIH")), Kind::Date) +
                      QStringLiteral("  /  ") +
                      ui::FieldBinder::text(m_meetings.value(QStringLiteral("SAAT")), Kind::Time));
        type->setText(MeetingRules::typeText(m_meetings.value(QStringLiteral("TUR")).toString()));
        description->setText(m_meetings.value(QStringLiteral("ACIK")).toString());
    }
    auto *form = new QFormLayout(box);
    form->addRow(QStringLiteral("Oturum No"), number);
    form->addRow(QStringLiteral("Tarihi / Saati"), when);
    form->addRow(QStringLiteral("Oturum Türü"), type);
    form->addRow(QStringLiteral("Açıklama"), description);
    plainFonts(box);
    return box;
}

void ClassicDecisionList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    try {
        if (m_body.isCommittee()) {
            m_departments.clear();
            for (const auto &[code, name] : m_decisions->departments())
                m_departments.insert(code, name);
        }
        m_decisions->list(m_recordNumber);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    // The summary takes the room the numbers leave.
    if (const int columns = m_decisions->decisions().columnCount())
        m_grid->horizontalHeader()->setSectionResizeMode(columns - 1, QHeaderView::Stretch);
    showDocument();
}

void ClassicDecisionList::showDocument()
{
    const db::DataSet &ds = m_decisions->decisions();
    try {
        m_view->createObject(QStringLiteral("Word.Document"));
        if (ds.isOpen() && ds.currentRow() >= 0)
            m_view->textGetir(m_decisions->document());
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    } catch (const documents::DocumentContainer::Error &e) {
        m_session.messages().error(this, e.text());
    }
    m_view->editor()->setReadOnly(true);
}

void ClassicDecisionList::openEditor(EditorMode mode)
{
    if (!m_openEditor)
        return;
    m_openEditor(*this, mode);
    showDocument();
}

void ClassicDecisionList::newDecision()
{
    db::DataSet &ds = m_decisions->decisions();
    if (!ds.isOpen())
        return;
    if (!m_body.isCommittee()) {
        // The council's list appends the row; its editor numbers it.
        if (!ds.append()) {
            m_session.messages().error(this, ds.lastError(), ds.lastErrorDetails());
            return;
        }
        ds.setValue(QStringLiteral("KAYNO"), m_recordNumber);
    }
    openEditor(EditorMode::New);
    // An editor left without saving takes its row back.
    if (ds.state() == db::DataSet::State::Insert)
        ds.cancel();
}

void ClassicDecisionList::changeDecision()
{
    const db::DataSet &ds = m_decisions->decisions();
    if (!ds.isOpen() || ds.currentRow() < 0)
        return;
    if (!m_body.isCommittee() && ds.value(QStringLiteral("KARNO")).toInt() == 0)
        return;
    openEditor(EditorMode::Current);
}

void ClassicDecisionList::deleteDecision()
{
    if (!m_decisions->decisions().isOpen())
        return;
    if (!m_decisions->remove(this)) {
        if (!m_decisions->lastError().isEmpty())
            m_session.messages().error(this, m_decisions->lastError(),
                                       m_decisions->lastErrorDetails());
        return;
    }
    showDocument();
}

void ClassicDecisionList::done(int result)
{
    m_view->close();
    m_decisions->decisions().close();
    QDialog::done(result);
}

} // namespace mizro::reg
