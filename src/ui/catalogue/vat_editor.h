#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The editor of one VAT rate, for a new rate or a change of an existing one.
// Stores the rate before it closes; a rate that cannot be stored is reported
// and the editor stays open.
class Ttva_details : public QDialog
{
    Q_OBJECT

public:
    explicit Ttva_details(QWidget *parent = nullptr);

    // Prepares the editor for a new rate: title "Nouveau taux de TVA", button "Ajouter".
    void nouveauTaux();
    // Prepares the editor for a change of rate id, showing its current value.
    void modifierTaux(int id, const QString &taux);

    // Shows the editor modally; true when a rate was stored.
    bool run();
    // The main button.
    void validate();

protected:
    void done(int result) override;

private:
    int m_id = -1; // the rate being changed, -1 for a new one
    bool m_stored = false;
    QLineEdit *m_rate;
    QPushButton *m_ok;
};
