#include "session.h"

#include "fileprompts.h"

namespace mizro::ui {

Session::Session(Messages &messages, QObject *parent)
    : QObject(parent), m_messages(messages), m_ownFiles(std::make_unique<DialogFilePrompts>()),
      m_files(m_ownFiles.get())
{
}

Session::~Session() = default;

void Session::setFilePrompts(FilePrompts *files)
{
    m_files = files ? files : m_ownFiles.get();
}

} // namespace mizro::ui
