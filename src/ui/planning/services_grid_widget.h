#pragma once

#include "common/text_grid.h"

#include <QTableView>

class QAction;
class QMenu;
class TextGridModel;

// The services grid of the entry panel: the services of the loaded night with
// their quantities and prices for the current room (columns 0 and 6 hidden).
// Its context menu adds, changes and removes lines through the service
// picker; nothing is written to the database until the panel saves.
class ServicesGridWidget : public QTableView
{
    Q_OBJECT

public:
    explicit ServicesGridWidget(QWidget *parent = nullptr);

    const TextGrid &grid() const;
    void setGrid(const TextGrid &grid);
    // Back to the titles and one empty row.
    void clearServices();

    // The room whose prices the grid shows.
    void setRoom(int room) { m_room = room; }
    int room() const { return m_room; }

    // Recomputes the price columns for the room.
    void MajListePrestations();
    // The context menu's entries.
    void AjoutPrestation();
    void MajPrestation();
    void SuppPrestation();

    // Grid row of the selected service, -1 when the selected row holds none.
    int selectedServicesRow() const { return m_selectedRow; }
    void selectGridRow(int gridRow);

    QMenu *menu() const { return m_menu; }
    QAction *ajouterAction() const { return m_ajouter; }
    QAction *modifierAction() const { return m_modifier; }
    QAction *supprimerAction() const { return m_supprimer; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rowSelected(int gridRow);
    void layOutColumns();

    TextGridModel *m_model;
    QMenu *m_menu;
    QAction *m_ajouter;
    QAction *m_modifier;
    QAction *m_supprimer;
    int m_room = 1;
    int m_selectedRow = -1;
};
