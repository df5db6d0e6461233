#include "classiceditor.h"

#include "decisionrules.h"
#include "registerparts.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "db/writeguard.h"
#include "documents/documentcontainer.h"
#include "documents/documentprinter.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/fieldbinder.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace mizro::reg {

namespace {

using Kind = ui::FieldBinder::Kind;

QLineEdit *shown(QWidget *parent, const QString &text)
{
    auto *e = new QLineEdit(text, parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

} // namespace

bool ClassicEditor::edit(ui::Session &session, ui::DialogRunner &dialogs, const ui::Body &body,
                         const Source &source, Mode mode, QWidget *parent)
{
    ClassicEditor editor(session, body, source, mode, parent);
    const bool saved = editor.prepare() && dialogs.exec(editor) == QDialog::Accepted;
    if (!saved)
        source.decisions->cancel();
    return saved;
}

ClassicEditor::ClassicEditor(ui::Session &session, const ui::Body &body, const Source &source,
                             Mode mode, QWidget *parent)
    : TemplatedDialog(session, body, parent), m_source(source), m_mode(mode),
      m_fields(new ui::FieldBinder(source.decisions->decisions(), this)),
      m_print(new QPushButton(QStringLiteral("F7-Yazdır"), this))
{
    const bool committee = body.isCommittee();
    setObjectName(committee ? QStringLiteral("TFRMENCKAR") : QStringLiteral("TFRMMECKAR"));
    setWindowTitle(committee ? QStringLiteral("ENCÜMEN KARARLARI")
                             : QStringLiteral("MECLİS KARARLARI"));
    resize(1000, 720);
    setTemplateMenuPlace(400, 570);
    cancelButton()->setText(committee ? QStringLiteral("ESC-Çıkış") : QStringLiteral("ESC-İptal"));
    // Both bodies' cancel answers to Esc, as its caption says.
    if (auto *cancelKey = findChild<QAction *>(QStringLiteral("Vazgec1")))
        cancelKey->setShortcut(QKeySequence(Qt::Key_Escape));
    m_print->setObjectName(QStringLiteral("SB4"));
    m_print->setAutoDefault(false);
    m_print->setFocusPolicy(Qt::NoFocus);
    connect(m_print, &QPushButton::clicked, this, &ClassicEditor::print);
    buttons()->insertWidget(3, m_print);
    auto *printKey = new QAction(this);
    printKey->setObjectName(QStringLiteral("Yazdir1"));
    printKey->setShortcut(QKeySequence(Qt::Key_F7));
    printKey->setShortcutContext(Qt::WindowShortcut);
    connect(printKey, &QAction::triggered, this, &ClassicEditor::print);
    addAction(printKey);
    headerArea()->addWidget(buildFields());
}

ClassicEditor::~ClassicEditor() = default;

db::DataSet &ClassicEditor::row() const
{
    return m_source.decisions->decisions();
}

QVariant ClassicEditor::meetingValue(const QString &field) const
{
    if (!m_source.meeting || m_source.meeting->currentRow() < 0)
        return QVariant();
    return m_source.meeting->value(field);
}

QWidget *ClassicEditor::buildFields()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto edit = [&](const QString &field, Kind kind) {
        auto *e = new QLineEdit(box);
        e->setObjectName(field);
        m_fields->bind(e, field, kind,
                       kind == Kind::Date ? QString::fromLatin1(ui::FieldBinder::dateMask())
                                          : QString());
        return e;
    };
    // A label over its boxes, which stand side by side from the column on.
    const auto place = [&](const QString &text, int r, int c,
                           std::initializer_list<QWidget *> boxes, int lastSpan = 1) {
        // Tall enough for the dots of capital letters.
        auto *caption = new QLabel(text, box);
        caption->setMinimumHeight(caption->fontMetrics().height() + 2);
        grid->addWidget(caption, r, c, 1, int(boxes.size()) - 1 + lastSpan);
        for (QWidget *w : boxes) {
            grid->addWidget(w, r + 1, c, 1, w == *std::rbegin(boxes) ? lastSpan : 1);
            ++c;
        }
    };
    m_number = edit(QStringLiteral("KARNO"), Kind::Number);
    m_order = edit(QStringLiteral("SNO"), Kind::Number);
    m_summary = edit(QStringLiteral("OZET"), Kind::Text);
    const int numberWidth =
        m_number->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16;
    for (QLineEdit *e : {m_number, m_order})
        e->setMaximumWidth(numberWidth);
    if (!m_body.isCommittee()) {
        QLineEdit *meeting =
            shown(box, ui::FieldBinder::text(meetingValue(QStringLiteral("OTRNO")), Kind::Number));
        meeting->setObjectName(QStringLiteral("OTRNO"));
        meeting->setMaximumWidth(numberWidth);
        place(QStringLiteral("Oturum No"), 0, 0, {meeting});
        place(QStringLiteral("Karar No"), 0, 1, {m_number});
        place(QStringLiteral("Sıra No"), 0, 2, {m_order});
        place(QStringLiteral("Karar Özeti"), 0, 3, {m_summary});
        grid->setColumnStretch(3, 1);
        return box;
    }
    m_kind = documentKindSelector(box);
    connect(m_kind, &QComboBox::activated, this, [this](int index) {
        m_source.decisions->setDocumentKind(m_kind->itemData(index).toString());
    });
    QLineEdit *registryNumber = edit(QStringLiteral("EKAYNO"), Kind::Number);
    QLineEdit *paperDate = edit(QStringLiteral("EVTAR"), Kind::Date);
    QLineEdit *registered = edit(QStringLiteral("EKAYTAR"), Kind::Date);
    QLineEdit *paperNumber = edit(QStringLiteral("EVSAY"), Kind::Number);
    // An integer column: larger numbers fit.
    paperNumber->setValidator(new QIntValidator(std::numeric_limits<qint32>::min(),
                                                std::numeric_limits<qint32>::max(), paperNumber));
    m_department = new QComboBox(box);
    m_department->setObjectName(QStringLiteral("BKOD"));
    QLineEdit *date =
        shown(box, ui::FieldBinder::text(meetingValue(QStringLiteral("TARIH")), Kind::Date));
    QLineEdit *time =
        shown(box, ui::FieldBinder::text(meetingValue(QStringLiteral("SAAT")), Kind::Time));
    date->setObjectName(QStringLiteral("TARIH"));
    time->setObjectName(QStringLiteral("SAAT"));
    const int dateWidth =
        registered->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    for (QLineEdit *e : {paperDate, registered, date})
        e->setMaximumWidth(dateWidth);
    for (QLineEdit *e : {registryNumber, paperNumber, time})
        e->setMaximumWidth(dateWidth * 3 / 4);

    place(QStringLiteral("Karar No/Sıra No"), 0, 0, {m_number, m_order});
    place(QStringLiteral("Evrak Türü"), 0, 2, {m_kind});
    place(QStringLiteral("Evrak Kayıt No"), 0, 3, {registryNumber});
    place(QStringLiteral("Evrak Tarihi"), 0, 4, {paperDate});
    place(QStringLiteral("Kayıt Tarihi / Sayısı"), 0, 5, {registered, paperNumber});
    place(QStringLiteral("İlgili Birim"), 0, 7, {m_department});
    place(QStringLiteral("Karar Özeti"), 2, 0, {m_summary}, 8);
    place(QStringLiteral("Tarihi / Saati"), 2, 8, {date, time});
    grid->setColumnStretch(7, 1);
    return box;
}

bool ClassicEditor::prepare()
{
    popupDoldur();
    db::DataSet &d = row();
    QByteArray stored;
    try {
        if (m_department) {
            for (const auto &[code, name] : m_source.decisions->departments())
                m_department->addItem(name, code);
            m_fields->bindChoice(m_department, QStringLiteral("BKOD"));
        }
        if (m_mode == Mode::New) {
            const QVariant meeting = meetingValue(QStringLiteral("KAYNO"));
            // The council's list appends the row itself; the committee's
            // editor does.
            if (d.state() != db::DataSet::State::Insert) {
                if (!d.append())
                    throw db::DbError(db::DbError::Kind::Other, d.lastError(),
                                      d.lastErrorDetails());
                d.setValue(QStringLiteral("KAYNO"), meeting);
            }
            m_source.decisions->numberPending(meeting.toInt());
        } else {
            stored = m_source.decisions->document();
            d.edit();
            if (m_kind)
                m_kind->setCurrentIndex(
                    d.value(QStringLiteral("ETUR")).toString() == QStringLiteral("E") ? 0 : 1);
        }
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return false;
    }
    m_fields->refresh();
    openDocument(stored);
    return true;
}

void ClassicEditor::editRow()
{
    if (!row().isEditing())
        row().edit();
}

void ClassicEditor::textFormat()
{
    const bool committee = m_body.isCommittee();
    documents::MergeValues values = documents::MergeValues::fromRows(
        row(), meetingValue(QStringLiteral("OTRNO")), m_source.attendance);
    values.date = meetingValue(QStringLiteral("TARIH"));
    values.time = meetingValue(QStringLiteral("SAAT"));
    merge(values, committee ? documents::PlaceholderMerge::Style::ClassicCommittee
                            : documents::PlaceholderMerge::Style::ClassicCouncil);
}

bool ClassicEditor::checked()
{
    struct Check {
        QLineEdit *box;
        const char16_t *message;
    };
    QVector<Check> checks{{m_summary, u"DİKKAT! Karar Özetini Girmelisiniz.."}};
    if (m_body.isCommittee())
        checks << Check{m_number, u"DİKKAT! Karar Numarası Girmelisiniz.."}
               << Check{m_order, u"DİKKAT! Karar Sıra Numarası Girmelisiniz.."};
    for (const Check &c : checks)
        if (c.box->text().trimmed().isEmpty()) {
            m_session.messages().information(this, QString::fromUtf16(c.message));
            c.box->setFocus();
            return false;
        }
    // Nothing typed is stored as empty for want of being read.
    if (QWidget *w = m_fields->unreadable()) {
        m_session.messages().information(this, m_fields->unreadableText(w));
        w->setFocus();
        return false;
    }
    return true;
}

bool ClassicEditor::store(const QByteArray &value)
{
    return checked() && write(value);
}

bool ClassicEditor::write(const QByteArray &value)
{
    DecisionRules &rules = *m_source.decisions;
    db::ErrorText failure;
    try {
        // The row and its document together: a refusal of either leaves the
        // row pending as the clerk typed it and nothing stored.
        db::WriteGuard guard(m_session.database());
        editRow();
        if (!rules.save())
            failure.set(rules.lastError(), rules.lastErrorDetails());
        else if (!rules.storeDocument(value, asRead()))
            failure.set(rules.lastError(), rules.lastErrorDetails());
        else
            guard.commit();
    } catch (const db::DbError &e) {
        failure.set(e);
    }
    // Told once the command has let the numbering go.
    showNotices();
    if (!failure.text.isEmpty()) {
        m_session.messages().error(this, failure.text, failure.details);
        return false;
    }
    setAsRead(value);
    return true;
}

void ClassicEditor::showNotices()
{
    for (const QString &n : m_source.decisions->takeNotices())
        m_session.messages().information(this, n);
}

std::unique_ptr<QPagedPaintDevice> ClassicEditor::defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

void ClassicEditor::print()
{
    if (container()->isEmpty())
        return;
    const std::unique_ptr<QPagedPaintDevice> device = m_printer ? m_printer() : defaultPrinter();
    if (!device) {
        m_session.messages().information(
            this, QStringLiteral("Bu bilgisayarda tanımlı bir yazıcı yok; karar metni "
                                 "yazdırılamadı."));
        return;
    }
    if (documents::DocumentPrinter::print(*container()->document(), container()->pageSetup(),
                                          *device) == 0)
        m_session.messages().error(
            this, QStringLiteral("Karar metni yazıcıya gönderilemedi; yazıcının durumunu "
                                 "denetleyiniz."));
}

} // namespace mizro::reg
