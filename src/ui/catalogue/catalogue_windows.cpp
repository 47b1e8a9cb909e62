#include "ui/catalogue/catalogue_windows.h"

#include "ui/catalogue/period_types_form.h"
#include "ui/catalogue/periods_form.h"
#include "ui/catalogue/services_form.h"
#include "ui/catalogue/vat_form.h"

#include <QAction>

CatalogueWindows::CatalogueWindows(QWidget *mainWindow)
    : QObject(mainWindow), m_services(new TForm5(mainWindow)), m_vat(new TFormTVA(mainWindow)),
      m_periods(new TForm9(mainWindow)), m_periodTypes(new TForm11(mainWindow))
{
    setObjectName(QStringLiteral("catalogueWindows"));
}

CatalogueWindows *CatalogueWindows::install(QWidget *mainWindow, QAction *prestations, QAction *tva,
                                            QAction *periodesTarifaires)
{
    auto *windows = new CatalogueWindows(mainWindow);
    const auto open = [](QAction *action, QDialog *window) {
        if (!action)
            return;
        QObject::connect(action, &QAction::triggered, window, &QDialog::exec);
        // The entry keeps its visibility: "Périodes tarifaires" is not offered, but works.
        action->setEnabled(true);
    };
    open(prestations, windows->m_services);
    open(tva, windows->m_vat);
    open(periodesTarifaires, windows->m_periods);
    return windows;
}
