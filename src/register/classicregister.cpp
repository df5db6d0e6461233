#include "classicregister.h"

#include "attendancerules.h"
#include "classicdecisionlist.h"
#include "meetingrules.h"
#include "registerparts.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/fieldbinder.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace mizro::reg {

namespace {

using Kind = ui::FieldBinder::Kind;

// What tells the two bodies' windows apart.
struct Profile {
    QString form;
    QString caption;
    QString numberTitle;
    QString typeLabel;
    QString decisionsCaption;
    bool numberEditable;
    bool attendanceInside;  // inside the particulars, disabled while browsing
    bool deleteAlwaysShown; // else only while deletion is offered
    bool keys;              // the window's context menu carries the keys
    bool closeBoxMinimizes;
};

const Profile &profileOf(const ui::Body &body)
{
    static const Profile committee{QStringLiteral("TFRMENC"),
                                   QStringLiteral("ENCÜMEN KARARLARI"),
                                   QStringLiteral("Otr. No"),
                                   QStringLiteral("Oturum Türü"),
                                   QStringLiteral("Alınan Kararlar"),
                                   false,
                                   true,
                                   true,
                                   false,
                                   false};
    static const Profile council{QStringLiteral("TFRMMEC"),
                                 QStringLiteral("MECLİS KARARLARI"),
                                 QStringLiteral("Otr.No"),
                                 QStringLiteral("OturumTürü"),
                                 QStringLiteral("F5-Alınan Kararlar"),
                                 true,
                                 false,
                                 false,
                                 true,
                                 true};
    return body.isCommittee() ? committee : council;
}

} // namespace

ClassicRegister::ClassicRegister(ui::Session &session, const ui::Body &body,
                                 ui::DialogRunner &dialogs, QWidget *parent)
    : MeetingScreen(session, body, dialogs, Variant::Classic, profileOf(body).closeBoxMinimizes,
                    parent)
{
    const Profile &p = profileOf(body);
    setObjectName(p.form);
    setWindowTitle(p.caption);

    m_attendancePanel = new AttendancePanel(m_session, m_body, m_dialogs, *m_attendance,
                                            [this] { return recordNumber(); });
    m_variant = new QToolButton(m_attendancePanel);
    m_variant->setObjectName(QStringLiteral("SpeedButton1"));
    m_variant->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_variant->setToolTip(QStringLiteral("Tek ekranlı kayda geç"));
    m_variant->setAutoRaise(true);
    connect(m_variant, &QToolButton::clicked, this, &ClassicRegister::switchVariant);
    static_cast<QVBoxLayout *>(m_attendancePanel->layout())
        ->addWidget(m_variant, 0, Qt::AlignRight);

    QWidget *particulars = buildParticulars();
    auto *top = new QHBoxLayout;
    top->addWidget(particulars, 3);
    if (!p.attendanceInside)
        top->addWidget(m_attendancePanel, 2);
    buildList();

    m_decisionsButton =
        commandButton(p.decisionsCaption, QStringLiteral("BitBtn5"),
                      QStyle::SP_FileDialogContentsView, QStringLiteral("F5-Alınan Kararlar"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_first, m_second, m_decisionsButton, m_exit, m_delete})
        buttons->addWidget(b);
    buttons->addStretch(1);
    connect(m_decisionsButton, &QPushButton::clicked, this, &ClassicRegister::decisionsButton);
    connect(m_delete, &QPushButton::clicked, this, &ClassicRegister::deleteMeeting);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    if (p.keys) {
        // The council's menu: its entries carry the keys, and each acts only
        // where its button can be clicked.
        const auto entry = [this](const QString &text, Qt::Key key, QPushButton *button,
                                  void (ClassicRegister::*command)()) {
            m_keys << addKey(this, text, key, [this, button, command] {
                if (clickable(button))
                    (this->*command)();
            });
        };
        entry(QStringLiteral("yeni"), Qt::Key_F2, m_first, &ClassicRegister::firstButton);
        entry(QStringLiteral("ddeğiş"), Qt::Key_F4, m_second, &ClassicRegister::secondButton);
        entry(QStringLiteral("sil"), Qt::Key_F10, m_delete, &ClassicRegister::deleteMeeting);
        entry(QStringLiteral("çık"), Qt::Key_Escape, m_exit, &ClassicRegister::exitWindow);
        entry(QStringLiteral("karar"), Qt::Key_F5, m_decisionsButton,
              &ClassicRegister::decisionsButton);
    }

    connect(&m_meetings->meetings(), &db::DataSet::currentRowChanged, this,
            &ClassicRegister::currentMeetingChanged);
    setMode(Mode::Browse);
}

ClassicRegister::~ClassicRegister() = default;

