#include "net/soap_client.h"

#include <QXmlStreamReader>

#include <curl/curl.h>

#include <algorithm>

namespace {

const char kEnvelopeNs[] = "http://schemas.xmlsoap.org/soap/envelope/";

// Text escaped for XML and encoded in ISO-8859-1; other characters become
// character references, which any reader turns back into the same text.
void appendEscaped(QByteArray &out, const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            if (u < 0x20 && u != '\n' && u != '\t')
                break; // not allowed in XML 1.0
            if (u <= 0xFF)
                out += static_cast<char>(u);
            else if (c.isSurrogate())
                out += "&#" + QByteArray::number(0xFFFD) + ';';
            else
                out += "&#" + QByteArray::number(u) + ';';
        }
    }
}

size_t appendTo(char *data, size_t size, size_t count, void *target)
{
    auto *body = static_cast<QByteArray *>(target);
    if (body->size() > (qsizetype(64) << 20))
        return 0; // no answer of the service is that long
    body->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

} // namespace

SoapClient::SoapClient(const QString &baseAddress) : m_base(baseAddress.trimmed())
{
    while (m_base.endsWith(QLatin1Char('/')))
        m_base.chop(1);
    if (!m_base.contains(QLatin1String("://")))
        m_base.prepend(QStringLiteral("http://"));
    NetLibrary::ensureInitialised();
}

QString SoapClient::endpoint() const
{
    return m_base + QStringLiteral("/kestrova/webservices/wsdl.php");
}

QString SoapClient::soapAction(const QString &operation) const
{
    return endpoint() + QLatin1Char('/') + operation;
}

QString SoapClient::nameSpace() const
{
    return m_base + QStringLiteral("/kestrova/webservices/nusoap/lib/");
}

QByteArray SoapClient::envelope(const QString &operation, const Parameters &parameters) const
{
    QByteArray out;
    out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    out += "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"";
    out += kEnvelopeNs;
    out += "\" xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\""
           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">";
    out += "<SOAP-ENV:Body><ns1:";
    appendEscaped(out, operation);
    out += " xmlns:ns1=\"";
    appendEscaped(out, nameSpace());
    out += "\">";
    for (const auto &[name, value] : parameters) {
        out += '<';
        appendEscaped(out, name);
        out += " xsi:type=\"xsd:string\">";
        appendEscaped(out, value);
        out += "</";
        appendEscaped(out, name);
        out += '>';
    }
    out += "</ns1:";
    appendEscaped(out, operation);
    out += "></SOAP-ENV:Body></SOAP-ENV:Envelope>";
    return out;
}

QString SoapClient::parseResponse(const QByteArray &body, const QString &operation)
{
    QXmlStreamReader xml(body);
    int depth = 0;
    int bodyDepth = -1;
    bool inFault = false;
    QString faultString;
    bool sawResponse = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const bool soapNs = xml.namespaceUri() == QLatin1String(kEnvelopeNs);
            if (soapNs && xml.name() == QLatin1String("Body")) {
                bodyDepth = depth;
            } else if (bodyDepth > 0 && depth == bodyDepth + 1) {
                if (soapNs && xml.name() == QLatin1String("Fault"))
                    inFault = true;
                else
                    sawResponse = true;
            } else if (bodyDepth > 0 && depth == bodyDepth + 2) {
                if (inFault) {
                    if (xml.name() == QLatin1String("faultstring"))
                        faultString = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    else
                        xml.skipCurrentElement();
                    --depth;
                } else if (sawResponse) {
                    // RPC style: the first part of the response is the result.
                    return xml.readElementText(QXmlStreamReader::IncludeChildElements);
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    if (inFault)
        throw NetError(QStringLiteral("Le service web a refusé « %1 » : %2").arg(operation, faultString));
    if (xml.hasError())
        throw NetError(QStringLiteral("Réponse illisible du service web à « %1 » : %2")
                           .arg(operation, xml.errorString()));
    if (sawResponse)
        return {};
    throw NetError(QStringLiteral("Réponse inattendue du service web à « %1 ».").arg(operation));
}

QString SoapClient::call(const QString &operation, const Parameters &parameters)
{
    CURL *c = curl_easy_init();
    if (!c)
        throw NetError(QStringLiteral("Service web injoignable : mémoire insuffisante."));
    char error[CURL_ERROR_SIZE] = {};
    const QByteArray request = envelope(operation, parameters);
    const QByteArray address = endpoint().toUtf8();
    const QByteArray action = "SOAPAction: \"" + soapAction(operation).toUtf8() + '"';
    curl_slist *headers = curl_slist_append(nullptr, "Content-Type: text/xml; charset=ISO-8859-1");
    headers = curl_slist_append(headers, action.constData());
    QByteArray body;
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.constData());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.size()));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &appendTo);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(FtpClient::connectTimeoutSeconds));
    long timeoutMs = requestTimeoutSeconds * 1000L;
    if (!m_deadline.isForever())
        timeoutMs = std::min<long>(timeoutMs, std::max<long>(1, long(m_deadline.remainingTime())));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs);
    const CURLcode rc = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(c);
    if (rc != CURLE_OK)
        throw NetError(QStringLiteral("Service web injoignable (%1) : %2")
                           .arg(endpoint(), error[0] ? QString::fromUtf8(error)
                                                     : QString::fromUtf8(curl_easy_strerror(rc))));
    // A SOAP fault comes with status 500 and is reported with its own text.
    if (status != 200 && status != 500)
        throw NetError(
            QStringLiteral("Le service web a répondu « HTTP %1 » à « %2 ».").arg(status).arg(operation));
    return parseResponse(body, operation);
}

QString SoapClient::VerifUtilisateur(const QString &login, const QString &password,
                                     const QString &autorisation)
{
    return call(QStringLiteral("VerifUtilisateur"), {{QStringLiteral("Login"), login},
                                                     {QStringLiteral("Password"), password},
                                                     {QStringLiteral("Autorisation"), autorisation}});
}

QString SoapClient::CreerSauvegarde(const QString &login, const QString &password)
{
    return call(QStringLiteral("CreerSauvegarde"),
                {{QStringLiteral("Login"), login}, {QStringLiteral("Password"), password}});
}

QString SoapClient::MaJServeur(const QString &login, const QString &password, const QString &planning,
                               const QString &client, const QString &prestations,
                               const QString &planningDetails)
{
    return call(QStringLiteral("MaJServeur"), {{QStringLiteral("Login"), login},
                                               {QStringLiteral("Password"), password},
                                               {QStringLiteral("Planning"), planning},
                                               {QStringLiteral("Client"), client},
                                               {QStringLiteral("Prestations"), prestations},
                                               {QStringLiteral("Planning_details"), planningDetails}});
}
