#include "ui/app/commands.h"
#include "ui/app/gui.h"
#include "commands/startup.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "ui/common/message_box_answerer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <memory>

namespace {

void printHelp(QTextStream &out)
{
    out << "Kestrova " << KESTROVA_VERSION << " — gestion des réservations d'un hôtel\n\n"
        << "Usage : kestrova [--dir DOSSIER] [COMMANDE [ARGUMENTS]]\n\n"
        << "Sans commande, la fenêtre principale s'ouvre.\n\n"
        << "Options :\n"
        << "  --dir DOSSIER   dossier de données (sinon KESTROVA_DIR, le dossier du programme\n"
        << "                  s'il contient reserv.mdb ou config.ini, sinon ~/.local/share/Kestrova)\n"
        << "  --help, -h      affiche cette aide\n"
        << "  --version, -v   affiche la version\n\n"
        << "Commandes :\n";
    for (const Command &c : commands()) {
        QString head = QString::fromLatin1(c.name);
        if (*c.usage)
            head += QLatin1Char(' ') + QString::fromUtf8(c.usage);
        out << "  " << head.leftJustified(40) << ' ' << QString::fromUtf8(c.summary) << "\n";
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QTextStream out(stdout);
    QTextStream err(stderr);
    QString dir;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (!rest.isEmpty()) {
            rest << a;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printHelp(out);
            return 0;
        } else if (a == QLatin1String("--version") || a == QLatin1String("-v")) {
            out << "Kestrova " << KESTROVA_VERSION << "\n";
            return 0;
        } else if (a == QLatin1String("--dir")) {
            if (i + 1 >= args.size()) {
                err << "kestrova : --dir attend un dossier.\n";
                return 2;
            }
            dir = args.at(++i);
        } else if (a.startsWith(QLatin1String("--dir="))) {
            dir = a.mid(6);
        } else if (a.startsWith(QLatin1Char('-'))) {
            err << "kestrova : option inconnue « " << a << " ». Voir kestrova --help.\n";
            return 2;
        } else {
            rest << a;
        }
    }

    const Command *command = nullptr;
    if (!rest.isEmpty()) {
        command = findCommand(rest.first());
        if (!command) {
            err << "kestrova : commande inconnue « " << rest.first() << " ». Voir kestrova --help.\n";
            return 2;
        }
        rest.removeFirst();
    }

    std::unique_ptr<QCoreApplication> app;
    if (!command || command->needsWidgets) {
        if (command && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Kestrova"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION));
    if (!command)
        Dialogs::install(std::make_shared<MessageBoxAnswerer>());

    try {
        const QString dataDir = Startup::enterDataDir(dir);
        if (!command)
            return runGui(dataDir);
        return command->run(dataDir, rest);
    } catch (const KestrovaError &e) {
        if (command) {
            err << "kestrova : " << e.text() << "\n";
        } else {
            Dialogs::error(e.text());
        }
        return 1;
    }
}
