#include "singleregister.h"

#include "attendancerules.h"
#include "decisioncard.h"
#include "decisionrules.h"
#include "meetingrules.h"
#include "meetingscreen.h"
#include "memberpicklist.h"
#include "registerparts.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "documents/decisioneditor.h"
#include "ui/body.h"
#include "ui/cardlist.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/fieldbinder.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace mizro::reg {

namespace {

using Kind = ui::FieldBinder::Kind;

// What tells the two bodies' windows apart.
struct Profile {
    QString form;
    QString caption;
    QString countTitle;
    int cards;
    bool masks;            // the meeting's date and time are masked
    bool countDuringEntry; // the list's count follows the decisions as they are written
    bool cancelDropsDecision;
    bool cardClickSaves;
    bool variantSwitch;
    bool closeBoxMinimizes; // the window has a close box that only minimizes
};

const Profile &profileOf(const ui::Body &body)
{
    static const Profile committee{QStringLiteral("TFRMENC1"),
                                   QStringLiteral("ENCÜMEN KARARLARI"),
                                   QStringLiteral("Ad."),
                                   4,
                                   false,
                                   false,
                                   true,
                                   true,
                                   false,
                                   true};
    static const Profile council{QStringLiteral("TFRMMEC1"),
                                 QStringLiteral("MECLİS KARARLARI"),
                                 QStringLiteral("Adet"),
                                 5,
                                 true,
                                 true,
                                 false,
                                 false,
                                 true,
                                 false};
    return body.isCommittee() ? committee : council;
}

QString dateText(const QVariant &v)
{
    return ui::FieldBinder::text(v, Kind::Date);
}

} // namespace

SingleRegister::SingleRegister(ui::Session &session, const ui::Body &body,
                               ui::DialogRunner &dialogs, QWidget *parent)
    : MeetingScreen(session, body, dialogs, Variant::SingleScreen,
                    profileOf(body).closeBoxMinimizes, parent),
      m_decisions(std::make_unique<DecisionRules>(session, body, Variant::SingleScreen))
{
    const Profile &p = profileOf(body);
    setObjectName(p.form);
    setWindowTitle(p.caption);
    // The committee's editor leaves the decision in edit: the entry's save
    // posts it with the meeting. The council's editor posts it itself.
    m_openEditor = [](SingleRegister &r) {
        const db::DataSet &meetings = r.meetings().meetings();
        documents::DecisionEditor::edit(r.m_session, r.m_dialogs, r.m_body,
                                        {&r.decisions().decisions(),
                                         meetings.value(QStringLiteral("OTRNO")),
                                         &r.attendance().attendance()},
                                        &r);
    };

    m_meetings->meetings().setDisplayColumns(
        {{QStringLiteral("TARIH"), QStringLiteral("Otr.Tarihi"), dateText},
         {QStringLiteral("OTRNO"), QStringLiteral("O.No")},
         {QStringLiteral("ACIK"), QStringLiteral("Açıklama")},
         {QStringLiteral("KARSAY"), p.countTitle}});

    auto *left = new QWidget(this);
    buildMeetingList(left);
    auto *top = new QHBoxLayout;
    top->addWidget(buildParticulars(), 3);
    top->addWidget(buildAttendance(), 2);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_first, m_second, m_delete, m_exit})
        buttons->addWidget(b);
    buttons->addStretch(1);
    connect(m_delete, &QPushButton::clicked, this, &SingleRegister::deleteMeeting);

    auto *right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(buildDecisionArea(), 1);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(left, 4);
    layout->addLayout(right, 9);

    // The window's hidden menu: its keys act from anywhere in the window.
    key(QStringLiteral("Yeni"), Qt::Key_F2, &SingleRegister::firstButton);
    key(QStringLiteral("Değiş"), Qt::Key_F4, &SingleRegister::secondButton);
    key(QStringLiteral("Sil"), Qt::Key_F10, &SingleRegister::deleteMeeting);
    key(QStringLiteral("Çık"), Qt::Key_Escape, &SingleRegister::exitWindow);
    key(QStringLiteral("Karar"), Qt::Key_F5, nullptr);

    db::DataSet &meetings = m_meetings->meetings();
    connect(&meetings, &db::DataSet::currentRowChanged, this, [this] {
        if (!m_reading)
            currentMeetingChanged(false);
    });
    connect(&meetings, &QAbstractItemModel::dataChanged, this,
            &SingleRegister::followMeetingValues);
    db::DataSet &decisions = m_decisions->decisions();
    connect(&decisions, &db::DataSet::currentRowChanged, this,
            &SingleRegister::currentDecisionChanged);
    connect(&decisions, &QAbstractItemModel::modelReset, this,
            &SingleRegister::currentDecisionChanged);

    setMode(Mode::Browse);
}

