#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class RoomPricesModel;
class RoomPricesView;

// The fields of one service priced room by room: label, rate, the room-prices
// grid, the two flags and the page's button; optionally a list of services on
// top. A rate chosen by the user is applied to every room of the grid. Child
// names start with the given prefix ("advancedAddLabel", ...).
class RoomPricesPage : public QWidget
{
    Q_OBJECT

public:
    RoomPricesPage(const QString &prefix, const QString &buttonText, bool withServiceList,
                   QWidget *parent = nullptr);

    QComboBox *serviceList() const { return m_service; } // nullptr without one
    QLineEdit *label() const { return m_label; }
    QComboBox *rate() const { return m_rate; }
    RoomPricesView *view() const { return m_view; }
    RoomPricesModel *prices() const;
    QCheckBox *freeForChildren() const { return m_free; }
    QCheckBox *automatic() const { return m_automatic; }
    QPushButton *button() const { return m_button; }

    // Shows a rate in the list without applying it to the grid; a rate no
    // longer offered is added so that it shows.
    void showRate(const QString &rate);

private:
    QComboBox *m_service = nullptr;
    QLineEdit *m_label;
    QComboBox *m_rate;
    RoomPricesView *m_view;
    QCheckBox *m_free;
    QCheckBox *m_automatic;
    QPushButton *m_button;
};
