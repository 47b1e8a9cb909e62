#pragma once

#include <QString>
#include <QStringList>

// The headless subcommands: `kestrova [--dir DIR] NAME ARGS...`. Each one
// returns the process exit code and prints a clear message on failure; the
// table that names them for the command line is in ui/app/commands.h.
// Each subcommand lives in its own source file.
int runInit(const QString &dataDir, const QStringList &args);
int runDemo(const QString &dataDir, const QStringList &args);
int runExport(const QString &dataDir, const QStringList &args);
int runStatistiques(const QString &dataDir, const QStringList &args);
// `xlsx statistiques ANNEE MESURE FICHIER`, reached through `xlsx`.
int runXlsxStatistiques(const QStringList &args);
int runClients(const QString &dataDir, const QStringList &args);
int runXlsx(const QString &dataDir, const QStringList &args);
int runArchive(const QString &dataDir, const QStringList &args);
int runRestaurer(const QString &dataDir, const QStringList &args);
int runImporter(const QString &dataDir, const QStringList &args);
int runFacturePdf(const QString &dataDir, const QStringList &args);
int runDevisPdf(const QString &dataDir, const QStringList &args);
int runEnvoyer(const QString &dataDir, const QStringList &args);
int runImprimer(const QString &dataDir, const QStringList &args);
int runIcal(const QString &dataDir, const QStringList &args);
int runClient(const QString &dataDir, const QStringList &args);
int runBase(const QString &dataDir, const QStringList &args);
// The planning kind of `imprimer`, reached through runImprimer.
int runImprimerPlanning(const QStringList &args);
