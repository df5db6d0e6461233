#include "reactivatingdialog.h"

#include <QApplication>
#include <QEvent>

namespace mizro::ui {

void ReactivatingDialog::backFromOwnWindow()
{
    m_leftForOwnWindow = false;
    formActivate();
}

void ReactivatingDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_leftForOwnWindow = false;
}

void ReactivatingDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isVisible())
        return;
    if (!isActiveWindow()) {
        // Only a return from another window of the program counts.
        m_leftForOwnWindow = QApplication::activeWindow() != nullptr;
    } else if (m_leftForOwnWindow) {
        m_leftForOwnWindow = false;
        formActivate();
    }
}

} // namespace mizro::ui
