#include "planning/planning_print.h"

#include "common/errors.h"
#include "common/format.h"
#include "common/print_scale.h"
#include "data/reservation.h"
#include "planning/planning_dates.h"
#include "settings/settings.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace PlanningPrint {

namespace {

const QString kFamily = QStringLiteral("DejaVu Sans");
const QString kLegend = QStringLiteral(" : indique un changement de client");
constexpr double kRow = 100;

// Top of row r (0-based) and the first row's offset of each view.
double rowTop(const Page &page, int r)
{
    return page.month ? 400 + kRow * (r + 1) : 500 + kRow * r;
}

double markTop(const Page &page, int r)
{
    return page.month ? 400 + kRow * (r + 1) : 490 + kRow * r;
}

double framesBottom(const Page &page)
{
    return kRow * page.rowLabels.size() + 500;
}

double legendTop(const Page &page)
{
    return page.month ? 3700 : 1500;
}

// The lowest point drawn, for fitting the page's height.
double contentBottom(const Page &page)
{
    double bottom = framesBottom(page) + 10;
    if (page.legend)
        bottom = qMax(bottom, legendTop(page) + 80);
    return bottom + 40;
}

void drawTextAt(QPainter &painter, double x, double y, const QString &text)
{
    painter.drawText(QRectF(x, y, 20000, 1000), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

} // namespace

Page build(const Options &options)
{
    Page page;
    page.month = options.month;
    page.legend = options.changeMarks;
    const int rooms = Settings::roomCount(15);
    page.roomNames = Settings::roomNames(rooms);

    QList<QDate> days;
    QDate after;
    if (options.month) {
        const QDate first(options.date.year(), options.date.month(), 1);
        for (int d = 0; d < first.daysInMonth(); ++d)
            days.append(first.addDays(d));
        after = first.addMonths(1);
        page.title = PlanningDates::nomMois(first);
        for (const QDate &day : days)
            page.rowLabels.append(QStringLiteral("%1/%2/%3")
                                      .arg(day.day())
                                      .arg(day.month())
                                      .arg(day.year() % 100, 2, 10, QLatin1Char('0')));
    } else {
        const QDate monday = PlanningDates::mondayOf(options.date);
        for (int d = 0; d < 7; ++d)
            days.append(monday.addDays(d));
        after = monday.addDays(7);
        page.title = PlanningDates::weekTitle(monday);
        for (int d = 1; d <= 7; ++d)
            page.rowLabels.append(Format::dayName(d));
    }

    const Reservation reservation;
    for (int room = 1; room <= rooms; ++room) {
        QStringList cells;
        QList<bool> marks;
        QString previous;
        for (const QDate &day : days) {
            const QString name = reservation.getNomClientJour(room, day);
            cells.append(options.names ? name : reservation.getEtatJour(room, day));
            marks.append(options.changeMarks && !previous.isEmpty() && previous != name);
            previous = name;
        }
        const QString next = reservation.getNomClientJour(room, after);
        page.markBelow.append(options.changeMarks && !previous.isEmpty() && previous != next);
        page.cells.append(cells);
        page.markAbove.append(marks);
    }
    return page;
}

void paint(const Page &page, QPainter &painter, const PrintScale &scale)
{
    painter.save();
    scale.apply(painter);
    // A month of 31 rows needs more height than some pages offer: everything
    // shrinks alike so that every day stays on the page.
    const double fit = qMin(1.0, scale.pageHeight() / contentBottom(page));
    painter.scale(fit, fit);
    const double width = scale.pageWidth() / fit;
    const double height = scale.pageHeight() / fit;
    const int n = int(page.roomNames.size());
    const double w = std::floor((width - 150) / (n + 1));

    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0, 0, width - 1, height - 1));

    if (page.month) {
        painter.setFont(PrintScale::font(kFamily, 20));
        drawTextAt(painter, std::floor((width - 40 * page.title.size()) / 2), 100, page.title);
    } else {
        painter.setFont(PrintScale::font(kFamily, 18));
        drawTextAt(painter, 100, 100, page.title);
    }

    QFont bold = PrintScale::font(kFamily, 8);
    bold.setBold(true);
    QFont italic = PrintScale::font(kFamily, 8);
    italic.setItalic(true);
    const QFont plain = PrintScale::font(kFamily, 8);

    for (int i = 1; i <= n; ++i) {
        const double left = i * w + 50;
        painter.setFont(bold);
        const QString name = page.roomNames.at(i - 1);
        const QFontMetricsF metrics(bold, painter.device());
        const QString shown = metrics.elidedText(name, Qt::ElideRight, w - 10);
        // Centred over the column.
        const double textWidth = painter.boundingRect(QRectF(0, 0, 20000, 1000), Qt::AlignLeft, shown).width();
        drawTextAt(painter, left + qMax(0.0, (w - textWidth) / 2), 350, shown);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(QRectF(left, 450, w, framesBottom(page) - 450));
    }

    painter.setFont(italic);
    for (int r = 0; r < page.rowLabels.size(); ++r)
        drawTextAt(painter, 50, rowTop(page, r), page.rowLabels.at(r));

    painter.setFont(plain);
    for (int i = 1; i <= n; ++i) {
        const double left = i * w + 50;
        const QStringList &cells = page.cells.at(i - 1);
        for (int r = 0; r < cells.size(); ++r) {
            const QRectF cell(i * w + 70, rowTop(page, r), w - 30, kRow);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop,
                             painter.fontMetrics().elidedText(cells.at(r), Qt::ElideRight, int(cell.width())));
            if (page.markAbove.at(i - 1).at(r))
                painter.fillRect(QRectF(left, markTop(page, r), w, 5), QColor(0xFF, 0, 0));
        }
        if (page.markBelow.at(i - 1))
            painter.fillRect(QRectF(left, framesBottom(page) - (page.month ? 0 : 10), w, 5), QColor(0xFF, 0, 0));
    }

    if (page.legend) {
        const double top = legendTop(page);
        painter.fillRect(QRectF(50, top, w, 5), QColor(0xFF, 0, 0));
        drawTextAt(painter, 50 + w + 20, top - 40, kLegend);
    }
    painter.restore();
}

namespace {

void paintOn(QPrinter &printer, const Page &page)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        throw KestrovaError(QStringLiteral("L'impression du planning n'a pas pu commencer."));
    paint(page, painter, PrintScale::forDevice(printer));
    if (!painter.end())
        throw KestrovaError(QStringLiteral("L'impression du planning a échoué."));
}

QString jobName(const Options &options)
{
    return options.month ? QStringLiteral("Planning du mois") : QStringLiteral("Planning de la semaine");
}

} // namespace

void print(const Options &options)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw KestrovaError(
            QStringLiteral("Aucune imprimante par défaut n'est configurée : le planning n'a pas été imprimé."));
    const Page page = build(options);
    for (int copy = 0; copy < qMax(1, options.copies); ++copy) {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(jobName(options));
        paintOn(printer, page);
    }
}

QStringList printToPdf(const Options &options, const QString &path)
{
    const Page page = build(options);
    const QFileInfo target(path);
    QStringList written;
    for (int copy = 1; copy <= qMax(1, options.copies); ++copy) {
        const QString file = copy == 1 ? path
                                       : target.path() + QLatin1Char('/') + target.completeBaseName() +
                                             QStringLiteral("-%1.").arg(copy) + target.suffix();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(4.2, 4.2, 4.2, 4.2), QPageLayout::Millimeter);
        printer.setDocName(jobName(options));
        paintOn(printer, page);
        written.append(file);
    }
    return written;
}

} // namespace PlanningPrint
