#include "reportpreview.h"

#include "reportprogress.h"
#include "reportrenderer.h"

#include <QAction>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace mizro::reports {

ReportPreview::ReportPreview(const ReportDocument &doc, QPrinter *printer, QWidget *parent,
                             int progressDelayMs)
    : QPrintPreviewDialog(printer, parent), m_doc(doc), m_delay(progressDelayMs)
{
    setObjectName(QStringLiteral("QRPreview"));
    setWindowTitle(doc.layout.name);
    ReportRenderer::preparePrinter(doc, *printer);
    connect(this, &QPrintPreviewDialog::paintRequested, this, &ReportPreview::paint);
    // A whole page at a time.
    if (auto *fit = findChild<QAction *>(QStringLiteral("fitPageAction")))
        fit->setChecked(true);
    if (QPrintPreviewWidget *w = previewWidget())
        w->setZoomMode(QPrintPreviewWidget::FitInView);
    resize(1000, 720);
}

QPrintPreviewWidget *ReportPreview::previewWidget() const
{
    return findChild<QPrintPreviewWidget *>();
}

void ReportPreview::paint(QPrinter *printer)
{
    ReportProgress progress(this, QStringLiteral("Sayfalar çiziliyor..."), m_delay);
    m_complete = ReportRenderer::print(m_doc, *printer, progress.hook(m_doc.pageCount()));
}

} // namespace mizro::reports
