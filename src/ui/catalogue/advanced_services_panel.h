#pragma once

#include <QWidget>

class ChoiceList;
class RoomPricesPage;
class QTabWidget;

// "Mode avancé" of the services window: services with a price of their own in
// each room, added ("Ajout") or changed ("Modification") through a grid of
// rooms.
class AdvancedServicesPanel : public QWidget
{
    Q_OBJECT

public:
    explicit AdvancedServicesPanel(QWidget *parent = nullptr);

    // Sets up both grids for these rooms with empty prices and the rate of their list.
    void setRooms(const QStringList &roomNames);
    void fillRates(const ChoiceList &rates);
    void fillServices(const ChoiceList &services);
    // Empties every field typed: after the rate lists are filled again, prices
    // typed before would no longer match the rate shown.
    void clearEntries();

signals:
    void servicesChanged();

private:
    void addService();
    void showService();
    void modifyService();
    void resetModification();
    int roomsNow() const;

    QStringList m_roomNames;
    QTabWidget *m_tabs;
    RoomPricesPage *m_add;
    RoomPricesPage *m_modify;
};
