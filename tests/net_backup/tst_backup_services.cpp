#include "backup_servers.h"
#include "test_support.h"

#include "ui/app/main_window.h"
#include "common/dialogs.h"
#include "data/data_module.h"
#include "data/log.h"
#include "data/sql.h"
#include "net/archive_format.h"
#include "net/backup_session.h"
#include "ui/net/backup_window.h"
#include "net/soap_client.h"
#include "settings/ini_file.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kLogin = QStringLiteral("hélène@auberge.fr");
const QString kPassword = QStringLiteral("s3cret€");

void addClient(const QString &name)
{
    Sql(DataModule::shared(), QStringLiteral("INSERT INTO infos (nom, type) VALUES (?, 2)")).add(name).exec();
}

QStringList clientNames()
{
    QStringList names;
    for (const QVariantList &row :
         Sql(DataModule::shared(), QStringLiteral("SELECT nom FROM infos WHERE id > 1 ORDER BY id")).rows())
        names << row[0].toString();
    return names;
}

} // namespace

// The FTP server and the web-service stand-in on loopback, a data directory
// whose config.ini points at them, and the scripted message boxes.
class Services
{
public:
    Services(bool readOnlyFtp = false)
    {
        m_users.writeFile(
            QStringLiteral("users.json"),
            QJsonDocument::fromVariant(
                QVariantList{
                    QVariantMap{{QStringLiteral("login"), kLogin},
                                {QStringLiteral("password"), kPassword},
                                {QStringLiteral("number"), 7},
                                {QStringLiteral("autorisations"),
                                 QStringList{QStringLiteral("Sauvegarde"), QStringLiteral("Planning")}}},
                    QVariantMap{{QStringLiteral("login"), QStringLiteral("web")},
                                {QStringLiteral("password"), QStringLiteral("pw")},
                                {QStringLiteral("number"), 9},
                                {QStringLiteral("autorisations"), QStringList{QStringLiteral("Planning")}}}})
                .toJson());
        QDir().mkpath(ftpRoot());
        QStringList ftpArgs{QStringLiteral("--root"),     ftpRoot(),
                            QStringLiteral("--user"),     QStringLiteral("wurnpal"),
                            QStringLiteral("--password"), QStringLiteral("8150ravo")};
        if (readOnlyFtp)
            ftpArgs << QStringLiteral("--read-only");
        m_ftp = std::make_unique<LoopbackServer>(QStringLiteral("backup_ftp_server.py"), ftpArgs);
        m_soap = std::make_unique<LoopbackServer>(QStringLiteral("backup_soap_server.py"),
                                                  QStringList{QStringLiteral("--users"),
                                                              m_users.file(QStringLiteral("users.json")),
                                                              QStringLiteral("--calls"), callsFile()});
        m_db = std::make_unique<TestDatabase>();
        const IniFile ini;
        ini.writeString(QStringLiteral("Services"), QStringLiteral("ftpServeur"),
                        QStringLiteral("127.0.0.1"));
        ini.writeInteger(QStringLiteral("Services"), QStringLiteral("ftpPort"), m_ftp->port());
        ini.writeString(QStringLiteral("Services"), QStringLiteral("webService"),
                        QStringLiteral("http://127.0.0.1:%1").arg(m_soap->port()));
        ini.writeString(QStringLiteral("Sauvegarde"), QStringLiteral("email"), kLogin);
        ini.writeString(QStringLiteral("Sauvegarde"), QStringLiteral("password"), kPassword);
    }
    ~Services() { m_db.reset(); }

    bool started() const { return m_ftp->port() > 0 && m_soap->port() > 0; }
    QString ftpRoot() const { return m_users.file(QStringLiteral("ftp")); }
    QString callsFile() const { return m_users.file(QStringLiteral("calls.jsonl")); }
    QStringList remoteFiles() const { return QDir(ftpRoot()).entryList(QDir::Files, QDir::Name); }
    const TestDatabase &db() const { return *m_db; }
    QList<QJsonObject> calls() const
    {
        QList<QJsonObject> out;
        QFile f(callsFile());
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    out << QJsonDocument::fromJson(line).object();
        return out;
    }
    QStringList operations() const
    {
        QStringList ops;
        for (const QJsonObject &c : calls())
            ops << c.value(QStringLiteral("operation")).toString() + QLatin1Char(':') +
                       c.value(QStringLiteral("params"))
                           .toObject()
                           .value(QStringLiteral("Autorisation"))
                           .toString();
        return ops;
    }

