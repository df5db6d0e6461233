#include "scriptedmessages.h"

namespace mizro::ui {

void ScriptedMessages::record(Kind kind, const QString &text, const QString &details)
{
    m_entries.append({kind, text, details});
    if (m_hook)
        m_hook(m_entries.last());
}

void ScriptedMessages::information(QWidget *, const QString &text)
{
    record(Kind::Information, text);
}

bool ScriptedMessages::question(QWidget *, const QString &text)
{
    record(Kind::Question, text);
    return m_answers.isEmpty() ? false : m_answers.dequeue();
}

void ScriptedMessages::error(QWidget *, const QString &text, const QString &details)
{
    record(Kind::Error, text, details);
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const Entry &e : m_entries)
        out << e.text;
    return out;
}

} // namespace mizro::ui
