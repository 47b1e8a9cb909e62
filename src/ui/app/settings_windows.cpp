#include "ui/app/settings_windows.h"

#include "ui/app/main_window.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "ui/settings/planning_print_form.h"
#include "ui/settings/settings_form.h"

#include <QAction>

namespace SettingsWindows {

void install(TForm1 *window, QAction *personnalisation, QAction *imprimer)
{
    auto *settings = new TForm3(window);
    auto *print = new TForm10(window);

    personnalisation->setEnabled(true);
    QObject::connect(personnalisation, &QAction::triggered, window, [window, settings] {
        if (settings->exec() != QDialog::Accepted)
            return;
        try {
            // New rooms, names, colours and display mode, then the views they change.
            window->personnalidation();
        } catch (const KestrovaError &e) {
            Dialogs::error(e.text());
        }
        window->rafraichirVues();
        window->MiseAjourDesStatistiques(0);
    });

    imprimer->setEnabled(true);
    QObject::connect(imprimer, &QAction::triggered, window, [window, print] {
        const bool month = window->tabs()->currentIndex() == TForm1::MonthlyTab;
        print->SelectVueAffichage(month ? QStringLiteral("Mensuel") : QStringLiteral("Hebdomadaire"));
        print->SelectEtatAffichage(window->showsNames() ? QStringLiteral("Nom") : QStringLiteral("Etat"));
        print->setDate(month ? window->displayedMonth() : window->selectedDate());
        print->exec();
    });
}

} // namespace SettingsWindows
