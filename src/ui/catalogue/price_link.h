#pragma once

#include <QObject>

class QComboBox;
class QLineEdit;

// Keeps a price before VAT and a price with VAT consistent while the user
// types: a key in one field or a new rate recomputes the other price. Only
// the user's edits trigger it, so a computed price never computes back.
class PriceLink : public QObject
{
    Q_OBJECT

public:
    PriceLink(QLineEdit *ht, QComboBox *rate, QLineEdit *ttc, QObject *parent = nullptr);

private:
    void updateTtc();
    void updateHt();

    QLineEdit *m_ht;
    QComboBox *m_rate;
    QLineEdit *m_ttc;
};
