#pragma once

#include "commands/commands.h"

#include <QList>
#include <QString>
#include <QStringList>

// The command line's table: every subcommand with its usage and summary for
// --help, the headless ones from commands/ and those that need windows.
struct Command
{
    const char *name;
    const char *usage;   // arguments after the name, for --help
    const char *summary; // one line, in French
    bool needsWidgets;   // run under a QApplication (offscreen) rather than a QCoreApplication
    int (*run)(const QString &dataDir, const QStringList &args);
};

const QList<Command> &commands();
const Command *findCommand(const QString &name);

// Renders the main window offscreen into a PNG.
int runScreenshot(const QString &dataDir, const QStringList &args);
