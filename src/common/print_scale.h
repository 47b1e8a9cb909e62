#pragma once

#include <QFont>
#include <QString>

class QPainter;
class QPaintDevice;

// Paper layouts (documents, planning) are laid out in the device units of a
// 600-dpi printer: 600 units to the inch, origin at the top left of the
// printable area. This maps them onto the device actually painted on, whatever
// its resolution, so that a page measures the same on every printer: a device
// of R dpi draws one layout unit as R / 600 of its pixels (horizontally and
// vertically on their own, for printers with unequal resolutions).
class PrintScale
{
public:
    static constexpr double kLayoutDpi = 600.0;

    // The mapping for a device of the given resolution whose printable area is
    // widthPx x heightPx device pixels.
    PrintScale(double dpiX, double dpiY, double widthPx, double heightPx);
    // The mapping for a paint device (a QPrinter, a QImage with its dots per meter set).
    static PrintScale forDevice(const QPaintDevice &device);

    // The same mapping made smaller, when needed, so that a layout of the given
    // width (in layout units) fits the printable width; the aspect is kept.
    PrintScale fittingWidth(double layoutWidth) const;

    double factorX() const { return m_factorX; } // device pixels per layout unit
    double factorY() const { return m_factorY; }
    // The printable area in layout units (P and Q of the layouts).
    double pageWidth() const { return m_width; }
    double pageHeight() const { return m_height; }

    // Scales the painter so that it takes layout units from here on.
    void apply(QPainter &painter) const;
    // A font of the given size in points, sized in layout units (12 points =
    // 100 units), to be used on a painter that apply() has scaled.
    static QFont font(const QString &family, double points);

private:
    double m_factorX;
    double m_factorY;
    double m_width;
    double m_height;
};
