#pragma once

#include "data/data_module.h"

// The number the next invoice receives: the counter of table facturation, which
// the settings form sets from the number the user types.
class InvoiceCounter
{
public:
    // The highest invoice number stored (0 without invoices).
    int highestNumber() const;
    // The number the next invoice will receive.
    int nextNumber() const;
    // Makes n the next invoice's number. Refused (KestrovaError, French text,
    // nothing changed) when an invoice numbered n or higher exists: the engine
    // would skip past it and the next invoice would get another number.
    void setNext(int n) const;

private:
    DataModule::Use m_use;
};
