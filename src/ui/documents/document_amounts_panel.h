#pragma once

#include <QWidget>

class DocumentLinesGrid;
class QLineEdit;

// The amounts of an invoice or a quote form: "Remise", "Acompte", "Reste à
// payer" and the three totals. Attached to a line grid, it recomputes the
// totals whenever the lines or the discount change, and the rest to pay
// whenever the total after tax or the deposit changes.
class DocumentAmountsPanel : public QWidget
{
    Q_OBJECT

public:
    explicit DocumentAmountsPanel(QWidget *parent = nullptr);

    void attach(DocumentLinesGrid *lines);

    // CalculerFacture: the totals of the attached lines with the discount.
    void CalculerFacture();

    // Totals, deposit read only or not; "Remise" stays editable and "Reste à
    // payer" read only in every mode.
    void setEditable(bool editable);
    // Every amount back to "0".
    void clear();
    // Shows stored amounts as they are, without recomputing the totals.
    void setAmounts(const QString &remise, const QString &acompte, const QString &ht, const QString &tva,
                    const QString &ttc);

    // The texts a save stores, checked first: a French message naming the
    // field that is not a number, the empty text when all is well.
    QString verifier() const;

    QLineEdit *remise() const { return m_remise; }
    QLineEdit *acompte() const { return m_acompte; }
    QLineEdit *resteAPayer() const { return m_reste; }
    QLineEdit *totalHt() const { return m_ht; }
    QLineEdit *totalTva() const { return m_tva; }
    QLineEdit *totalTtc() const { return m_ttc; }

private:
    void updateRest();

    DocumentLinesGrid *m_lines = nullptr;
    QLineEdit *m_remise;
    QLineEdit *m_acompte;
    QLineEdit *m_reste;
    QLineEdit *m_ht;
    QLineEdit *m_tva;
    QLineEdit *m_ttc;
};
