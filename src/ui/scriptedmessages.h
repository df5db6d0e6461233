#pragma once

#include "messages.h"

#include <QQueue>
#include <QStringList>
#include <functional>

namespace mizro::ui {

/// Messages for tests and unattended runs: records every text and answers
/// questions from a queue (No when the queue is empty).
class ScriptedMessages : public Messages {
public:
    enum class Kind { Information, Question, Error };
    struct Entry {
        Kind kind;
        QString text;
        QString details;
    };

    void information(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    using Messages::error;
    void error(QWidget *parent, const QString &text, const QString &details) override;

    void answer(bool yes) { m_answers.enqueue(yes); }
    /// Called with each message as it is shown (for a test to act meanwhile).
    void onMessage(std::function<void(const Entry &)> hook) { m_hook = std::move(hook); }

    const QVector<Entry> &entries() const { return m_entries; }
    QStringList texts() const;
    QString last() const { return m_entries.isEmpty() ? QString() : m_entries.last().text; }
    void clear() { m_entries.clear(); }

private:
    void record(Kind kind, const QString &text, const QString &details = QString());

    QVector<Entry> m_entries;
    QQueue<bool> m_answers;
    std::function<void(const Entry &)> m_hook;
};

} // namespace mizro::ui
