#include "templateeditor.h"

#include "templaterules.h"

#include "db/dberror.h"
#include "ui/messages.h"
#include "ui/session.h"

namespace mizro::documents {

TemplateEditor::TemplateEditor(ui::Session &session, TemplateRules &rules, QWidget *parent)
    : DocumentDialog(session, parent), m_rules(rules)
{
    setObjectName(QStringLiteral("TFRMORNEK"));
    setWindowTitle(QStringLiteral("Karar Şablonu"));
    resize(1000, 700);
}

bool TemplateEditor::prepare(int number)
{
    m_number = number;
    QByteArray stored;
    try {
        stored = m_rules.document(number);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return false;
    }
    openDocument(stored);
    return true;
}

bool TemplateEditor::store(const QByteArray &value)
{
    if (m_rules.storeDocument(m_number, value, asRead())) {
        setAsRead(value);
        return true;
    }
    m_session.messages().error(this, m_rules.lastError(), m_rules.lastErrorDetails());
    return false;
}

} // namespace mizro::documents
