#pragma once

#include "reportdocument.h"

#include <QPrintPreviewDialog>

class QPrintPreviewWidget;

namespace mizro::reports {

/// The report's preview: every page, zoomed to show a whole page; printing
/// from it draws the same pages on the chosen printer. Drawing a long
/// report shows its progress.
class ReportPreview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    ReportPreview(const ReportDocument &doc, QPrinter *printer, QWidget *parent = nullptr,
                  int progressDelayMs = 500);
    QPrintPreviewWidget *previewWidget() const;
    /// False once a drawing was cancelled.
    bool complete() const { return m_complete; }

private:
    void paint(QPrinter *printer);

    const ReportDocument &m_doc;
    int m_delay;
    bool m_complete = true;
};

} // namespace mizro::reports
