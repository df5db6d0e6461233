#include "mdibackdrop.h"

#include <QPainter>

namespace mizro::app {

MdiBackdrop::MdiBackdrop(QWidget *parent) : QMdiArea(parent)
{
    setObjectName(QStringLiteral("MdiArea"));
    setBackground(QColor(0x2f, 0x4f, 0x6f));
}

void MdiBackdrop::setKurum(const QString &kurum)
{
    m_kurum = kurum;
    viewport()->update();
}

void MdiBackdrop::paintEvent(QPaintEvent *event)
{
    QMdiArea::paintEvent(event);
    QPainter p(viewport());
    p.setPen(QColor(0xe8, 0xee, 0xf4));
    const QRect r = viewport()->rect();
    QFont f = font();
    f.setPointSize(f.pointSize() + 14);
    f.setBold(true);
    p.setFont(f);
    const QRect top(r.left(), r.top() + r.height() / 3 - 40, r.width(), 50);
    p.drawText(top, Qt::AlignCenter | Qt::TextWordWrap, m_kurum);
    f.setPointSize(font().pointSize() + 4);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(r.left(), top.bottom() + 10, r.width(), 30), Qt::AlignCenter, titleLine());
}

} // namespace mizro::app
