#pragma once

#include <QDate>
#include <QWidget>

class QLineEdit;

// The "Du " and "au" dates of an invoice or a quote, typed day/month/year in
// masked fields. Leaving the first copies it into the second while that one
// is still blank.
class StayDatesFields : public QWidget
{
    Q_OBJECT

public:
    explicit StayDatesFields(const QString &endCaption, QWidget *parent = nullptr);

    // Invalid when blank or not a date.
    QDate debut() const;
    QDate fin() const;
    // An invalid date empties the field.
    void setDates(const QDate &debut, const QDate &fin);
    void clear() { setDates({}, {}); }

    static bool isBlank(const QLineEdit *field);
    void setReadOnly(bool readOnly);

    QLineEdit *debutField() const { return m_debut; }
    QLineEdit *finField() const { return m_fin; }

private:
    QLineEdit *m_debut;
    QLineEdit *m_fin;
};
