#pragma once

#include <QString>

// Invoices of the demonstration hotel: one for the first stay of each of the
// first clients, in every payment mode. Runs inside the demonstration's
// transaction; returns the line of its summary.
namespace InvoiceDemo {

QString ajouterFactures();

} // namespace InvoiceDemo