QWidget *ClassicRegister::buildParticulars()
{
    const Profile &p = profileOf(m_body);
    db::DataSet &meetings = m_meetings->meetings();
    QGroupBox *box = boldGroup(QStringLiteral("Oturum Bilgileri"), this);
    m_particulars = box;
    m_number = new QLineEdit(box);
    m_record = new QLabel(box);
    m_date = new QLineEdit(box);
    m_type = meetingTypeSelector(meetings, box);
    m_time = new QLineEdit(box);
    m_description = new QLineEdit(box);
    m_number->setObjectName(QStringLiteral("OTRNO"));
    m_record->setObjectName(QStringLiteral("KAYNO"));
    m_date->setObjectName(QStringLiteral("TARIH"));
    m_time->setObjectName(QStringLiteral("SAAT"));
    m_description->setObjectName(QStringLiteral("ACIK"));
    m_number->setReadOnly(!p.numberEditable);
    m_fields = new ui::FieldBinder(meetings, this);
    m_fields->bind(m_number, QStringLiteral("OTRNO"), Kind::Number);
    m_fields->bind(m_date, QStringLiteral("TARIH"), Kind::Date,
                   QString::fromLatin1(ui::FieldBinder::dateMask()));
    m_fields->bind(m_time, QStringLiteral("SAAT"), Kind::Time,
                   QString::fromLatin1(ui::FieldBinder::timeMask()));
    m_fields->bind(m_description, QStringLiteral("ACIK"), Kind::Text);
    const auto showRecord = [this] {
        const QVariant k = m_meetings->meetings().value(QStringLiteral("KAYNO"));
        m_record->setText(k.isNull() || !k.isValid() ? QString() : QString::number(k.toInt()));
    };
    connect(&meetings, &QAbstractItemModel::dataChanged, this, showRecord);
    connect(&meetings, &db::DataSet::currentRowChanged, this, showRecord);
    const int narrow =
        m_number->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    for (QWidget *w : {static_cast<QWidget *>(m_number), static_cast<QWidget *>(m_date),
                       static_cast<QWidget *>(m_time), static_cast<QWidget *>(m_type)})
        w->setMaximumWidth(narrow * 3 / 2);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    auto *numbers = new QHBoxLayout;
    numbers->addWidget(m_number);
    numbers->addSpacing(12);
    numbers->addWidget(m_record);
    numbers->addStretch(1);
    form->addRow(QStringLiteral("Oturum No"), numbers);
    form->addRow(QStringLiteral("Oturum Tarihi"), m_date);
    form->addRow(p.typeLabel, m_type);
    form->addRow(QStringLiteral("Oturum Saati"), m_time);
    form->addRow(QStringLiteral("Açıklama"), m_description);
    auto *layout = new QHBoxLayout(box);
    layout->addLayout(form, 3);
    if (p.attendanceInside)
        layout->addWidget(m_attendancePanel, 2);
    plainFonts(box);
    if (p.attendanceInside) {
        QFont bold = m_attendancePanel->font();
        bold.setBold(true);
        m_attendancePanel->setFont(bold);
        plainFonts(m_attendancePanel);
    }
    return box;
}

