// Moving in from the old program: its Access files read, checked and imported
// into the data directory, or refused with nothing changed.

#include "commands/startup.h"
#include "common/dialogs.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "import/jet_file.h"
#include "import/legacy_import.h"
#include "settings/ini_file.h"
#include "test_support.h"
#include "ui/import/import_window.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// Files written by Access itself (MIT licence, see the LICENSE beside them): the
// larger samples in shared/ beside the source tree, two small ones in tests/import/access/.
QString fixtures()
{
    for (const QString &dir : QStringList{sourceDir() + QStringLiteral("/../shared/fixtures/access"),
                               QStringLiteral("/work/shared/fixtures/access")})
        if (QFileInfo::exists(dir + QStringLiteral("/V2000-test.mdb")))
            return QDir(dir).absolutePath();
    return {};
}
const QString kLongMemo = QString(QStringLiteral("Mémo de l'hôtel « L'Étoile » ; ")).repeated(400);

QString writer()
{
    return sourceDir() + QStringLiteral("/tests/import/jet4_writer.py");
}

// Writes a Jet 4 file from a layout (see jet4_writer.py).
void writeJet(const QString &path, const QJsonObject &layout)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString specPath = path + QStringLiteral(".json");
    QFile f(specPath);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(layout).toJson());
    f.close();
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {writer(), path, specPath});
    QVERIFY(p.waitForFinished(120000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    QFile::remove(specPath);
}

// (A list of rows, not one braced QJsonArray: a single row would be taken for the list.)
QJsonObject table(const QString &name, std::initializer_list<QJsonArray> rows)
{
    QJsonArray all;
    for (const QJsonArray &r : rows)
        all.append(r);
    return {{QStringLiteral("name"), name}, {QStringLiteral("rows"), all}};
}

// A small hotel in the old program's tables: every column type, accents and
// apostrophes, a long memo, nulls, a date with a time of day.
QJsonArray hotelTables()
{
    return {
        table(QStringLiteral("infos"),
              {QJsonArray{1, 1, QStringLiteral("Mon Hotel"), QJsonValue(), QJsonValue(), QJsonValue(), 0},
               QJsonArray{2, 2, QString(), QStringLiteral("D'Arcy"), QStringLiteral("Zoé"), QStringLiteral("01 02"), 0,
                          QJsonValue(), QStringLiteral("zoe@exemple.fr"), kLongMemo, QStringLiteral("3, allée des Pins"),
                          QJsonValue(), QStringLiteral("44000"), QStringLiteral("Nantes")}}),
        table(QStringLiteral("reserv"),
              {QJsonArray{10, QStringLiteral("2023-07-14"), 1, 2, QStringLiteral("Réservé"), QJsonValue(), 2, 1},
               QJsonArray{11, QStringLiteral("2023-07-15"), 1, 2, QStringLiteral("Payé"), 120, 2, QJsonValue()},
               QJsonArray{12, QStringLiteral("2023-08-01"), 3, 1, QStringLiteral("Acompte"), 0, 1, 0}}),
        table(QStringLiteral("reserv_prestations"), {QJsonArray{1, 10, 4, 2}}),
        table(QStringLiteral("prestations"), {QJsonArray{1, 4, QStringLiteral("Petit déjeuner"), 1, 8.5, 10.0, 9.35, 1, 0}}),
        table(QStringLiteral("facturation"),
              {QJsonArray{41, QStringLiteral("2023-07-16"), 2, QStringLiteral("Chèque"),
                          QStringLiteral("Mme Zoé D'Arcy\n3, allée des Pins"), 100.0, 10.0, 110.0,
                          QStringLiteral("2023-07-14"), QStringLiteral("2023-07-16"), 0.0, QJsonValue()},
               QJsonArray{57, QStringLiteral("2023-08-02"), 1, QStringLiteral("CB"), QString(), 50.0, 5.0, 55.0,
                          QStringLiteral("2023-08-01"), QStringLiteral("2023-08-02"), 10.0, 2.5}}),
        table(QStringLiteral("facturation_item"),
              {QJsonArray{1, 41, 2, QStringLiteral("Chambre « côté mer »"), 100.0, 10.0, 110.0, 1, 4}}),
        table(QStringLiteral("devis"),
              {QJsonArray{3, QStringLiteral("2023-06-01"), 2, QString(), QString(), 10.0, 1.0, 11.0,
                          QStringLiteral("1899-12-31"), QStringLiteral("1899-12-31"), 0.0, 0.0,
                          QStringLiteral("Vue sur l'océan"), 1}}),
        table(QStringLiteral("email_historique"),
              {QJsonArray{5, 2, QStringLiteral("Votre facture"), QStringLiteral("Bonjour,\nvoici…"),
                          QStringLiteral("2023-07-16 18:42:05")}}),
        table(QStringLiteral("tva"), {QJsonArray{1, 19.6}, QJsonArray{2, 5.5}}),
        table(QStringLiteral("periodes"), {QJsonArray{1, QStringLiteral("Été")}}),
    };
}

QJsonObject hotelSpec(const QJsonArray &extraTables = {})
{
    QJsonArray tables = hotelTables();
    for (const QJsonValue &t : extraTables)
        tables.append(t);
    return {{QStringLiteral("tables"), tables}};
}

// Every file of a folder with a hash of its bytes.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String(".lock")))
            continue;
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        out.insert(QDir(dir).relativeFilePath(path), QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
    }
    return out;
}

