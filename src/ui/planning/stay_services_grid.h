#pragma once

#include "common/text_grid.h"

#include <QTableView>

class QAction;
class QMenu;
class TextGridModel;

// The daily services of the advanced reservation form: service (number
// hidden) and quantity per night, a trailing empty row for the next entry.
// Its menu adds, changes and removes lines through the service picker; the
// stay is written only when the form is validated.
class StayServicesGrid : public QTableView
{
    Q_OBJECT

public:
    explicit StayServicesGrid(QWidget *parent = nullptr);

    // Titles "Prestation", "Nb / jour" and one empty row.
    static TextGrid emptyGrid();

    const TextGrid &grid() const;
    void setGrid(const TextGrid &grid);
    void clearServices() { setGrid(emptyGrid()); }

    void ajouter();
    void modifier();
    void supprimer();

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

private:
    void rowSelected(int gridRow);
    void layOutColumns();

    TextGridModel *m_model;
    QMenu *m_menu;
    QAction *m_ajouter;
    QAction *m_modifier;
    QAction *m_supprimer;
    int m_selectedRow = -1;
};
