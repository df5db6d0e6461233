#include "decisioneditor.h"

#include "documentcontainer.h"
#include "placeholdermerge.h"
#include "templaterules.h"

#include "db/blobcolumn.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace mizro::documents {

namespace {

db::BlobColumn documentsOf(ui::Session &session, const ui::Body &body)
{
    return db::BlobColumn(session.database(), body.decisionTable, QStringLiteral("KARAR"),
                          {QStringLiteral("KAYNO"), QStringLiteral("KARNO")});
}

} // namespace

bool DecisionEditor::edit(ui::Session &session, ui::DialogRunner &dialogs, const ui::Body &body,
                          const Source &source, QWidget *parent)
{
    DecisionEditor editor(session, body, source, parent);
    if (!editor.prepare())
        return false;
    return dialogs.exec(editor) == QDialog::Accepted;
}

DecisionEditor::DecisionEditor(ui::Session &session, const ui::Body &body, const Source &source,
                               QWidget *parent)
    : DocumentDialog(session, parent), m_body(body), m_source(source), m_menu(new QMenu(this)),
      m_templateButton(new QPushButton(QStringLiteral("Şablon Ekle"), this)),
      m_heading(new QLabel(this))
{
    const bool committee = body.isCommittee();
    setObjectName(committee ? QStringLiteral("TFRMENCKAR1") : QStringLiteral("TFRMMECKAR1"));
    setWindowTitle(committee ? QStringLiteral("ENCÜMEN KARAR METNİ")
                             : QStringLiteral("MECLİS KARAR METNİ"));
    resize(1000, 720);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_templateButton->setObjectName(QStringLiteral("SB3"));
    m_templateButton->setAutoDefault(false);
    m_templateButton->setFocusPolicy(Qt::NoFocus);
    connect(m_templateButton, &QPushButton::clicked, this, &DecisionEditor::showTemplateMenu);
    buttons()->insertWidget(2, m_templateButton);
    m_heading->setObjectName(QStringLiteral("Heading"));
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    headerArea()->addWidget(m_heading);
    if (!committee) {
        // The council's document area offers the templates as its own menu.
        QTextEdit *edit = container()->editor();
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(edit, &QWidget::customContextMenuRequested, this,
                [this, edit](const QPoint &at) { m_menu->popup(edit->mapToGlobal(at)); });
    }
}

QVariantList DecisionEditor::key() const
{
    const db::DataSet &d = *m_source.decision;
    if (d.currentRow() < 0 || d.state() == db::DataSet::State::Insert)
        throw db::DbError(db::DbError::Kind::Other,
                          QStringLiteral("Karar kaydedilmeden metni okunamaz ya da yazılamaz."));
    return {d.oldValue(QStringLiteral("KAYNO")), d.oldValue(QStringLiteral("KARNO"))};
}

bool DecisionEditor::prepare()
{
    popupDoldur();
    db::DataSet &d = *m_source.decision;
    QByteArray stored;
    try {
        stored = documentsOf(m_session, m_body).read(key());
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return false;
    }
    d.edit();
    m_heading->setText(QStringLiteral("Karar No: %1    Sıra No: %2    Tarih: %3    Karar Özeti: %4")
                           .arg(PlaceholderMerge::text(d.value(QStringLiteral("KARNO"))),
                                PlaceholderMerge::text(d.value(QStringLiteral("SNO"))),
                                PlaceholderMerge::text(d.value(QStringLiteral("TARIH"))),
                                d.value(QStringLiteral("OZET")).toString().simplified().left(120)));
    openDocument(stored);
    return true;
}

void DecisionEditor::popupDoldur()
{
    m_menu->clear();
    QVector<TemplateRules::Offer> offers;
    try {
        offers = TemplateRules::offered(m_session.database(), m_body);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return;
    }
    int tag = 0;
    for (const TemplateRules::Offer &o : offers) {
        QString shown = o.description;
        QAction *a = m_menu->addAction(shown.replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setProperty("caption", o.description);
        a->setData(tag++);
        connect(a, &QAction::triggered, this, [this, a] { popupClick(a); });
    }
}

void DecisionEditor::showTemplateMenu()
{
    const int entries = int(m_menu->actions().size());
    m_menu->popup(QPoint(x() + 210, y() - 10 * entries + 586));
}

void DecisionEditor::popupClick(QAction *entry)
{
    const QString caption = entry->property("caption").toString();
    int number = -1;
    try {
        // The first template of the query carrying exactly this description.
        for (const TemplateRules::Offer &o : TemplateRules::offered(m_session.database(), m_body))
            if (o.description == caption) {
                number = o.number;
                break;
            }
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return;
    }
    if (number < 0)
        return;
    if (!m_session.messages().question(
            this, QStringLiteral("DİKKAT Bu Karar İçeriği Silinip Belirtilen Örnek bilgisi "
                                 "yüklenecektir. ONAYLIYORMUSUNUZ")))
        return;
    QByteArray value;
    try {
        value = TemplateRules::documentOf(m_session.database(), number);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return;
    }
    m_source.decision->edit();
    loadAndShow(value);
    textFormat();
}

void DecisionEditor::textFormat()
{
    if (container()->isEmpty())
        return;
    const MergeValues values =
        MergeValues::fromRows(*m_source.decision, m_source.meetingNumber, m_source.attendance);
    try {
        PlaceholderMerge::run(values, [this](const QString &placeholder, const QString &text) {
            return container()->replaceLast(placeholder, text);
        });
    } catch (const DocumentContainer::Error &e) {
        m_session.messages().error(this, e.text());
        return;
    }
    showDocument();
}

bool DecisionEditor::store(const QByteArray &value)
{
    db::DataSet &d = *m_source.decision;
    try {
        const QVariantList k = key();
        d.edit();
        documentsOf(m_session, m_body).write(k, value, asRead());
        setAsRead(value);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return false;
    }
    // The committee's register posts the row itself.
    if (!m_body.isCommittee() && !d.post()) {
        m_session.messages().error(this, d.lastError(), d.lastErrorDetails());
        return false;
    }
    return true;
}

} // namespace mizro::documents
