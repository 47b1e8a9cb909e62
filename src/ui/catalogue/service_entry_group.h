#pragma once

#include <QGroupBox>

class PriceLink;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The fields of one service with a single price for all rooms: label, price
// before VAT, rate, price with VAT (kept consistent while typed), the two
// flags and the group's button; optionally a list of services on top. Child
// names start with the given prefix ("addLabel", "modifyHt", ...).
class ServiceEntryGroup : public QGroupBox
{
    Q_OBJECT

public:
    ServiceEntryGroup(const QString &title, const QString &prefix, const QString &buttonText,
                      bool withServiceList, QWidget *parent = nullptr);

    QComboBox *serviceList() const { return m_service; } // nullptr without one
    QLineEdit *label() const { return m_label; }
    QLineEdit *ht() const { return m_ht; }
    QComboBox *rate() const { return m_rate; }
    QLineEdit *ttc() const { return m_ttc; }
    QCheckBox *freeForChildren() const { return m_free; }
    QCheckBox *automatic() const { return m_automatic; }
    QPushButton *button() const { return m_button; }

    // Shows a rate in the list; a rate no longer offered is added so that it shows.
    void showRate(const QString &rate);
    void clearPrices();

private:
    QComboBox *m_service = nullptr;
    QLineEdit *m_label;
    QLineEdit *m_ht;
    QComboBox *m_rate;
    QLineEdit *m_ttc;
    QCheckBox *m_free;
    QCheckBox *m_automatic;
    QPushButton *m_button;
    PriceLink *m_link;
};
