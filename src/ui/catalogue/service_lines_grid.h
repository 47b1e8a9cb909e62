#pragma once

#include "common/text_grid.h"

#include <QTableView>

#include <functional>

class QAction;
class QMenu;
class TextGridModel;

// What every services grid shares (entry panel, invoice and quote lines, the
// daily services of a stay): a TextGrid shown one view row per grid row (row 0
// titles, column 0 the service number, 1 the label, 2 the quantity, a trailing
// empty row for the next entry). Its menu ("Ajouter", "Modifier", "Supprimer")
// and a double-click add and change lines through the service picker;
// "Modifier" and "Supprimer" are enabled on a row that holds a service. A
// read-only grid offers no menu entry and ignores double-clicks. Nothing is
// written to the database here: the window that holds the grid saves it.
//
// A subclass gives its columns (layOutColumns, shaped) and what follows an
// edit (lineEdited: repricing; lineRemoved, lineSelected: its signals).
class ServiceLinesGrid : public QTableView
{
    Q_OBJECT

public:
    const TextGrid &grid() const;
    // Replaces the lines (as shaped() makes them); the selection is cleared.
    void setGrid(const TextGrid &grid);

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    // The menu's entries (also the double-click).
    void AjoutPrestation();
    void MajPrestation();
    void SuppPrestation();

    void selectGridRow(int gridRow);

    QMenu *menu() const { return m_menu; }
    QAction *ajouterAction() const { return m_ajouter; }
    QAction *modifierAction() const { return m_modifier; }
    QAction *supprimerAction() const { return m_supprimer; }

protected:
    // The actions are named "ajouter", "modifier", "supprimer" followed by
    // actionSuffix; columns from firstRightAligned on (none when negative)
    // are right-aligned, as quantities and amounts read best.
    ServiceLinesGrid(const QString &objectName, const QString &actionSuffix, int firstRightAligned,
                     QWidget *parent);

    // Grid row of the selected service, -1 when the selected row holds none.
    int selectedRow() const { return m_selectedRow; }
    // Reprices a copy of the lines; a failure is shown and leaves the grid as
    // it was. The selected line stays selected. False on failure.
    bool repriceLines(const std::function<void(TextGrid &)> &reprice);

    // The grid setGrid() shows for grid: titles, columns, trailing row.
    virtual TextGrid shaped(const TextGrid &grid) const { return grid; }
    // Removes line row (a service), keeping the trailing empty row.
    virtual void removeLine(TextGrid &grid, int row) const;
    virtual void layOutColumns() = 0;
    // After the picker added or changed a line.
    virtual void lineEdited() {}
    // After the selected line was removed.
    virtual void lineRemoved() {}
    // The selected service changed (-1 for none).
    virtual void lineSelected(int gridRow) { Q_UNUSED(gridRow) }
    // Asked before the picker opens to add a line; false cancels.
    virtual bool mayAdd() { return true; }
    // The quantity a service starts with in the picker when added; none
    // (the picker's "1") when empty.
    virtual std::function<int(int service)> initialQuantity() const { return {}; }

    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rowSelected(int gridRow);
    // Shows lines as they are, then selects selectRow (nothing when -1).
    void replaceLines(const TextGrid &lines, int selectRow);

    TextGridModel *m_model;
    QMenu *m_menu;
    QAction *m_ajouter;
    QAction *m_modifier;
    QAction *m_supprimer;
    int m_selectedRow = -1;
    bool m_readOnly = false;
};
