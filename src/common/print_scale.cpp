#include "common/print_scale.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

PrintScale::PrintScale(double dpiX, double dpiY, double widthPx, double heightPx)
    : m_factorX(dpiX > 0 ? dpiX / kLayoutDpi : 1.0), m_factorY(dpiY > 0 ? dpiY / kLayoutDpi : 1.0),
      m_width(widthPx / m_factorX), m_height(heightPx / m_factorY)
{}

PrintScale PrintScale::forDevice(const QPaintDevice &device)
{
    return PrintScale(device.logicalDpiX(), device.logicalDpiY(), device.width(), device.height());
}

PrintScale PrintScale::fittingWidth(double layoutWidth) const
{
    if (m_width >= layoutWidth || layoutWidth <= 0)
        return *this;
    const double shrink = m_width / layoutWidth;
    PrintScale s = *this;
    s.m_factorX *= shrink;
    s.m_factorY *= shrink;
    s.m_width = layoutWidth;
    s.m_height /= shrink;
    return s;
}

void PrintScale::apply(QPainter &painter) const
{
    painter.scale(m_factorX, m_factorY);
}

QFont PrintScale::font(const QString &family, double points)
{
    QFont f(family);
    f.setPixelSize(qMax(1, int(std::lround(points * kLayoutDpi / 72.0))));
    return f;
}