SingleRegister::~SingleRegister() = default;

QAction *SingleRegister::key(const QString &text, Qt::Key key, void (SingleRegister::*command)())
{
    return addKey(this, text, key,
                  command ? std::function<void()>([this, command] { (this->*command)(); })
                          : std::function<void()>());
}

void SingleRegister::buildMeetingList(QWidget *panel)
{
    const Profile &p = profileOf(m_body);
    auto *heading = new QLabel(QStringLiteral("KARAR LİSTESİ"), panel);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignCenter);
    m_variant = new QToolButton(panel);
    m_variant->setObjectName(QStringLiteral("SpeedButton1"));
    m_variant->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_variant->setToolTip(QStringLiteral("Klasik ekrana geç"));
    m_variant->setAutoRaise(true);
    m_variant->setVisible(p.variantSwitch);
    connect(m_variant, &QToolButton::clicked, this, &SingleRegister::switchVariant);
    auto *head = new QHBoxLayout;
    head->addWidget(heading, 1);
    head->addWidget(m_variant);

    m_list = new ui::DataGrid(m_session.messages(), panel);
    m_list->setObjectName(QStringLiteral("DBGrid1"));
    m_list->setShowsErrors(false);
    m_list->setDataSet(&m_meetings->meetings());
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->verticalHeader()->hide();
    m_list->setColumnWidth(0,
                           m_list->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")));
    m_list->setColumnWidth(1, m_list->fontMetrics().horizontalAdvance(QStringLiteral("O.No00")));
    m_list->setColumnWidth(3, m_list->fontMetrics().horizontalAdvance(QStringLiteral("Adet00")));
    // The description takes the room left, but never less than it needs to
    // be read: a narrow screen scrolls the list sideways instead.
    m_list->viewport()->installEventFilter(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(head);
    layout->addWidget(m_list, 1);
}

QWidget *SingleRegister::buildParticulars()
{
    const Profile &p = profileOf(m_body);
    auto *box = boldGroup(QStringLiteral("Oturum Bilgileri"), this);
    m_particulars = box;
    m_number = new QLineEdit(box);
    m_record = new QLabel(box);
    m_type = meetingTypeSelector(m_meetings->meetings(), box);
    m_date = new QLineEdit(box);
    m_time = new QLineEdit(box);
    m_description = new QLineEdit(box);
    m_number->setObjectName(QStringLiteral("OTRNO"));
    m_record->setObjectName(QStringLiteral("KAYNO"));
    m_date->setObjectName(QStringLiteral("TARIH"));
    m_time->setObjectName(QStringLiteral("SAAT"));
    m_description->setObjectName(QStringLiteral("ACIK"));
    m_meetingFields = new ui::FieldBinder(m_meetings->meetings(), this);
    m_meetingFields->bind(m_number, QStringLiteral("OTRNO"), Kind::Number);
    m_meetingFields->bind(m_date, QStringLiteral("TARIH"), Kind::Date,
                          p.masks ? QString::fromLatin1(ui::FieldBinder::dateMask()) : QString());
    m_meetingFields->bind(m_time, QStringLiteral("SAAT"), Kind::Time,
                          p.masks ? QString::fromLatin1(ui::FieldBinder::timeMask()) : QString());
    m_meetingFields->bind(m_description, QStringLiteral("ACIK"), Kind::Text);
    connect(&m_meetings->meetings(), &QAbstractItemModel::dataChanged, this, [this] {
        const QVariant k = m_meetings->meetings().value(QStringLiteral("KAYNO"));
        m_record->setText(k.isNull() ? QString() : QString::number(k.toInt()));
    });
    connect(&m_meetings->meetings(), &db::DataSet::currentRowChanged, this, [this] {
        const QVariant k = m_meetings->meetings().value(QStringLiteral("KAYNO"));
        m_record->setText(k.isNull() || !k.isValid() ? QString() : QString::number(k.toInt()));
    });
    const int narrow =
        m_number->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    for (QWidget *w : {static_cast<QWidget *>(m_number), static_cast<QWidget *>(m_date),
                       static_cast<QWidget *>(m_time)})
        w->setMaximumWidth(narrow);

    auto *form = new QFormLayout(box);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    auto *numbers = new QHBoxLayout;
    numbers->addWidget(m_number);
    numbers->addSpacing(12);
    numbers->addWidget(m_record);
    numbers->addStretch(1);
    form->addRow(QStringLiteral("Oturum No"), numbers);
    form->addRow(QStringLiteral("OturumTürü"), m_type);
    auto *when = new QHBoxLayout;
    when->addWidget(m_date);
    when->addSpacing(12);
    auto *timeLabel = new QLabel(QStringLiteral("Saati"), box);
    timeLabel->setBuddy(m_time);
    when->addWidget(timeLabel);
    when->addWidget(m_time);
    when->addStretch(1);
    form->addRow(QStringLiteral("Tarihi"), when);
    form->addRow(QStringLiteral("Açıklama"), m_description);
    plainFonts(box);
    return box;
}

QWidget *SingleRegister::buildAttendance()
{
    m_attendancePanel = new AttendancePanel(
        m_session, m_body, m_dialogs, *m_attendance, [this] { return recordNumber(); }, this);
    m_attendanceBox = m_attendancePanel;
    m_attendanceGrid = m_attendancePanel->grid();
    return m_attendancePanel;
}

QWidget *SingleRegister::buildDecisionArea()
{
    const Profile &p = profileOf(m_body);
    auto *box = boldGroup(QStringLiteral("Alınan Karar Listesi"), this);
    m_decisionArea = box;
    auto *layout = new QVBoxLayout(box);
    db::DataSet &decisions = m_decisions->decisions();
    m_decisionFields = new ui::FieldBinder(decisions, this);
    if (m_body.documentParticulars) {
        m_kind = documentKindSelector(box);
        connect(m_kind, &QComboBox::activated, this, [this](int index) {
            m_heldKind = m_kind->itemData(index).toString();
            m_decisions->setDocumentKind(m_heldKind);
        });
        auto *registered = new QLineEdit(box);
        auto *paperNumber = new QLineEdit(box);
        auto *registryNumber = new QLineEdit(box);
        auto *paperDate = new QLineEdit(box);
        auto *time = new QLineEdit(box);
        m_department = new QComboBox(box);
        registered->setObjectName(QStringLiteral("EKAYTAR"));
        paperNumber->setObjectName(QStringLiteral("EVSAY"));
        registryNumber->setObjectName(QStringLiteral("EKAYNO"));
        paperDate->setObjectName(QStringLiteral("EVTAR"));
        time->setObjectName(QStringLiteral("KSAAT"));
        m_department->setObjectName(QStringLiteral("BKOD"));
        const QString dateMask = QString::fromLatin1(ui::FieldBinder::dateMask());
        m_decisionFields->bind(registered, QStringLiteral("EKAYTAR"), Kind::Date, dateMask);
        m_decisionFields->bind(paperNumber, QStringLiteral("EVSAY"), Kind::Number);
        // An integer column: larger numbers fit.
        paperNumber->setValidator(new QIntValidator(
            std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), paperNumber));
        m_decisionFields->bind(registryNumber, QStringLiteral("EKAYNO"), Kind::Number);
        m_decisionFields->bind(paperDate, QStringLiteral("EVTAR"), Kind::Date, dateMask);
        m_decisionFields->bind(time, QStringLiteral("SAAT"), Kind::Time,
                               QString::fromLatin1(ui::FieldBinder::timeMask()));
        m_decisionFields->bindChoice(m_department, QStringLiteral("BKOD"));
        const int dateWidth =
            registered->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
        for (QLineEdit *e : {registered, paperDate})
            e->setMaximumWidth(dateWidth);
        for (QLineEdit *e : {paperNumber, registryNumber, time})
            e->setMaximumWidth(dateWidth * 3 / 4);
        time->setToolTip(QStringLiteral("Karar saati"));

        auto *grid = new QGridLayout;
        grid->addWidget(new QLabel(QStringLiteral("Evrak Türü"), box), 0, 0);
        grid->addWidget(m_kind, 1, 0);
        grid->addWidget(new QLabel(QStringLiteral("Kayıt Tarihi / Sayısı"), box), 0, 1, 1, 2);
        grid->addWidget(registered, 1, 1);
        grid->addWidget(paperNumber, 1, 2);
        grid->addWidget(new QLabel(QStringLiteral("Evrak Kayıt No"), box), 0, 3);
        grid->addWidget(registryNumber, 1, 3);
        grid->addWidget(new QLabel(QStringLiteral("Evrak Tarihi"), box), 0, 4);
        grid->addWidget(paperDate, 1, 4);
        grid->addWidget(new QLabel(QStringLiteral("İlgili Birim"), box), 0, 5);
        grid->addWidget(m_department, 1, 5);
        grid->addWidget(time, 1, 6);
        grid->setColumnStretch(5, 1);
        layout->addLayout(grid);
    }
    m_cards = new ui::CardList(
        p.cards, [](QWidget *parent) { return new DecisionCard(parent); }, box);
    m_cards->setObjectName(QStringLiteral("DBCtrlGrid1"));
    m_cards->setDataSet(&decisions);
    m_cards->setContextMenuPolicy(Qt::CustomContextMenu);
    const auto addMenu = [this](QWidget *w) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint &at) {
            QMenu menu(this);
            menu.addAction(QStringLiteral("Ekle"), this, &SingleRegister::addDecision);
            menu.exec(w->mapToGlobal(at));
        });
    };
    addMenu(m_cards);
    for (int slot = 0; slot < m_cards->visibleCards(); ++slot) {
        auto *card = static_cast<DecisionCard *>(m_cards->card(slot));
        addMenu(card);
        addMenu(card->summary());
        connect(card->deleteButton(), &QToolButton::clicked, this,
                &SingleRegister::deleteDecisionButton);
        connect(card->textButton(), &QToolButton::clicked, this, &SingleRegister::decisionText);
        connect(card->saveButton(), &QToolButton::clicked, this, &SingleRegister::saveDecision);
    }
    // A click into another card stores the decision by the move itself.
    connect(m_cards, &ui::CardList::cardPressed, this, [this](int row) {
        if (profileOf(m_body).cardClickSaves && m_mode != Mode::Browse &&
            row == m_decisions->decisions().currentRow())
            saveDecisionIfEditing();
    });
    // A decision stored by a move tells its number once the move is done.
    connect(&decisions, &db::DataSet::stateChanged, this, [this](db::DataSet::State state) {
        if (state == db::DataSet::State::Browse)
            QMetaObject::invokeMethod(this, &SingleRegister::showNotices, Qt::QueuedConnection);
    });
    // Nothing typed is stored as empty for want of being read.
    decisions.setLeaveCheck([this] { return readable(m_decisionFields); });
    connect(m_cards, &ui::CardList::moveFailed, this, [this] {
        showError(m_decisions->decisions().lastError(),
                  m_decisions->decisions().lastErrorDetails());
    });
    layout->addWidget(m_cards, 1);
    setDeleteLabel(QStringLiteral("Karar   Sil"));
    plainFonts(box);
    return box;
}

