#include "session.h"

namespace mizro::ui {

Session::Session(Messages &messages, QObject *parent) : QObject(parent), m_messages(messages) {}

} // namespace mizro::ui
