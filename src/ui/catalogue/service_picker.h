#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class TextGrid;

// The service picker: adds a service with its quantity to a services grid
// (row 0 titles, service rows, a trailing empty row; column 0 service number,
// 1 label, 2 quantity), or changes the quantity of one line. Only columns 0 to
// 2 are written; the caller computes prices and totals afterwards.
//
//     TSelectPrestation picker(this);
//     if (picker.ajouter(grid))            // or picker.modifier(grid, row)
//         recomputeTotals();
//
// The grid must outlive the picker's modal run.
class TSelectPrestation : public QDialog
{
    Q_OBJECT

public:
    explicit TSelectPrestation(QWidget *parent = nullptr);

    // Prepares adding a line: every service the grid does not hold yet,
    // the placeholder chosen, quantity "1", button "Ajouter".
    void initListePrestations(TextGrid &grille);
    // Prepares changing line ligne: its service chosen and locked, its
    // quantity shown, button "Modifier".
    void initListePrestationsForUpdate(TextGrid &grille, int ligne);

    // When adding, the quantity a chosen service starts with (instead of "1"),
    // as long as the user has not typed one.
    void setQuantiteInitiale(std::function<int(int service)> quantite);

    // Shows the picker modally after one of the two above; true when the grid changed.
    bool run();
    // initListePrestations (or ...ForUpdate) followed by run().
    bool ajouter(TextGrid &grille);
    bool modifier(TextGrid &grille, int ligne);

    // The main button; does nothing while no service is chosen.
    void validate();
    bool gridChanged() const { return m_changed; }

private:
    void prepare(TextGrid &grille, int ligne);

    void serviceChosen();

    std::function<int(int)> m_initialQuantity;
    bool m_quantityTyped = false;
    TextGrid *m_grid = nullptr;
    int m_line = -1; // -1 when adding
    bool m_changed = false;
    QComboBox *m_services;
    QLineEdit *m_quantity;
    QPushButton *m_validate;
    QPushButton *m_cancel;
};
