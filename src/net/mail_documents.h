#pragma once

#include <QString>

// An invoice or a quote made ready to go by e-mail: its PDF written (not
// opened) into the data directory, and the client's address and id read from
// the document, as the invoice and quote windows do before showing the e-mail
// window.
struct MailDocument
{
    QString kind; // "facture" or "devis"
    int numero = 0;
    QString adresse;
    int idClient = 0;
    QString pdfPath;

    // Throws KestrovaError (French) when the document does not exist or its
    // PDF cannot be written.
    static MailDocument prepare(const QString &kind, int numero);
};
