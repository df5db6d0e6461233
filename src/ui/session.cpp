#include "session.h"

#include "fileprompts.h"

#include <QCursor>
#include <QGuiApplication>

namespace mizro::ui {

Session::Session(Messages &messages, QObject *parent)
    : QObject(parent), m_messages(messages), m_ownFiles(std::make_unique<DialogFilePrompts>()),
      m_files(m_ownFiles.get())
{
    // A write waiting for a row another clerk holds shows that it waits.
    m_db.setBusyHandler([](bool busy) {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return;
        if (busy)
            QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        else
            QGuiApplication::restoreOverrideCursor();
    });
}

Session::~Session() = default;

void Session::setFilePrompts(FilePrompts *files)
{
    m_files = files ? files : m_ownFiles.get();
}

} // namespace mizro::ui
