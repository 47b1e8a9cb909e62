#pragma once

#include "net/ftp_client.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QPair>
#include <QString>

// The client of the on-line services (KestrovaServices): SOAP 1.1 over HTTP,
// RPC style with SOAP encoding, every parameter and result a string, the
// envelope in ISO-8859-1. The base address ("http://host[:port]") gives the
// endpoint, the SOAP action of each operation and the namespace.
class SoapClient
{
public:
    using Parameters = QList<QPair<QString, QString>>;

    explicit SoapClient(const QString &baseAddress);

    QString endpoint() const;                           // base + "/kestrova/webservices/wsdl.php"
    QString soapAction(const QString &operation) const; // endpoint + "/" + operation
    QString nameSpace() const;                          // base + "/kestrova/webservices/nusoap/lib/"

    // The request for one operation, as ISO-8859-1 bytes (other characters as
    // character references).
    QByteArray envelope(const QString &operation, const Parameters &parameters) const;
    // The text result of a response; throws NetError on a fault or a body that
    // is not the expected response.
    static QString parseResponse(const QByteArray &body, const QString &operation);

    // Posts the request and returns the result. Throws NetError when the
    // service cannot be reached, answers an HTTP error or a fault.
    QString call(const QString &operation, const Parameters &parameters);

    // The operations the program uses.
    QString VerifUtilisateur(const QString &login, const QString &password, const QString &autorisation);
    QString CreerSauvegarde(const QString &login, const QString &password);
    QString MaJServeur(const QString &login, const QString &password, const QString &planning,
                       const QString &client, const QString &prestations, const QString &planningDetails);

    void setDeadline(const QDeadlineTimer &deadline) { m_deadline = deadline; }
    static constexpr int requestTimeoutSeconds = 120;

private:
    QString m_base;
    QDeadlineTimer m_deadline = QDeadlineTimer(QDeadlineTimer::Forever);
};
