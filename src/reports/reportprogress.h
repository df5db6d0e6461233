#pragma once

#include "reportdocument.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace mizro::reports {

/// Progress of a long report: a dialog with the pages so far and "İptal",
/// shown only once the work has lasted longer than the delay.
class ReportProgress {
public:
    static constexpr int DefaultDelayMs = 500;

    ReportProgress(QWidget *parent, const QString &work, int delayMs = DefaultDelayMs);
    ~ReportProgress();
    ReportProgress(const ReportProgress &) = delete;
    ReportProgress &operator=(const ReportProgress &) = delete;

    /// Pages done so far, of total when it is known (0: not known). False
    /// once the user has cancelled.
    bool step(int pages, int total = 0);
    ReportProgressHook hook(int total = 0)
    {
        return [this, total](int pages) {
            return step(pages, total);
        };
    }
    bool cancelled() const { return m_cancelled; }
    /// Starts the clock again for the next piece of work.
    void restart(const QString &work);
    QProgressDialog *dialog() const;

private:
    QWidget *m_parent;
    QString m_work;
    int m_delay;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceEvents;
    QPointer<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

} // namespace mizro::reports
