#pragma once

#include <QQueue>
#include <QString>

class QWidget;

namespace mizro::ui {

/// File choosers. The program asks the user; tests answer from a queue.
/// An empty result means the user cancelled.
class FilePrompts {
public:
    virtual ~FilePrompts() = default;
    /// An existing file in an existing folder.
    virtual QString openFile(QWidget *parent, const QString &caption, const QString &directory,
                             const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &caption, const QString &path,
                             const QString &filter) = 0;
};

class DialogFilePrompts : public FilePrompts {
public:
    QString openFile(QWidget *parent, const QString &caption, const QString &directory,
                     const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &caption, const QString &path,
                     const QString &filter) override;
};

class ScriptedFilePrompts : public FilePrompts {
public:
    void answer(const QString &path) { m_answers.enqueue(path); }
    QString openFile(QWidget *, const QString &, const QString &, const QString &filter) override;
    QString saveFile(QWidget *, const QString &, const QString &, const QString &filter) override;
    int asked() const { return m_asked; }
    const QString &lastFilter() const { return m_lastFilter; }

private:
    QString next(const QString &filter);
    QQueue<QString> m_answers;
    int m_asked = 0;
    QString m_lastFilter;
};

} // namespace mizro::ui
