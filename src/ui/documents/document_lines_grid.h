#pragma once

#include "common/text_grid.h"

#include <QTableView>

#include <functional>

class QAction;
class QMenu;
class TextGridModel;

// The line grid of the invoice and quote forms: the service id column hidden,
// then label, quantity, totals and rate. Its context menu ("Ajouter",
// "Modifier", "Supprimer") and a double-click add and change lines through the
// service picker, then reprice every line at room() prices; linesChanged()
// tells the form to recompute its totals. Read-only grids offer no menu entry
// and ignore double-clicks.
class DocumentLinesGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DocumentLinesGrid(QWidget *parent = nullptr);

    const TextGrid &grid() const;
    // Replaces the lines (titles are rewritten); emits nothing.
    void setGrid(const TextGrid &grid);
    void clearLines();

    // The room whose prices are used when lines are (re)priced.
    void setRoom(int room) { m_room = room; }
    int room() const { return m_room; }

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    // Called before a line is added; returning false cancels it (the quote
    // form asks for a room first).
    void setAddGuard(std::function<bool()> guard) { m_addGuard = std::move(guard); }

    // MajListePrestations: every line repriced at room() prices, then linesChanged().
    void MajListePrestations();
    // The menu's entries (also the double-click).
    void AjoutPrestation();
    void MajPrestation();
    void SuppPrestation();

    // Grid row of the selected line, -1 when the selected row holds none.
    int selectedLine() const { return m_selectedLine; }
    void selectGridRow(int gridRow);

    QMenu *menu() const { return m_menu; }
    QAction *ajouterAction() const { return m_ajouter; }
    QAction *modifierAction() const { return m_modifier; }
    QAction *supprimerAction() const { return m_supprimer; }

signals:
    void linesChanged();
    void selectedLineChanged(int gridRow);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rowSelected(int gridRow);
    void replaceLines(const TextGrid &grid, int selectRow);
    void layOutColumns();

    TextGridModel *m_model;
    QMenu *m_menu;
    QAction *m_ajouter;
    QAction *m_modifier;
    QAction *m_supprimer;
    std::function<bool()> m_addGuard;
    int m_room = 1;
    int m_selectedLine = -1;
    bool m_readOnly = false;
};
