#pragma once

#include <QDialog>

class AdvancedServicesPanel;
class QTabWidget;
class StandardServicesPanel;

// The services window: creates, changes and deletes the chargeable services
// and their prices per room, either with one price for all rooms ("Mode
// standard") or room by room ("Mode avancé"). Shown modally from the menu.
class TForm5 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm5(QWidget *parent = nullptr);

    // Reads the number of rooms and fills every list and grid again; done each
    // time the window is shown, as the settings and the rates may have changed.
    void reload();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reloadServices();

    QTabWidget *m_tabs;
    StandardServicesPanel *m_standard;
    AdvancedServicesPanel *m_advanced;
};