    ScopedAnswerer answers;

private:
    TestDataDir m_users; // files of the servers, outside the data directory
    std::unique_ptr<LoopbackServer> m_ftp;
    std::unique_ptr<LoopbackServer> m_soap;
    std::unique_ptr<TestDatabase> m_db;
};

class TestBackupServices : public QObject
{
    Q_OBJECT

private slots:
    void soapRequestsCarryTheServiceConventions();
    void backupThenRestoreThroughTheWindow();
    void refusalForBackupStillUpdatesThePlanning();
    void failedUploadIsReportedAndTheBackupGoesOn();
    void shutdownBackup_data();
    void shutdownBackup();
    void restoreFromTheMainWindowLeavesAWorkingProgram();
    void shutdownBackupGivesUpWithinItsBudget();

private:
    TFormSauvegarde *openWindow(TFormSauvegarde &window)
    {
        window.show();
        QTest::qWait(1);
        return &window;
    }
};

void TestBackupServices::soapRequestsCarryTheServiceConventions()
{
    Services s;
    QVERIFY(s.started());
    // A trailing slash in the configured address changes nothing.
    SoapClient soap(IniFile().readString(QStringLiteral("Services"), QStringLiteral("webService")) +
                    QLatin1Char('/'));
    QCOMPARE(soap.VerifUtilisateur(kLogin, kPassword, QStringLiteral("Sauvegarde")), QStringLiteral("7"));
    QCOMPARE(soap.VerifUtilisateur(kLogin, QStringLiteral("faux"), QStringLiteral("Sauvegarde")),
             QStringLiteral("Utilisateur inconnu"));
    const QString document = QStringLiteral(
        "<?xml version=\"1.0\"?><majplanning><ajout><client nom='L&apos;Été €' /></ajout></majplanning>");
    QCOMPARE(soap.MaJServeur(kLogin, kPassword, document, QString(), QString(), QString()),
             QStringLiteral("OK"));
    QVERIFY_THROWS_EXCEPTION(NetError, soap.call(QStringLiteral("Inconnue"), {}));

    const QList<QJsonObject> calls = s.calls();
    QCOMPARE(calls.size(), 4);
    const QString base = soap.endpoint().chopped(QStringLiteral("/kestrova/webservices/wsdl.php").size());
    QCOMPARE(calls[0].value(QStringLiteral("soapaction")).toString(),
             QStringLiteral("\"%1/kestrova/webservices/wsdl.php/VerifUtilisateur\"").arg(base));
    QCOMPARE(calls[0].value(QStringLiteral("namespace")).toString(),
             base + QStringLiteral("/kestrova/webservices/nusoap/lib/"));
    QVERIFY(calls[0].value(QStringLiteral("contenttype")).toString().contains(QLatin1String("ISO-8859-1")));
    const QJsonObject params = calls[0].value(QStringLiteral("params")).toObject();
    QCOMPARE(params.value(QStringLiteral("Login")).toString(), kLogin);
    QCOMPARE(params.value(QStringLiteral("Password")).toString(), kPassword);
    QCOMPARE(params.value(QStringLiteral("Autorisation")).toString(), QStringLiteral("Sauvegarde"));
    QCOMPARE(calls[2].value(QStringLiteral("params")).toObject().value(QStringLiteral("Planning")).toString(),
             document);
    QVERIFY(soap.envelope(QStringLiteral("Bonjour"), {{QStringLiteral("name"), QStringLiteral("é€")}})
                .contains("<name xsi:type=\"xsd:string\">\xe9&#8364;</name>"));
}

