#include "app/commands.h"

const QList<Command> &commands()
{
    static const QList<Command> list = {
        {"init", "", "crée la base de données du dossier de données, ou la met à jour", false, &runInit},
        {"export", "clients|reservations|prestations|details",
         "écrit le document XML demandé sur la sortie standard", false, &runExport},
    };
    return list;
}

const Command *findCommand(const QString &name)
{
    for (const Command &c : commands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}
