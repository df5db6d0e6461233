#include "fileprompts.h"

#include <QFileDialog>

namespace mizro::ui {

QString DialogFilePrompts::openFile(QWidget *parent, const QString &caption,
                                    const QString &directory, const QString &filter)
{
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString DialogFilePrompts::saveFile(QWidget *parent, const QString &caption, const QString &path,
                                    const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, path, filter);
}

QString ScriptedFilePrompts::next(const QString &filter)
{
    ++m_asked;
    m_lastFilter = filter;
    return m_answers.isEmpty() ? QString() : m_answers.dequeue();
}

QString ScriptedFilePrompts::openFile(QWidget *, const QString &, const QString &,
                                      const QString &filter)
{
    return next(filter);
}

QString ScriptedFilePrompts::saveFile(QWidget *, const QString &, const QString &,
                                      const QString &filter)
{
    return next(filter);
}

} // namespace mizro::ui
