#pragma once

#include <QObject>

class QAction;
class QWidget;
class TForm11;
class TForm5;
class TForm9;
class TFormTVA;

// The catalogue windows of the menu "Paramètres", created once with the main
// window and reused: services, VAT rates, tariff periods (its menu entry stays
// hidden) and the period types window, which nothing opens.
class CatalogueWindows : public QObject
{
    Q_OBJECT

public:
    explicit CatalogueWindows(QWidget *mainWindow);

    // Creates the windows as children of the main window, connects and enables
    // the three menu entries. The returned object belongs to the main window.
    static CatalogueWindows *install(QWidget *mainWindow, QAction *prestations, QAction *tva,
                                     QAction *periodesTarifaires);

    TForm5 *services() const { return m_services; }
    TFormTVA *vat() const { return m_vat; }
    TForm9 *periods() const { return m_periods; }
    TForm11 *periodTypes() const { return m_periodTypes; }

private:
    TForm5 *m_services;
    TFormTVA *m_vat;
    TForm9 *m_periods;
    TForm11 *m_periodTypes;
};
