#include "ui/app_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace parcelo {

namespace {

QPixmap paintProgramIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    // three slices of one page, drawn apart
    const QColor paper(0xf4, 0xf6, 0xfa);
    const QColor edge(0x2b, 0x5c, 0x9e);
    const QColor lines(0x8f, 0xa8, 0xc8);
    const int tops[] = {4, 24, 44};
    for (int i = 0; i < 3; ++i) {
        const qreal shift = (i - 1) * 4.0;
        QPainterPath slice;
        slice.addRoundedRect(QRectF(12 + shift, tops[i], 40, 16), 3, 3);
        painter.setPen(QPen(edge, 2.5));
        painter.setBrush(paper);
        painter.drawPath(slice);
        painter.setPen(QPen(lines, 2));
        painter.drawLine(QPointF(18 + shift, tops[i] + 6), QPointF(46 + shift, tops[i] + 6));
        painter.drawLine(QPointF(18 + shift, tops[i] + 11), QPointF(38 + shift, tops[i] + 11));
    }
    // the cut marks
    painter.setPen(QPen(QColor(0xe0, 0x7b, 0x1f), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(2, 22), QPointF(8, 22));
    painter.drawLine(QPointF(56, 42), QPointF(62, 42));
    return pixmap;
}

} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(paintProgramIcon(size));
    return icon;
}

QIcon themedIcon(const char* themeName, QStyle::StandardPixmap fallback)
{
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
    if (!themed.isNull())
        return themed;
    return QApplication::style()->standardIcon(fallback);
}

} // namespace parcelo
