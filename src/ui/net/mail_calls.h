#pragma once

#include <QString>

class QWidget;

// The single calls other windows use to e-mail a document or write to a client.
// Each prepares the e-mail window and shows it modally; they return true when
// a message went out (its history row is then written, so a caller refreshes
// its list of e-mails).
namespace MailCalls {

// Writes facture.pdf of invoice `numero` without opening it, then prepares the
// window for the invoice's client (address and id read from the invoice).
// A document that cannot be written is reported in an error box; false.
bool envoyerFacture(int numero, QWidget *parent = nullptr);
// The same for quote `numero` and devis.pdf.
bool envoyerDevis(int numero, QWidget *parent = nullptr);
// A free message ("Nouvel Email" of the client card) to `adresse`.
bool envoyerEmailClient(int idClient, const QString &adresse, QWidget *parent = nullptr);

} // namespace MailCalls
