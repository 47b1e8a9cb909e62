#pragma once

#include <QString>

// Runs the desktop program on the data directory already entered.
int runGui(const QString &dataDir);