void ClassicRegister::buildList()
{
    const Profile &p = profileOf(m_body);
    const auto as = [](Kind kind) {
        return [kind](const QVariant &v) {
            return ui::FieldBinder::text(v, kind);
        };
    };
    m_meetings->meetings().setDisplayColumns(
        {{QStringLiteral("TARIH"), QStringLiteral("Otr.Tarihi"), as(Kind::Date)},
         {QStringLiteral("OTRNO"), p.numberTitle},
         {QStringLiteral("SAAT"), QStringLiteral("Otr.Saati"), as(Kind::Time)},
         {QStringLiteral("OTURUM"), QStringLiteral("Oturum Türü")},
         {QStringLiteral("ACIK"), QStringLiteral("Açıklama")},
         {QStringLiteral("KARSAY"), QStringLiteral("Adet")}});
    m_list = new ui::DataGrid(m_session.messages(), this);
    m_list->setObjectName(QStringLiteral("DBGrid1"));
    m_list->setShowsErrors(false);
    m_list->setDataSet(&m_meetings->meetings());
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->hide();
    // Widths from the font, not from the rows: a year of meetings is not
    // measured each time the list is read.
    m_list->horizontalHeader()->setStretchLastSection(false);
    const QFontMetrics fm = m_list->fontMetrics();
    const int widths[] = {fm.horizontalAdvance(QStringLiteral("00/00/00000")),
                          fm.horizontalAdvance(QStringLiteral("Otr. No00")),
                          fm.horizontalAdvance(QStringLiteral("Otr.Saati00")),
                          fm.horizontalAdvance(QStringLiteral("Olağanüstü000")),
                          0,
                          fm.horizontalAdvance(QStringLiteral("Adet00"))};
    connect(&m_meetings->meetings(), &QAbstractItemModel::modelReset, this, [this, widths] {
        QHeaderView *header = m_list->horizontalHeader();
        for (int c = 0; c < header->count() && c < 6; ++c) {
            if (c == 4) {
                header->setSectionResizeMode(c, QHeaderView::Stretch);
            } else {
                header->setSectionResizeMode(c, QHeaderView::Interactive);
                m_list->setColumnWidth(c, widths[c]);
            }
        }
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, &ClassicRegister::decisionsButton);
}

bool ClassicRegister::clickable(const QPushButton *button)
{
    return button->isVisibleTo(button->window()) && button->isEnabled();
}

void ClassicRegister::setMode(Mode mode)
{
    const Profile &p = profileOf(m_body);
    m_mode = mode;
    const bool entry = mode != Mode::Browse;
    m_particulars->setEnabled(entry);
    m_list->setEnabled(!entry);
    showCaptions(entry);
    for (QPushButton *b : {m_decisionsButton, m_exit, m_delete})
        b->setEnabled(!entry);
    if (!p.deleteAlwaysShown)
        m_delete->setVisible(m_meetings->deletionOffered());
    m_attendancePanel->setMenuAttached(entry);
}

void ClassicRegister::currentMeetingChanged()
{
    const db::DataSet &ds = m_meetings->meetings();
    if (!ds.isOpen() || m_mode == Mode::New)
        return;
    showMeetingType(m_type, ds);
    if (!profileOf(m_body).deleteAlwaysShown)
        m_delete->setVisible(m_meetings->deletionOffered());
    m_attendancePanel->list(recordNumber());
}

void ClassicRegister::openData()
{
    try {
        m_meetings->list();
        m_dataOpen = true;
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void ClassicRegister::closeData()
{
    m_meetings->meetings().close();
    m_attendance->attendance().close();
    m_dataOpen = false;
}

void ClassicRegister::formActivate()
{
    // An entry stays as the clerk left it when the window comes back.
    if (m_mode != Mode::Browse)
        return;
    m_attendancePanel->setMenuAttached(false);
    openData();
    currentMeetingChanged();
}

void ClassicRegister::beginNew()
{
    if (!beginEntry(Mode::New))
        return;
    setMode(Mode::New);
    m_type->setCurrentIndex(0);
    m_attendancePanel->list(recordNumber());
    m_date->setFocus();
}

void ClassicRegister::beginChange()
{
    if (!beginEntry(Mode::Change))
        return;
    setMode(Mode::Change);
    m_date->setFocus();
}

void ClassicRegister::saveMeeting()
{
    MeetingRules::ScreenState screen;
    screen.typeChosen = m_type->currentIndex() >= 0;
    const MeetingRules::CheckResult check = m_meetings->check(screen);
    if (!check.passed()) {
        m_session.messages().information(this, check.message);
        (check.field == MeetingRules::Field::Type ? static_cast<QWidget *>(m_type) : m_time)
            ->setFocus();
        return;
    }
    if (QWidget *box = m_fields->unreadable()) {
        m_session.messages().information(this, m_fields->unreadableText(box));
        box->setFocus();
        return;
    }
    const bool saved = m_meetings->save();
    // A number given instead of one taken meanwhile is told, saved or not.
    const auto notices = m_meetings->takeNotices();
    if (!saved) {
        showError(m_meetings->lastError(), m_meetings->lastErrorDetails());
        for (const QString &n : notices)
            m_session.messages().information(this, n);
        if (m_meetings->lastErrorField() == MeetingRules::Field::Number)
            m_number->setFocus();
        return;
    }
    m_captionsPrefixed = false;
    setMode(Mode::Browse);
    currentMeetingChanged();
    for (const QString &n : notices)
        m_session.messages().information(this, n);
}

void ClassicRegister::cancelEntry()
{
    m_meetings->cancel();
    m_captionsPrefixed = false;
    setMode(Mode::Browse);
    currentMeetingChanged();
}

void ClassicRegister::decisionsButton()
{
    if (m_mode != Mode::Browse || !m_dataOpen || m_meetings->meetings().currentRow() < 0)
        return;
    const int kayno = recordNumber();
    {
        ClassicDecisionList list(m_session, m_body, m_dialogs, m_meetings->meetings(),
                                 *m_attendance, this);
        m_dialogs.exec(list);
    }
    // The list's count follows what was done there.
    try {
        m_meetings->refreshDecisionCount(kayno);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void ClassicRegister::deleteMeeting()
{
    if (m_mode != Mode::Browse || !m_dataOpen || !clickable(m_delete))
        return;
    if (!m_meetings->remove(this)) {
        showError(m_meetings->lastError(), m_meetings->lastErrorDetails());
        return;
    }
    currentMeetingChanged();
}

void ClassicRegister::switchVariant()
{
    m_session.setMensek(QStringLiteral("1"));
    m_closing = true;
    close();
}

void ClassicRegister::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    if (m_keys.isEmpty())
        return;
    QMenu menu(this);
    menu.addActions(m_keys);
    menu.exec(event->globalPos());
}

} // namespace mizro::reg
