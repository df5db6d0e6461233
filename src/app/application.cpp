#include "application.h"

#include <QMessageBox>
#include <exception>

namespace mizro::app {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        qCritical("unhandled error in an event handler: %s", e.what());
        if (!m_showing) {
            m_showing = true;
            QMessageBox box(QMessageBox::Critical, applicationName(),
                            QStringLiteral("Beklenmeyen bir hata oluştu; işlem yapılamadı."),
                            QMessageBox::Ok, activeWindow());
            box.setDetailedText(QString::fromLocal8Bit(e.what()));
            box.exec();
            m_showing = false;
        }
    }
    return false;
}

} // namespace mizro::app