struct Run
{
    int code;
    QString out;
    QString err;
};

Run importer(const QString &dataDir, const QStringList &args, const QString &shellPrefix = {})
{
    QProcess p;
    if (shellPrefix.isEmpty()) {
        p.start(programPath(), QStringList{QStringLiteral("--dir"), dataDir, QStringLiteral("importer")} + args);
    } else {
        QStringList quoted;
        for (const QString &a : QStringList{programPath(), QStringLiteral("--dir"), dataDir, QStringLiteral("importer")} + args)
            quoted << QLatin1Char('\'') + a + QLatin1Char('\'');
        p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), shellPrefix + QStringLiteral("; exec ") + quoted.join(QLatin1Char(' '))});
    }
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QVariant one(const QString &statement)
{
    return Sql(DataModule::shared(), statement).scalar();
}

} // namespace

class TstLegacyImport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        DataModule::release();
        Dialogs::install(nullptr);
    }

    // The Access files written by Access itself, through the reader.
    void readsAccessFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("version");
        QTest::newRow("Jet 3") << "V1997-test.mdb" << 3;
        QTest::newRow("Jet 4") << "V2000-test.mdb" << 4;
        QTest::newRow("Jet 4, Access 2003") << "V2003-test.mdb" << 4;
    }
    void readsAccessFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, version);
        if (fixtures().isEmpty())
            QSKIP("the Access fixtures (shared/fixtures/access) are not beside the source tree");
        const QString path = fixtures() + QLatin1Char('/') + file;
        const JetFile jet(path);
        QCOMPARE(jet.version(), version);
        QVERIFY(jet.tables().contains(QStringLiteral("Table1")));
        // The same rows as mdbtools' own export, text and whole numbers alike.
        QProcess p;
        p.start(QStringLiteral("mdb-export"), {QStringLiteral("-H"), QStringLiteral("-Q"), QStringLiteral("-d"),
                                               QStringLiteral("\t"), path, QStringLiteral("Table1")});
        QVERIFY(p.waitForFinished(60000));
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QList<QVariantList> rows;
        jet.readRows(QStringLiteral("Table1"), [&](const QVariantList &r) {
            rows.append(r);
            return true;
        });
        QCOMPARE(rows.size(), lines.size());
        QCOMPARE(rows.size(), int(jet.rowCount(QStringLiteral("Table1"))));
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList cells = lines.at(i).split(QLatin1Char('\t'));
            for (int c : {0, 1, 2, 3, 4}) // texts, byte, integer, long integer
                QCOMPARE(rows.at(i).at(c).isNull() ? QString() : rows.at(i).at(c).toString(), cells.at(c));
            if (!cells.at(5).isEmpty())
                QVERIFY(qAbs(rows.at(i).at(5).toDouble() - cells.at(5).toDouble()) < 1e-9 * qMax(1.0, qAbs(cells.at(5).toDouble())));
        }
    }

    // The whole way in: every value kept as our columns store it.
    void importsEveryTable()
    {
        TestDataDir dir;
        const QString old = dir.file(QStringLiteral("ancien/reserv.mdb"));
        QDir().mkpath(dir.file(QStringLiteral("ancien")));
        writeJet(old, hotelSpec());
        LegacyImport::Report report = LegacyImport::analyse(old, 15);
        QVERIFY(report.refused.isEmpty());
        QCOMPARE(report.firstNight, QDate(2023, 7, 14));
        QCOMPARE(report.lastNight, QDate(2023, 8, 1));
        LegacyImport::run(old, report, {});
        QCOMPARE(report.totalWritten(), report.totalRead());

        Startup startup;
        startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
        const QList<QVariantList> client =
            Sql(DataModule::shared(), QStringLiteral("SELECT nom, prenom, informations, fax, adresse1 FROM infos WHERE id = 2")).rows();
        QCOMPARE(client.size(), 1);
        QCOMPARE(client[0][0].toString(), QStringLiteral("D'Arcy"));
        QCOMPARE(client[0][1].toString(), QStringLiteral("Zoé"));
        QCOMPARE(client[0][2].toString(), kLongMemo);
        QVERIFY(client[0][3].isNull());
        QCOMPARE(client[0][4].toString(), QStringLiteral("3, allée des Pins"));
        QCOMPARE(one(QStringLiteral("SELECT nom_ets FROM infos WHERE id = 1")).toString(), QStringLiteral("Mon Hotel"));
        QCOMPARE(one(QStringLiteral("SELECT group_concat(id || ':' || r_date || ':' || etat || ':' || ifnull(reglement, '-'), ' ') "
                                    "FROM reserv")).toString(),
                 QStringLiteral("10:2023-07-14:Réservé:- 11:2023-07-15:Payé:120 12:2023-08-01:Acompte:0"));
        QCOMPARE(one(QStringLiteral("SELECT typeof(nbenfants) FROM reserv WHERE id = 11")).toString(), QStringLiteral("null"));
        QCOMPARE(one(QStringLiteral("SELECT tarif_ttc FROM prestations")).toDouble(), 9.35);
        QCOMPARE(one(QStringLiteral("SELECT group_concat(taux, ' ') FROM tva")).toString(), QStringLiteral("19.6 5.5"));
        QCOMPARE(one(QStringLiteral("SELECT sejour_debut || ' ' || commentaires FROM devis WHERE id = 3")).toString(),
                 QStringLiteral("1899-12-31 Vue sur l'océan"));
        QCOMPARE(one(QStringLiteral("SELECT date_envoi FROM email_historique")).toString(), QStringLiteral("2023-07-16 18:42:05"));
        QCOMPARE(one(QStringLiteral("SELECT libelle FROM facturation_item")).toString(), QStringLiteral("Chambre « côté mer »"));
        QCOMPARE(one(QStringLiteral("SELECT adresse_facturation FROM facturation WHERE id = 41")).toString(),
                 QStringLiteral("Mme Zoé D'Arcy\n3, allée des Pins"));
        // Invoice numbers kept; the next one follows the highest, with no gap.
        QCOMPARE(one(QStringLiteral("SELECT group_concat(id, ' ') FROM facturation")).toString(), QStringLiteral("41 57"));
        QCOMPARE(one(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'facturation'")).toInt(), 57);
        QCOMPARE(IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("numFacture")), QStringLiteral("58"));
        QCOMPARE(one(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    // Rows that cannot be stored are listed with their table, id and reason;
    // the others go in.
    void refusesBadRows_data()
    {
        QTest::addColumn<QJsonArray>("night");
        QTest::addColumn<QString>("reason");
        QTest::newRow("room beyond the rooms configured")
            << QJsonArray{20, QStringLiteral("2023-09-01"), 16, 1, QStringLiteral("Payé")}
            << "reserv, id 20 : chambre n° 16 hors des 15 chambres configurées";
        QTest::newRow("two rows for one room and night")
            << QJsonArray{20, QStringLiteral("2023-07-14"), 1, 1, QStringLiteral("Payé")}
            << "reserv, id 20 : deux lignes pour la chambre 1 la nuit du 14/07/2023 (déjà la ligne 10)";
        QTest::newRow("a date that is not one")
            << QJsonArray{20, QJsonObject{{QStringLiteral("days"), 9e9}}, 2, 1, QStringLiteral("Payé")}
            << "reserv, id 20 : la valeur de « r_date » n'est pas une date";
        QTest::newRow("a night without date")
            << QJsonArray{20, QJsonValue(), 2, 1, QStringLiteral("Payé")} << "reserv, id 20 : nuit sans date";
        QTest::newRow("an id taken twice")
            << QJsonArray{11, QStringLiteral("2023-09-01"), 2, 1, QStringLiteral("Payé")}
            << "reserv, id 11 : numéro 11 déjà pris par une autre ligne de la table";
    }
    void refusesBadRows()
    {
        QFETCH(QJsonArray, night);
        QFETCH(QString, reason);
        TestDataDir dir;
        const QString old = dir.file(QStringLiteral("vieux.mdb"));
        QJsonObject layout = hotelSpec();
        QJsonArray tables = layout[QStringLiteral("tables")].toArray();
        QJsonObject reserv = tables[1].toObject();
        QJsonArray rows = reserv[QStringLiteral("rows")].toArray();
        rows.append(night);
        reserv[QStringLiteral("rows")] = rows;
        tables[1] = reserv;
        layout[QStringLiteral("tables")] = tables;
        writeJet(old, layout);

        // The command imports nothing until told to take the other rows.
        const QMap<QString, QByteArray> before = snapshot(dir.path());
        Run r = importer(dir.path(), {old});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains(reason), qPrintable(r.out));
        QVERIFY(r.err.contains(QStringLiteral("--oui")));
        QCOMPARE(snapshot(dir.path()), before);

        r = importer(dir.path(), {old, QStringLiteral("--oui")});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(reason));
        QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM reserv")).toInt(), 3);
        QVERIFY(!one(QStringLiteral("SELECT 1 FROM reserv WHERE id = 20")).isValid());
    }

    // Files that cannot be imported at all: a French text saying what the file
    // is, and the data directory exactly as before.
    void refusesBadFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("0-byte file") << "vide" << "est vide (0 octet)";
        QTest::newRow("truncated Jet file") << "tronque" << "est incomplet";
        QTest::newRow("Jet file cut at a page") << "coupe" << "est endommagé";
        QTest::newRow("SQLite file") << "sqlite" << "est une base SQLite";
        QTest::newRow("text file") << "texte" << "n'est pas une base de données Access";
        QTest::newRow("password") << "motdepasse" << "protégé par un mot de passe";
        QTest::newRow("encoded") << "chiffre" << "base Access codée (chiffrée)";
        QTest::newRow("none of our tables") << "etranger" << "aucune des tables de l'ancien logiciel";
        QTest::newRow("a table missing") << "sansreserv" << "n'a pas de table « reserv »";
        QTest::newRow("a column of the wrong type") << "mauvaistype"
                                                    << "La colonne « reserv.r_date » du fichier est de type « Texte »";
    }
    void refusesBadFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=4\n");
        const QString old = dir.file(QStringLiteral("entrée/reserv.mdb"));
        QDir().mkpath(QFileInfo(old).absolutePath());
        QJsonObject layout = hotelSpec();
        if (kind == QLatin1String("vide")) {
            dir.writeFile(QStringLiteral("entrée/reserv.mdb"), {});
        } else if (kind == QLatin1String("tronque") || kind == QLatin1String("coupe")) {
            writeJet(old, layout);
            QFile f(old);
            QVERIFY(f.resize(kind == QLatin1String("tronque") ? f.size() - 1000 : f.size() - 4096 * 3));
        } else if (kind == QLatin1String("sqlite")) {
            const QString name = QStringLiteral("tst-sqlite");
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(old);
                QVERIFY(db.open());
                execSql(db, QStringLiteral("CREATE TABLE reserv (id INTEGER)"));
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        } else if (kind == QLatin1String("texte")) {
            dir.writeFile(QStringLiteral("entrée/reserv.mdb"), QByteArray("id;nom\n1;Dupont\n").repeated(500));
        } else if (kind == QLatin1String("motdepasse")) {
            QVERIFY(QFile::copy(sourceDir() + QStringLiteral("/tests/import/access/V2000_with-password.mdb"), old));
        } else if (kind == QLatin1String("etranger")) {
            QVERIFY(QFile::copy(sourceDir() + QStringLiteral("/tests/import/access/V2000-numeric.mdb"), old));
        } else {
            layout[QStringLiteral("encrypted")] = kind == QLatin1String("chiffre");
            QJsonArray tables = layout[QStringLiteral("tables")].toArray();
            if (kind == QLatin1String("sansreserv"))
                tables.removeAt(1);
            if (kind == QLatin1String("mauvaistype")) {
                QJsonObject reserv = tables[1].toObject();
                reserv[QStringLiteral("types")] = QJsonObject{{QStringLiteral("r_date"), QStringLiteral("text")}};
                tables[1] = reserv;
            }
            layout[QStringLiteral("tables")] = tables;
            writeJet(old, layout);
        }
        // A hotel already at work in the data directory.
        dir.writeFile(QStringLiteral("emailFacture.txt"), "Bonjour");
        {
            Startup startup;
            startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
            Sql(DataModule::shared(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat) VALUES ('2024-01-01', 1, 1, 'Payé')")).exec();
            DataModule::release();
        }
        const QMap<QString, QByteArray> before = snapshot(dir.path());
        for (const QStringList &args : {QStringList{old, QStringLiteral("--verifier")},
                                        QStringList{QFileInfo(old).absolutePath(), QStringLiteral("--oui")}}) {
            const Run r = importer(dir.path(), args);
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(message), qPrintable(r.err));
            QCOMPARE(snapshot(dir.path()), before);
        }
    }

    // At start-up a reserv.mdb of the old program is offered for import; Non
    // leaves it as it is, Oui imports and keeps it beside.
    void startupOffersImport_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Non") << false;
        QTest::newRow("Oui") << true;
    }
    void startupOffersImport()
    {
        QFETCH(bool, yes);
        TestDataDir dir;
        writeJet(dir.file(QStringLiteral("reserv.mdb")), hotelSpec());
        const QMap<QString, QByteArray> before = snapshot(dir.path());
        auto answers = std::make_shared<ScriptedAnswerer>();
        answers->answer(yes);
        Dialogs::install(answers);
        Startup startup;
        if (!yes) {
            QVERIFY_THROWS_EXCEPTION(KestrovaError, startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName())));
            QCOMPARE(snapshot(dir.path()), before);
        } else {
            startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
            QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM reserv")).toInt(), 3);
            QCOMPARE(snapshot(dir.path()).value(QStringLiteral("reserv-ancien.mdb")), before.value(QStringLiteral("reserv.mdb")));
            QVERIFY(answers->texts().last().contains(QStringLiteral("conservé sous le nom « reserv-ancien.mdb »")));
        }
        QCOMPARE(answers->questions().first(),
                 QStringLiteral("Ce fichier vient de l'ancien logiciel. Voulez-vous importer ses données ?"));
    }

    // A whole folder: its settings, templates, logo and descriptions come too,
    // and the hotel's current data is saved first.
    void takesOverWholeFolder()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("ancien/config.ini"), "[Chambres]\nnombre=3\n[Hotel]\nnom=Les Tilleuls\nnumFacture=900\n");
        dir.writeFile(QStringLiteral("ancien/emailFacture.txt"), "Madame, Monsieur");
        dir.writeFile(QStringLiteral("ancien/logo.jpg"), "JPEG");
        dir.writeFile(QStringLiteral("ancien/description/1.txt"), "Chambre double");
        writeJet(dir.file(QStringLiteral("ancien/reserv.mdb")), hotelSpec());
        dir.writeFile(QStringLiteral("emailFacture.txt"), "Bonjour");
        {
            Startup startup;
            startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
            Sql(DataModule::shared(), QStringLiteral("INSERT INTO infos (type, nom) VALUES (2, 'Ancien client')")).exec();
            DataModule::release();
        }
        const Run r = importer(dir.path(), {dir.file(QStringLiteral("ancien")), QStringLiteral("--oui")});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(QStringLiteral("Séjours du 14/07/2023 au 01/08/2023, 3 chambres.")));
        const IniFile ini;
        QCOMPARE(ini.readString(QStringLiteral("Hotel"), QStringLiteral("nom")), QStringLiteral("Les Tilleuls"));
        QCOMPARE(ini.readString(QStringLiteral("Hotel"), QStringLiteral("numFacture")), QStringLiteral("58"));
        QFile mail(dir.file(QStringLiteral("emailFacture.txt")));
        QVERIFY(mail.open(QIODevice::ReadOnly));
        QCOMPARE(mail.readAll(), QByteArray("Madame, Monsieur"));
        QVERIFY(QFileInfo::exists(dir.file(QStringLiteral("logo.jpg"))));
        QVERIFY(QFileInfo::exists(dir.file(QStringLiteral("description/1.txt"))));
        const QStringList backups = QDir(dir.path()).entryList({QStringLiteral("sauvegarde-avant-import-*.zip")});
        QCOMPARE(backups.size(), 1);
        QVERIFY(!one(QStringLiteral("SELECT 1 FROM infos WHERE nom = 'Ancien client'")).isValid());
    }

    // The window: what the file holds before anything is done, then the
    // question before a hotel's data is replaced.
    void windowPreviewsThenReplaces_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("Non: nothing replaced") << false;
        QTest::newRow("Oui: saved, then replaced") << true;
    }
    void windowPreviewsThenReplaces()
    {
        QFETCH(bool, replace);
        TestDataDir dir;
        writeJet(dir.file(QStringLiteral("ancien/reserv.mdb")), hotelSpec());
        {
            Startup startup;
            startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
            Sql(DataModule::shared(), QStringLiteral("INSERT INTO infos (type, nom) VALUES (2, 'Ancien client')")).exec();
            DataModule::release();
        }
        const QMap<QString, QByteArray> before = snapshot(dir.path());
        auto answers = std::make_shared<ScriptedAnswerer>();
        answers->answer(replace);
        Dialogs::install(answers);
        ImportWindow window;
        QVERIFY(window.choose(dir.file(QStringLiteral("ancien/reserv.mdb"))));
        QVERIFY(!window.takeOverBox()->isEnabled()); // nothing but the database in that folder
        QVERIFY(window.previewText().contains(QStringLiteral("reserv\t3\t0")));
        QVERIFY(window.previewText().contains(QStringLiteral("Séjours du 14/07/2023 au 01/08/2023, 15 chambres.")));
        QCOMPARE(snapshot(dir.path()), before);
        QCOMPARE(window.importNow(), replace);
        QVERIFY(answers->questions().first().startsWith(QStringLiteral("Les données actuelles de l'hôtel")));
        const QStringList backups = QDir(dir.path()).entryList({QStringLiteral("sauvegarde-avant-import-*.zip")});
        if (!replace) {
            QCOMPARE(snapshot(dir.path()), before);
        } else {
            QCOMPARE(backups.size(), 1);
            QCOMPARE(one(QStringLiteral("SELECT COUNT(*) FROM reserv")).toInt(), 3);
            QVERIFY(answers->texts().last().startsWith(QStringLiteral("Import terminé : ")));
        }
    }

    // A full disk and a kill half-way: the data directory as before, and the
    // next import goes through.
    void interruptedImportChangesNothing_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::newRow("disk full") << false;
        QTest::newRow("killed") << true;
    }
    void interruptedImportChangesNothing()
    {
        QFETCH(bool, kill);
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=25\n");
        const QString old = dir.file(QStringLiteral("grand.mdb"));
        QProcess gen;
        gen.start(QStringLiteral("/usr/bin/python3"), {writer(), old, QStringLiteral("--hotel"), QStringLiteral("2"), QStringLiteral("25")});
        QVERIFY(gen.waitForFinished(120000));
        QCOMPARE(gen.exitCode(), 0);
        const QMap<QString, QByteArray> before = snapshot(dir.path());
        if (!kill) {
            // Files may not grow beyond 2 MB: the staging database cannot be written.
            const Run r = importer(dir.path(), {old}, QStringLiteral("trap '' XFSZ; ulimit -f 4096"));
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(QStringLiteral("rien n'a été modifié")), qPrintable(r.err));
        } else {
            QProcess p;
            p.start(programPath(), {QStringLiteral("--dir"), dir.path(), QStringLiteral("importer"), old});
            QVERIFY(p.waitForStarted());
            // Killed once the staging database is being written.
            bool writing = false;
            for (int i = 0; i < 600 && !writing && p.state() == QProcess::Running; ++i) {
                QThread::msleep(10);
                QDirIterator it(dir.path(), {QStringLiteral("reserv.mdb")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
                while (it.hasNext())
                    writing = writing || (it.next().contains(QLatin1String(".import-")) && it.fileInfo().size() > 1000000);
            }
            QVERIFY(writing);
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
        }
        QMap<QString, QByteArray> after = snapshot(dir.path());
        for (auto it = after.begin(); it != after.end();)
            it = it.key().startsWith(QLatin1String(".import-")) ? after.erase(it) : std::next(it);
        QCOMPARE(after, before);
        const Run r = importer(dir.path(), {old});
        QCOMPARE(r.code, 0);
        QVERIFY(QDir(dir.path()).entryList({QStringLiteral(".import-*")}, QDir::Dirs | QDir::Hidden).isEmpty());
    }
};

QTEST_MAIN(TstLegacyImport)
#include "tst_legacy_import.moc"