DecisionCard *SingleRegister::currentCard() const
{
    return static_cast<DecisionCard *>(m_cards->currentCard());
}

void SingleRegister::setMode(Mode mode)
{
    m_mode = mode;
    const bool entry = mode != Mode::Browse;
    m_particulars->setEnabled(entry);
    m_attendanceBox->setEnabled(entry);
    m_decisionArea->setEnabled(entry);
    m_list->setEnabled(!entry);
    m_variant->setEnabled(!entry);
    showCaptions(entry);
    m_delete->setEnabled(!entry);
    m_exit->setEnabled(!entry);
    m_attendancePanel->setMenuAttached(entry);
}

void SingleRegister::setDeleteLabel(const QString &label)
{
    m_deleteLabel = label;
    for (int slot = 0; slot < m_cards->visibleCards(); ++slot)
        static_cast<DecisionCard *>(m_cards->card(slot))->deleteButton()->setText(label);
}

void SingleRegister::currentMeetingChanged(bool force)
{
    db::DataSet &ds = m_meetings->meetings();
    if (!ds.isOpen())
        return;
    showMeetingType(m_type, ds);
    m_delete->setVisible(m_meetings->deletionOffered());
    const int kayno = recordNumber();
    if (!force && kayno == m_shownMeeting)
        return;
    m_shownMeeting = kayno;
    try {
        m_decisions->list(kayno);
        m_attendance->list(kayno, m_session.workingYearNumber());
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    currentDecisionChanged();
}

void SingleRegister::currentDecisionChanged()
{
    if (!m_kind)
        return;
    const db::DataSet &ds = m_decisions->decisions();
    const QString etur = ds.isOpen() && ds.currentRow() >= 0
                             ? ds.value(QStringLiteral("ETUR")).toString()
                             : QString();
    m_kind->setCurrentIndex(m_kind->findData(etur));
}

void SingleRegister::followMeetingValues()
{
    // A decision stored during the entry takes the meeting as it is on screen.
    if (m_mode == Mode::Browse)
        return;
    const db::DataSet &ds = m_meetings->meetings();
    m_decisions->setMeeting(recordNumber(), ds.value(QStringLiteral("TARIH")).toDate());
}

void SingleRegister::openData()
{
    m_heldKind.clear();
    try {
        // The list's own moves show nothing; the caller shows the result once.
        const QScopedValueRollback<bool> reading(m_reading, true);
        m_meetings->list();
        if (m_department) {
            m_department->clear();
            for (const auto &[code, name] : m_decisions->departments())
                m_department->addItem(name, code);
            m_department->setCurrentIndex(-1);
            m_decisionFields->refresh();
        }
        m_dataOpen = true;
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void SingleRegister::closeData()
{
    m_meetings->meetings().close();
    m_decisions->decisions().close();
    m_attendance->attendance().close();
    if (m_department)
        m_department->clear();
    m_shownMeeting = -1;
    m_dataOpen = false;
}

void SingleRegister::formActivate()
{
    // An entry stays as the clerk left it when the window comes back.
    if (m_mode != Mode::Browse)
        return;
    m_attendancePanel->setMenuAttached(false);
    openData();
    currentMeetingChanged(true);
}

void SingleRegister::beginNew()
{
    if (!beginEntry(Mode::New))
        return;
    setMode(Mode::New);
    m_type->setCurrentIndex(0);
    const int kayno = recordNumber();
    try {
        m_decisions->prepareNumbering();
        followMeetingValues();
        m_shownMeeting = kayno;
        m_attendance->list(kayno, m_session.workingYearNumber());
        m_decisions->list(kayno);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    m_number->setFocus();
}

void SingleRegister::beginChange()
{
    if (!beginEntry(Mode::Change))
        return;
    setMode(Mode::Change);
    followMeetingValues();
    try {
        m_decisions->prepareNumbering();
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    m_number->setFocus();
}

void SingleRegister::focusSummary()
{
    if (DecisionCard *card = currentCard()) {
        card->summary()->setFocus();
        card->summary()->moveCursor(QTextCursor::End);
    }
}

void SingleRegister::saveMeeting()
{
    const db::DataSet &decisions = m_decisions->decisions();
    MeetingRules::ScreenState screen;
    screen.typeChosen = m_type->currentIndex() >= 0;
    screen.decisionSummaryEmpty =
        decisions.isEditing() &&
        decisions.value(QStringLiteral("OZET")).toString().trimmed().isEmpty();
    const MeetingRules::CheckResult check = m_meetings->check(screen);
    if (!check.passed()) {
        m_session.messages().information(this, check.message);
        switch (check.field) {
        case MeetingRules::Field::Time:
            m_time->setFocus();
            break;
        case MeetingRules::Field::Type:
            m_type->setFocus();
            break;
        case MeetingRules::Field::Summary:
            focusSummary();
            break;
        case MeetingRules::Field::Date:
            m_date->setFocus();
            break;
        case MeetingRules::Field::Number:
            m_number->setFocus();
            break;
        case MeetingRules::Field::None:
            break;
        }
        return;
    }
    if (!readable(m_meetingFields) ||
        (m_decisions->decisions().isEditing() && !readable(m_decisionFields)))
        return;
    followMeetingValues();
    bool saved = false;
    {
        const QScopedValueRollback<bool> reading(m_reading, true);
        saved = m_meetings->save(m_decisions.get());
    }
    if (!saved) {
        // The entry stays open with what the clerk typed.
        showError(m_meetings->lastError(), m_meetings->lastErrorDetails());
        showNotices();
        if (m_meetings->lastErrorField() == MeetingRules::Field::Number)
            m_number->setFocus();
        return;
    }
    m_captionsPrefixed = false;
    setMode(Mode::Browse);
    currentMeetingChanged(true);
    showNotices();
}

void SingleRegister::cancelEntry()
{
    const int kayno = recordNumber();
    const bool stored = m_mode == Mode::Change;
    if (profileOf(m_body).cancelDropsDecision)
        m_decisions->cancel();
    m_meetings->cancel();
    // Only now: the list, enabled and taking the focus, would move to a row
    // and so store the entry.
    m_captionsPrefixed = false;
    setMode(Mode::Browse);
    if (stored)
        refreshCount(kayno);
    currentMeetingChanged(false);
}

void SingleRegister::refreshCount(int kayno)
{
    if (kayno <= 0)
        return;
    try {
        m_meetings->refreshDecisionCount(kayno);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void SingleRegister::showNotices()
{
    QStringList notices = m_meetings->takeNotices();
    notices << m_decisions->takeNotices();
    for (const QString &n : std::as_const(notices))
        m_session.messages().information(this, n);
}

void SingleRegister::deleteMeeting()
{
    // The key follows its button: hidden or disabled, it does nothing.
    if (m_mode != Mode::Browse || !m_dataOpen || m_delete->isHidden() || !m_delete->isEnabled())
        return;
    bool removed = false;
    {
        const QScopedValueRollback<bool> reading(m_reading, true);
        removed = m_meetings->remove(this);
    }
    if (!removed) {
        showError(m_meetings->lastError(), m_meetings->lastErrorDetails());
        return;
    }
    currentMeetingChanged(true);
}

void SingleRegister::switchVariant()
{
    if (m_mode != Mode::Browse)
        return;
    m_session.setMensek(QStringLiteral("0"));
    m_closing = true;
    close();
}

bool SingleRegister::readable(const ui::FieldBinder *fields)
{
    QWidget *box = fields->unreadable();
    if (!box)
        return true;
    m_session.messages().information(this, fields->unreadableText(box));
    box->setFocus();
    return false;
}

bool SingleRegister::saveDecisionIfEditing()
{
    if (!m_decisions->decisions().isEditing())
        return true;
    if (!readable(m_decisionFields))
        return false;
    followMeetingValues();
    const bool saved = m_decisions->save();
    if (!saved)
        showError(m_decisions->lastError(), m_decisions->lastErrorDetails());
    showNotices();
    if (saved && profileOf(m_body).countDuringEntry)
        refreshCount(recordNumber());
    return saved;
}

void SingleRegister::addDecision()
{
    if (m_mode == Mode::Browse)
        return;
    followMeetingValues();
    const bool added = m_decisions->add(QTime::currentTime());
    showNotices();
    if (!added) {
        showError(m_decisions->lastError(), m_decisions->lastErrorDetails());
        return;
    }
    m_deleteMode = true;
    setDeleteLabel(QStringLiteral("İptal"));
    if (profileOf(m_body).countDuringEntry)
        refreshCount(recordNumber());
    focusSummary();
}

void SingleRegister::deleteDecisionButton()
{
    if (m_mode == Mode::Browse)
        return;
    if (m_deleteMode) {
        // The first click after an addition only takes the addition back.
        if (m_decisions->decisions().isEditing())
            m_decisions->cancel();
        setDeleteLabel(QStringLiteral("Karar Sil"));
        m_deleteMode = false;
        return;
    }
    if (m_decisions->decisions().currentRow() < 0)
        return;
    if (!m_decisions->remove(this)) {
        showError(m_decisions->lastError(), m_decisions->lastErrorDetails());
        return;
    }
    if (profileOf(m_body).countDuringEntry)
        refreshCount(recordNumber());
}

void SingleRegister::decisionText()
{
    if (m_mode == Mode::Browse || !saveDecisionIfEditing())
        return;
    const db::DataSet &ds = m_decisions->decisions();
    if (ds.currentRow() < 0 || ds.value(QStringLiteral("KARNO")).toInt() == 0)
        return;
    if (m_openEditor)
        m_openEditor(*this);
}

void SingleRegister::saveDecision()
{
    if (m_mode != Mode::Browse)
        saveDecisionIfEditing();
}

bool SingleRegister::attendanceMenuAttached() const
{
    return m_attendancePanel->menuAttached();
}

void SingleRegister::addMembers()
{
    m_attendancePanel->addMembers();
}

void SingleRegister::removeMember()
{
    m_attendancePanel->removeMember();
}

bool SingleRegister::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize) {
        const int others = m_list->columnWidth(0) + m_list->columnWidth(1) + m_list->columnWidth(3);
        const int needed =
            m_list->fontMetrics().horizontalAdvance(QStringLiteral("ENCÜMEN OTURUMU")) + 12;
        m_list->setColumnWidth(2, qMax(needed, m_list->viewport()->width() - others));
    }
    return QWidget::eventFilter(watched, event);
}

void SingleRegister::contextMenuEvent(QContextMenuEvent *event)
{
    // The window's own menu has only hidden entries, for its keys.
    event->accept();
}

} // namespace mizro::reg
