#pragma once

#include <functional>

class QWidget;

// What the invoice and quote windows do with a stored document, whichever its
// kind: print it, write its PDF and open it, e-mail it, delete it after a
// question. A failure of the data layer or of the printer is shown in a box;
// number 0 (a row without a document) does nothing.
class DocumentActions
{
public:
    enum class Kind { Facture, Devis };

    explicit DocumentActions(Kind kind) : m_kind(kind) {}

    void imprimer(int numero) const;
    void genererPdf(int numero) const;
    // Asks "Comfirmez-vous la suppression de cette facture ?" (or "de ce
    // devis ?"), deletes, then says "Facture supprimée" (or "Devis supprimé")
    // when it was. True when the user agreed: the caller shows its list again.
    bool supprimer(int numero) const;

    // The e-mail: installed by whoever provides the e-mail window; none at
    // first, and envoyerParEmail does nothing while none is set.
    void setEmailSender(std::function<void(int numero)> sender) { m_emailSender = std::move(sender); }
    bool canEmail() const { return bool(m_emailSender); }
    void envoyerParEmail(int numero) const;

    // A new document was just saved: printed, then e-mailed, as the form's
    // check boxes ask.
    void apresCreation(int numero, bool imprimerApres, bool envoyerApres) const;

    // The e-mail window's call for a document of that kind, shown over parent.
    static std::function<void(int numero)> emailSender(Kind kind, QWidget *parent);

private:
    Kind m_kind;
    std::function<void(int)> m_emailSender;
};
