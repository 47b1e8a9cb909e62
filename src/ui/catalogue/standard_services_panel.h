#pragma once

#include <QWidget>

class ChoiceList;
class QComboBox;
class QGroupBox;
class QPushButton;
class ServiceEntryGroup;

// "Mode standard" of the services window: services with one price for all
// rooms. Adds a service in every room, changes it (only its label when some
// room is priced differently) and deletes it.
class StandardServicesPanel : public QWidget
{
    Q_OBJECT

public:
    explicit StandardServicesPanel(QWidget *parent = nullptr);

    void setRoomCount(int rooms) { m_rooms = rooms; }
    void fillRates(const ChoiceList &rates);
    void fillServices(const ChoiceList &services);
    // Empties every field typed: after the rate lists are filled again, prices
    // typed before would no longer match the rate shown.
    void clearEntries();

signals:
    // The catalogue changed: every list of services must be refilled.
    void servicesChanged();

private:
    void addService();
    void showService();
    void modifyService();
    void deleteService();
    void clearModification();

    int m_rooms = 0;
    ServiceEntryGroup *m_add;
    ServiceEntryGroup *m_modify;
    QGroupBox *m_delete;
    QComboBox *m_deleteList;
    QPushButton *m_deleteButton;
};