void TestBackupServices::backupThenRestoreThroughTheWindow()
{
    Services s;
    QVERIFY(s.started());
    addClient(QStringLiteral("Avant"));
    s.db().dir().writeFile(QStringLiteral("logo.jpg"), "\xff\xd8\xff\xe0logo");
    DataModule::release();

    TFormSauvegarde window;
    openWindow(window);
    QCOMPARE(window.emailEdit()->text(), kLogin);
    window.backupBox()->setChecked(true);
    window.ValiderClick();
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-M-d"));
    const QString remote = QStringLiteral("SauvegardeClients-%1-101-7.zip").arg(today);
    QCOMPARE(s.remoteFiles(), (QStringList{remote, QStringLiteral("SauvegardeConfig-7.ini")}));
    QCOMPARE(
        window.progressLog()->toPlainText(),
        QStringLiteral("1/3 : Sauvegarde des informations clients...\n2/3 : Sauvegarde du planning de "
                       "reservations...\n3/3 : Sauvegarde de la configuration du logiciel...\nSauvegarde "
                       "Effectuée"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Transfert Terminé"));
    QVERIFY(!QFile::exists(s.db().dir().file(QStringLiteral("sauvegarde-101.zip"))));
    QVERIFY(!QFile::exists(s.db().dir().file(QStringLiteral("reserv2.mdb"))));
    QStringList names;
    for (const ArchiveEntry &e : Archive::list(s.ftpRoot() + QLatin1Char('/') + remote))
        names << e.name;
    QCOMPARE(names, (QStringList{QStringLiteral("reserv2.mdb"), QStringLiteral("config.ini"),
                                 QStringLiteral("logo.jpg")}));
    QCOMPARE(s.answers->texts(), QStringList());

    // Later changes, then the restore of that backup.
    addClient(QStringLiteral("Après"));
    QFile::remove(s.db().dir().file(QStringLiteral("logo.jpg")));
    DataModule::release();
    window.backupBox()->setChecked(false);
    window.restoreBox()->setChecked(true);
    QCOMPARE(window.backupList()->count(), 1);
    QCOMPARE(window.backupList()->currentText(),
             QDate::currentDate().toString(QStringLiteral("d-M-yyyy")) + QStringLiteral(" N°101"));
    QVERIFY(window.backupList()->isEnabled());
    window.ValiderClick();
    QCOMPARE(s.answers->texts(),
             QStringList{QStringLiteral("Restauration effectuée, veuillez redémarrer le logiciel")});
    QVERIFY(window.restoredSinceShown());
    QCOMPARE(clientNames(), QStringList{QStringLiteral("Avant")});
    QVERIFY(QFile::exists(s.db().dir().file(QStringLiteral("logo.jpg"))));
    QVERIFY(!QFile::exists(s.db().dir().file(QStringLiteral("sauvegarde.zip"))));
    window.done(QDialog::Rejected);
    QCOMPARE(window.progressLog()->toPlainText(), QString());
}

void TestBackupServices::refusalForBackupStillUpdatesThePlanning()
{
    Services s;
    QVERIFY(s.started());
    addClient(QStringLiteral("L'Été"));
    DataModule::release();
    QVERIFY(!Log().journalActif());
    DataModule::release();

    TFormSauvegarde window;
    openWindow(window);
    window.emailEdit()->setText(QStringLiteral("web"));
    window.passwordEdit()->setText(QStringLiteral("pw"));
    window.planningBox()->setChecked(true);
    window.ValiderClick();
    QCOMPARE(s.answers->texts(), QStringList{refusalMessage()});
    QCOMPARE(s.operations(),
             (QStringList{QStringLiteral("VerifUtilisateur:Sauvegarde"),
                          QStringLiteral("VerifUtilisateur:Planning"), QStringLiteral("MaJServeur:")}));
    const QJsonObject update = s.calls().last().value(QStringLiteral("params")).toObject();
    QVERIFY2(update.value(QStringLiteral("Client")).toString().contains(QStringLiteral("nom='L&apos;Été'")),
             qPrintable(update.value(QStringLiteral("Client")).toString()));
    QVERIFY(update.value(QStringLiteral("Planning")).toString().isEmpty()); // no reservation yet
    QCOMPARE(s.remoteFiles(), QStringList{QStringLiteral("SauvegardeConfig-9.ini")});
    QVERIFY(window.progressLog()->toPlainText().endsWith(QStringLiteral("Mise à jour du planning effectué")));

    window.done(QDialog::Rejected);
    DataModule::release();
    QCOMPARE(IniFile().readString(QStringLiteral("Sauvegarde"), QStringLiteral("dateMaJPlanning")),
             QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    QVERIFY(Log().journalActif());
}

void TestBackupServices::failedUploadIsReportedAndTheBackupGoesOn()
{
    Services s(true);
    QVERIFY(s.started());
    DataModule::release();
    TFormSauvegarde window;
    openWindow(window);
    window.backupBox()->setChecked(true);
    window.planningBox()->setChecked(true);
    window.ValiderClick();
    const QString log = window.progressLog()->toPlainText();
    QCOMPARE(log.count(QStringLiteral("Echec lors du transfert")),
             3); // config, archive, config of the planning
    QVERIFY(!log.contains(QStringLiteral("Sauvegarde Effectuée")));
    QVERIFY2(log.contains(QStringLiteral("Mise à jour du planning effectué")), qPrintable(log));
    QCOMPARE(s.remoteFiles(), QStringList());
    QVERIFY(!QFile::exists(s.db().dir().file(QStringLiteral("sauvegarde-101.zip"))));
    QVERIFY(window.validerButton()->isEnabled());
}

void TestBackupServices::shutdownBackup_data()
{
    QTest::addColumn<QString>("automatic");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("uploads");
    QTest::newRow("auto absent") << QString() << kPassword << QStringList() << 0;
    QTest::newRow("auto false") << QStringLiteral("false") << kPassword << QStringList() << 0;
    QTest::newRow("wrong credentials")
        << QStringLiteral("-1") << QStringLiteral("faux") << QStringList{refusalMessage()} << 0;
    QTest::newRow("backup sent") << QStringLiteral("true") << kPassword << QStringList() << 1;
}

void TestBackupServices::shutdownBackup()
{
    QFETCH(QString, automatic);
    QFETCH(QString, password);
    QFETCH(QStringList, messages);
    QFETCH(int, uploads);
    Services s;
    QVERIFY(s.started());
    const IniFile ini;
    if (!automatic.isEmpty())
        ini.writeString(QStringLiteral("Sauvegarde"), QStringLiteral("auto"), automatic);
    ini.writeString(QStringLiteral("Sauvegarde"), QStringLiteral("password"), password);
    s.db().dir().writeFile(QStringLiteral("emailDevis.txt"), "Devis");
    addClient(QStringLiteral("Dupont"));

    TForm1 main;
    QVERIFY(main.FormCreate());
    main.show();
    QVERIFY(main.close());
    QCOMPARE(s.answers->texts(), messages);
    QCOMPARE(s.remoteFiles().size(), uploads);
    if (uploads) {
        QStringList names;
        for (const ArchiveEntry &e : Archive::list(s.ftpRoot() + QLatin1Char('/') + s.remoteFiles().first()))
            names << e.name;
        QCOMPARE(names, (QStringList{QStringLiteral("reserv2.mdb"), QStringLiteral("config.ini")}));
    }
    const QStringList left =
        QDir(s.db().path()).entryList({QStringLiteral("sauvegarde*"), QStringLiteral("reserv2*")});
    QCOMPARE(left, QStringList());
}

void TestBackupServices::restoreFromTheMainWindowLeavesAWorkingProgram()
{
    Services s;
    QVERIFY(s.started());
    addClient(QStringLiteral("Sauvegardé"));
    TForm1 main;
    QVERIFY(main.FormCreate());
    auto *window = main.findChild<TFormSauvegarde *>();
    QVERIFY(window);
    QVERIFY(main.menus().servicesWeb->isEnabled());

    // First a backup, then a client added, then the restore of the backup.
    QTimer::singleShot(0, window, [window] {
        window->backupBox()->setChecked(true);
        window->ValiderClick();
        window->done(QDialog::Accepted);
    });
    main.menus().servicesWeb->trigger();
    addClient(QStringLiteral("Ajouté ensuite"));
    main.reloadClientList();
    QCOMPARE(main.clientList().size(), 3);

    QTimer::singleShot(0, window, [window] {
        window->restoreBox()->setChecked(true);
        window->ValiderClick();
        window->done(QDialog::Accepted);
    });
    main.menus().servicesWeb->trigger();
    QCOMPARE(s.answers->texts(),
             QStringList{QStringLiteral("Restauration effectuée, veuillez redémarrer le logiciel")});
    QCOMPARE(main.clientList().size(), 2);
    // The program goes on working on the restored database.
    addClient(QStringLiteral("Après la restauration"));
    main.reloadClientList();
    QCOMPARE(main.clientList().size(), 3);
    main.InfosJour();
    QCOMPARE(s.answers->texts().size(), 1);
}

void TestBackupServices::shutdownBackupGivesUpWithinItsBudget()
{
    Services s;
    QVERIFY(s.started());
    // A server that accepts connections and never says a word.
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(silent, reinterpret_cast<sockaddr *>(&address), length) == 0);
    QVERIFY(::listen(silent, 4) == 0);
    QVERIFY(::getsockname(silent, reinterpret_cast<sockaddr *>(&address), &length) == 0);
    const auto closeSocket = qScopeGuard([silent] { ::close(silent); });
    IniFile().writeInteger(QStringLiteral("Services"), QStringLiteral("ftpPort"), ntohs(address.sin_port));
    QElapsedTimer timer;
    timer.start();
    sauvegardeFermeture(nullptr, 2);
    QVERIFY2(timer.elapsed() < 8000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(s.answers->texts().size(), 1);
    QVERIFY2(s.answers->texts().first().contains(QStringLiteral("abandonnée")),
             qPrintable(s.answers->texts().first()));
}

QTEST_MAIN(TestBackupServices)
#include "tst_backup_services.moc"
