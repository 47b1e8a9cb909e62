#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class QPainter;
class PrintScale;

// The printed planning: a week or a month of every room, with the rooms' states
// or their occupants' names, and red marks where the occupant changes. Laid out
// in 600-dpi units on a landscape page; each copy is a print job of its own.
namespace PlanningPrint {

struct Options
{
    bool month = false;
    QDate date;
    bool names = false;       // "Nom des occupants" rather than "Etat des chambres"
    bool changeMarks = false; // [Impression] changementClient
    int copies = 1;
};

// What one page shows, read from the database.
struct Page
{
    bool month = false;
    QString title;
    QStringList roomNames;          // rooms 1..N
    QStringList rowLabels;          // days, top to bottom
    QList<QStringList> cells;       // per room, per row
    QList<QList<bool>> markAbove;   // per room, per row: a change of client at the top of the row
    QList<bool> markBelow;          // per room: a change after the last row
    bool legend = false;
};

Page build(const Options &options);
// Draws the page on a painter that takes device pixels of a device of the given
// scale; the rows shrink when a long month would not fit the page's height.
void paint(const Page &page, QPainter &painter, const PrintScale &scale);

// Every copy on the default printer, one job each, without a dialog. Throws
// KestrovaError (French) when no printer is set up or a job fails.
void print(const Options &options);
// The same pages through the printer's PDF output, one file per copy: the path
// given for the first, "-2", "-3"... before the extension for the others.
// Returns the files written.
QStringList printToPdf(const Options &options, const QString &path);

} // namespace PlanningPrint
