#include "commands/document_commands.h"

#include "commands/startup.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "invoices/facture.h"
#include "quotes/devis.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

QString kindName(DocumentCommands::Kind kind)
{
    return kind == DocumentCommands::Kind::Facture ? QStringLiteral("facture") : QStringLiteral("devis");
}

// A positive document number, or 0 after a message on standard error.
int numberArgument(const QString &command, const QString &text, QTextStream &err)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n <= 0) {
        err << command << " : « " << text << " » n'est pas un numéro de document.\n";
        return 0;
    }
    return n;
}

// Opens the database and checks that the document exists; the message says which one is missing.
bool documentExists(DocumentCommands::Kind kind, const QString &command, int n, QTextStream &err)
{
    const bool found = kind == DocumentCommands::Kind::Facture ? Facture().existe(n) : Devis().existe(n);
    if (!found)
        err << command << " : "
            << (kind == DocumentCommands::Kind::Facture ? QStringLiteral("la facture N° %1 n'existe pas.")
                                                        : QStringLiteral("le devis N° %1 n'existe pas."))
                   .arg(n)
            << "\n";
    return found;
}

} // namespace

namespace DocumentCommands {

int writePdf(Kind kind, const QString &name, const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList rest = args;
    const bool open = rest.removeAll(QStringLiteral("--ouvrir")) > 0;
    // An invoice is written as an electronic invoice with --facturx, or when the setting says so.
    const bool facturx = kind == Kind::Facture && rest.removeAll(QStringLiteral("--facturx")) > 0;
    if (rest.size() != 1) {
        err << name << " : indiquez un numéro de " << kindName(kind) << " (" << name << " N [--ouvrir]"
            << (kind == Kind::Facture ? " [--facturx]" : "") << ").\n";
        return 2;
    }
    const int n = numberArgument(name, rest.first(), err);
    if (n == 0)
        return 2;
    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    if (!documentExists(kind, name, n, err))
        return 1;
    const QString path =
        kind == Kind::Facture
            ? Facture().genererPdfFacture(n, open, facturx ? Facture::Sortie::Facturx : Facture::Sortie::Reglage)
            : Devis().genererPdfDevis(n, open);
    out << QDir::toNativeSeparators(path) << "\n";
    return 0;
}

int print(Kind kind, const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString name = QStringLiteral("imprimer");
    QString pdf;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--pdf")) {
            if (i + 1 >= args.size()) {
                err << name << " : --pdf attend un nom de fichier.\n";
                return 2;
            }
            pdf = args.at(++i);
        } else {
            rest << args.at(i);
        }
    }
    if (rest.size() != 1) {
        err << name << " : indiquez un numéro de " << kindName(kind) << " (imprimer " << kindName(kind)
            << " N [--pdf FICHIER]).\n";
        return 2;
    }
    const int n = numberArgument(name, rest.first(), err);
    if (n == 0)
        return 2;
    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    if (!documentExists(kind, name, n, err))
        return 1;
    if (!pdf.isEmpty()) {
        const QString path = QFileInfo(pdf).absoluteFilePath();
        if (kind == Kind::Facture)
            Facture().imprimerFactureVersPdf(n, path);
        else
            Devis().imprimerDevisVersPdf(n, path);
        out << QDir::toNativeSeparators(path) << "\n";
    } else if (kind == Kind::Facture) {
        Facture().imprimerFacture(n);
    } else {
        Devis().imprimerDevis(n);
    }
    return 0;
}

} // namespace DocumentCommands
