#include "buttonclosedialog.h"

#include <QCloseEvent>

namespace mizro::ui {

void ButtonCloseDialog::closeThroughButton(int result)
{
    m_mayClose = true;
    done(result);
}

void ButtonCloseDialog::reject()
{
    if (m_mayClose)
        QDialog::reject();
    else
        refusedEscape();
}

void ButtonCloseDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_mayClose = false;
}

void ButtonCloseDialog::closeEvent(QCloseEvent *event)
{
    if (!m_mayClose) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace mizro::ui
