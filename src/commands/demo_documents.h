#pragma once

#include <QStringList>

// The invoices and quotes of the demonstration hotel (after its clients and
// services): paid and unpaid invoices, one with a discount, one without tax,
// and quotes, one with a comment of two lines. Appends a line to the summary.
void demoDocuments(QStringList &summary);
