#include "decisioneditor.h"

#include "documentcontainer.h"
#include "placeholdermerge.h"

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
    : TemplatedDialog(session, body, parent), m_source(source), m_heading(new QLabel(this))
{
    const bool committee = body.isCommittee();
    setObjectName(committee ? QStringLiteral("TFRMENCKAR1") : QStringLiteral("TFRMMECKAR1"));
    setWindowTitle(committee ? QStringLiteral("ENCÜMEN KARAR METNİ")
                             : QStringLiteral("MECLİS KARAR METNİ"));
    resize(1000, 720);
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
                [this, edit](const QPoint &at) { templateMenu()->popup(edit->mapToGlobal(at)); });
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

void DecisionEditor::editRow()
{
    m_source.decision->edit();
}

void DecisionEditor::textFormat()
{
    merge(MergeValues::fromRows(*m_source.decision, m_source.meetingNumber, m_source.attendance),
          PlaceholderMerge::Style::SingleScreen);
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
