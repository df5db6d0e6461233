#include "reportprogress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace mizro::reports {

ReportProgress::ReportProgress(QWidget *parent, const QString &work, int delayMs)
    : m_parent(parent), m_work(work), m_delay(delayMs)
{
    m_clock.start();
    m_sinceEvents.start();
}

ReportProgress::~ReportProgress()
{
    delete m_dialog;
}

QProgressDialog *ReportProgress::dialog() const
{
    return m_dialog;
}

void ReportProgress::restart(const QString &work)
{
    m_work = work;
    m_clock.restart();
    if (m_dialog)
        m_dialog->setLabelText(work);
}

bool ReportProgress::step(int pages, int total)
{
    if (m_cancelled)
        return false;
    if (!m_dialog && m_clock.elapsed() >= m_delay) {
        m_dialog = new QProgressDialog(m_work, QStringLiteral("İptal"), 0, 0, m_parent);
        m_dialog->setObjectName(QStringLiteral("ReportProgress"));
        m_dialog->setWindowTitle(QStringLiteral("Rapor"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
        m_sinceEvents.invalidate();
    }
    if (!m_dialog)
        return true;
    // The window is kept alive a few dozen times a second, not at every page.
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < 40)
        return true;
    m_sinceEvents.start();
    m_dialog->setRange(0, total);
    if (total > 0)
        m_dialog->setValue(qMin(pages, total));
    m_dialog->setLabelText(
        total > 0 ? QStringLiteral("%1\nSayfa %2 / %3").arg(m_work).arg(pages).arg(total)
                  : QStringLiteral("%1\nSayfa %2").arg(m_work).arg(pages));
    QCoreApplication::processEvents();
    m_cancelled = m_dialog->wasCanceled();
    return !m_cancelled;
}

} // namespace mizro::reports
