#!/usr/bin/python3
"""Stand-in of the on-line services (KestrovaServices) for tests and for trying
the "Services Web" window: SOAP 1.1, RPC style, ISO-8859-1, on 127.0.0.1.

    backup_soap_server.py --users users.json [--calls calls.jsonl] [--port 0]

users.json: [{"login": "a@b.fr", "password": "x", "number": 7,
              "autorisations": ["Sauvegarde", "Planning"]}, ...]
Prints "PORT <n>" once listening. Every call is appended to --calls as one
JSON line (operation, SOAPAction header, content type, parameters).
The description is served at /kestrova/webservices/wsdl.php?wsdl.
"""
import argparse
import json
import sys
import threading
import xml.etree.ElementTree as ET
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from xml.sax.saxutils import escape

PATH = "/kestrova/webservices/wsdl.php"
ENV = "http://schemas.xmlsoap.org/soap/envelope/"
OPERATIONS = [
    ("Bonjour", ["name"]),
    ("VerifUtilisateur", ["Login", "Password", "Autorisation"]),
    ("CreerSauvegarde", ["Login", "Password"]),
    ("MaJPlanningWeb", ["Login", "Password", "TypeMaj", "Planning", "Client"]),
    ("MaJServeur", ["Login", "Password", "Planning", "Client", "Prestations", "Planning_details"]),
]


def wsdl(base):
    ns = base + "/kestrova/webservices/nusoap/lib/"
    parts = []
    messages = []
    ops = []
    bindings = []
    for name, params in OPERATIONS:
        messages.append('<message name="%sRequest">%s</message>' % (
            name, "".join('<part name="%s" type="xsd:string"/>' % p for p in params)))
        messages.append('<message name="%sResponse"><part name="return" type="xsd:string"/></message>' % name)
        ops.append('<operation name="%s"><input message="tns:%sRequest"/><output message="tns:%sResponse"/></operation>'
                   % (name, name, name))
        body = '<soap:body use="encoded" namespace="%s" encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"/>' % ns
        bindings.append('<operation name="%s"><soap:operation soapAction="%s%s/%s" style="rpc"/>'
                        '<input>%s</input><output>%s</output></operation>' % (name, base, PATH, name, body, body))
    parts.append('<?xml version="1.0" encoding="ISO-8859-1"?>')
    parts.append('<definitions xmlns="http://schemas.xmlsoap.org/wsdl/" '
                 'xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/" '
                 'xmlns:xsd="http://www.w3.org/2001/XMLSchema" '
                 'xmlns:tns="%s" targetNamespace="%s">' % (ns, ns))
    parts.extend(messages)
    parts.append('<portType name="KestrovaServicesPortType">%s</portType>' % "".join(ops))
    parts.append('<binding name="KestrovaServicesBinding" type="tns:KestrovaServicesPortType">'
                 '<soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>%s</binding>'
                 % "".join(bindings))
    parts.append('<service name="KestrovaServices"><port name="KestrovaServicesPort" '
                 'binding="tns:KestrovaServicesBinding"><soap:address location="%s%s"/></port></service>'
                 % (base, PATH))
    parts.append('</definitions>')
    return "".join(parts).encode("iso-8859-1")


def envelope(inner):
    return ('<?xml version="1.0" encoding="ISO-8859-1"?>'
            '<SOAP-ENV:Envelope xmlns:SOAP-ENV="%s" '
            'xmlns:xsd="http://www.w3.org/2001/XMLSchema" '
            'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
            '<SOAP-ENV:Body>%s</SOAP-ENV:Body></SOAP-ENV:Envelope>' % (ENV, inner)
            ).encode("iso-8859-1", "xmlcharrefreplace")


class Service:
    def __init__(self, users, calls):
        self.users = users
        self.calls = calls
        self.next_backup = 100
        self.lock = threading.Lock()

    def user(self, p, autorisation=None):
        for u in self.users:
            if u["login"] == p.get("Login") and u["password"] == p.get("Password"):
                if autorisation is None or autorisation in u.get("autorisations", []):
                    return u
        return None

    def answer(self, op, p):
        if op == "Bonjour":
            return "Bonjour " + p.get("name", "")
        if op == "VerifUtilisateur":
            u = self.user(p, p.get("Autorisation"))
            return str(u["number"]) if u else "Utilisateur inconnu"
        if op == "CreerSauvegarde":
            if not self.user(p):
                return "Utilisateur inconnu"
            with self.lock:
                self.next_backup += 1
                return str(self.next_backup)
        if op in ("MaJServeur", "MaJPlanningWeb"):
            return "OK" if self.user(p, "Planning") else "Utilisateur inconnu"
        raise KeyError(op)


def make_handler(service):
    class Handler(BaseHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def reply(self, status, body, ctype="text/xml; charset=ISO-8859-1"):
            self.send_response(status)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):
            if self.path.startswith(PATH) and self.path.endswith("?wsdl"):
                host = self.headers.get("Host", "127.0.0.1")
                self.reply(200, wsdl("http://" + host))
            else:
                self.reply(404, b"not found", "text/plain")

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0"))
            raw = self.rfile.read(length)
            if self.path != PATH:
                self.reply(404, b"not found", "text/plain")
                return
            try:
                root = ET.fromstring(raw)
                body = root.find("{%s}Body" % ENV)
                call = list(body)[0]
                op = call.tag.split("}")[-1]
                namespace = call.tag[1:].split("}")[0] if call.tag.startswith("{") else ""
                params = {c.tag.split("}")[-1]: (c.text or "") for c in call}
            except Exception as e:  # malformed request
                self.reply(500, envelope('<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode>'
                                         '<faultstring>%s</faultstring></SOAP-ENV:Fault>' % escape(str(e))))
                return
            if service.calls:
                with service.lock, open(service.calls, "a", encoding="utf-8") as f:
                    f.write(json.dumps({"operation": op, "soapaction": self.headers.get("SOAPAction", ""),
                                        "contenttype": self.headers.get("Content-Type", ""),
                                        "namespace": namespace, "params": params}) + "\n")
            try:
                result = service.answer(op, params)
            except KeyError:
                self.reply(500, envelope('<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode>'
                                         '<faultstring>Opération inconnue %s</faultstring></SOAP-ENV:Fault>'
                                         % escape(op)))
                return
            self.reply(200, envelope('<ns1:%sResponse xmlns:ns1="%s"><return xsi:type="xsd:string">%s</return>'
                                     '</ns1:%sResponse>' % (op, namespace, escape(result), op)))
    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--users", required=True)
    parser.add_argument("--calls", default="")
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    with open(args.users, encoding="utf-8") as f:
        users = json.load(f)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(Service(users, args.calls)))
    print("PORT %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
