#pragma once

#include "planning/night_entry.h"

#include <QString>

// The line the main window's status bar shows after "Valider": what was
// written, in which room, for which client, or why nothing was.
namespace EntryReport {

// After a save that went through. client is the name shown for the client
// the nights now point to (ignored when no night was created or changed).
QString saved(const NightEntry::Outcome &outcome, const QString &room, const QString &client);
// "Valider" without a selected day.
QString nothingSelected();
// A question answered "Non" (past date, capacity) or an error: nothing written.
QString nothingSaved();

// How a client is named in the report: name and first name, else the company.
QString clientName(const QString &nom, const QString &prenom, const QString &nomEts);

} // namespace EntryReport
