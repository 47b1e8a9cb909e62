#include "common/errors.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "test_support.h"

#include <QFile>
#include <QtTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writingAKeyLeavesTheRestOfTheFileAsItWas()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"),
                      "; réglages de l'hôtel\r\n[Hotel]\r\nnom=Les Tilleuls\r\nperso=garde-moi\r\n\r\n"
                      "[Autre]\r\nx=1\r\n");
        const IniFile ini;
        ini.writeString(QStringLiteral("hotel"), QStringLiteral("NOM"), QStringLiteral("L'Auberge"));
        ini.writeString(QStringLiteral("Hotel"), QStringLiteral("tel"), QStringLiteral("0123"));
        ini.writeString(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("3"));
        QCOMPARE(readAll(ini.path()),
                 QByteArray("; réglages de l'hôtel\r\n[Hotel]\r\nNOM=L'Auberge\r\nperso=garde-moi\r\ntel=0123\r\n\r\n"
                            "[Autre]\r\nx=1\r\n\r\n[Chambres]\r\nnombre=3\r\n"));
        QCOMPARE(ini.readString(QStringLiteral("HOTEL"), QStringLiteral("nom")), QStringLiteral("L'Auberge"));
        QCOMPARE(ini.readString(QStringLiteral("Autre"), QStringLiteral("absent"), QStringLiteral("déf")),
                 QStringLiteral("déf"));
    }

    void missingFileGivesDefaultsAndFirstWriteCreatesIt()
    {
        TestDataDir dir;
        const IniFile ini;
        QCOMPARE(Settings::roomCount(25), 25);
        QCOMPARE(Settings::roomCount(15), 15);
        QCOMPARE(Settings::roomName(7), QStringLiteral("7"));
        QCOMPARE(Settings::hotelName(QStringLiteral("Kestrova")), QStringLiteral("Kestrova"));
        QVERIFY(!Settings::showsNames());
        QCOMPARE(Settings::stateColor(QStringLiteral("Payé")), QColor(0, 0x80, 0));
        QVERIFY(!QFile::exists(ini.path()));
        ini.writeBool(QStringLiteral("Sauvegarde"), QStringLiteral("auto"), true);
        QCOMPARE(readAll(ini.path()), QByteArray("[Sauvegarde]\nauto=-1\n"));
    }

    void booleans_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("expected");
        QTest::newRow("-1 written for true") << QStringLiteral("-1") << true;
        QTest::newRow("0 written for false") << QStringLiteral("0") << false;
        QTest::newRow("True") << QStringLiteral("True") << true;
        QTest::newRow("FALSE") << QStringLiteral("FALSE") << false;
        QTest::newRow("other number") << QStringLiteral("2") << true;
        QTest::newRow("garbage keeps default") << QStringLiteral("oui") << false;
    }

    void booleans()
    {
        QFETCH(QString, stored);
        QFETCH(bool, expected);
        TestDataDir dir;
        const IniFile ini;
        ini.writeString(QStringLiteral("Impression"), QStringLiteral("changementClient"), stored);
        QCOMPARE(ini.readBool(QStringLiteral("Impression"), QStringLiteral("changementClient")), expected);
        QCOMPARE(ini.readBool(QStringLiteral("Impression"), QStringLiteral("absent")), false);
    }

    void colours_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("written");
        QTest::newRow("named") << QStringLiteral("clSilver") << QColor(0xC0, 0xC0, 0xC0) << QStringLiteral("clSilver");
        QTest::newRow("named any case") << QStringLiteral("CLOLIVE") << QColor(0x80, 0x80, 0) << QStringLiteral("clOlive");
        QTest::newRow("extra named") << QStringLiteral("clMoneyGreen") << QColor(0xC0, 0xDC, 0xC0)
                                     << QStringLiteral("clMoneyGreen");
        QTest::newRow("hex is BGR") << QStringLiteral("$004080FF") << QColor(0xFF, 0x80, 0x40) << QStringLiteral("$004080FF");
        QTest::newRow("hex of a named colour") << QStringLiteral("$00008000") << QColor(0, 0x80, 0) << QStringLiteral("clGreen");
        QTest::newRow("decimal") << QStringLiteral("255") << QColor(0xFF, 0, 0) << QStringLiteral("clRed");
        QTest::newRow("system colour") << QStringLiteral("clBtnFace") << QColor(0xF0, 0xF0, 0xF0) << QStringLiteral("$00F0F0F0");
        QTest::newRow("scroll bar") << QStringLiteral("clScrollBar") << QColor(0xC8, 0xC8, 0xC8)
                                    << QStringLiteral("$00C8C8C8");
        QTest::newRow("desktop background") << QStringLiteral("clBackground") << QColor(0, 0, 0)
                                            << QStringLiteral("clBlack");
        QTest::newRow("button highlight") << QStringLiteral("clBtnHighlight") << QColor(0xFF, 0xFF, 0xFF)
                                          << QStringLiteral("clWhite");
        QTest::newRow("info text") << QStringLiteral("clInfoText") << QColor(0, 0, 0) << QStringLiteral("clBlack");
        QTest::newRow("menu text") << QStringLiteral("clMenuText") << QColor(0, 0, 0) << QStringLiteral("clBlack");
        QTest::newRow("window frame") << QStringLiteral("clWindowFrame") << QColor(0x64, 0x64, 0x64)
                                      << QStringLiteral("$00646464");
    }

    // "clNone" is no colour: every reader falls back on its own default.
    void noColourGivesTheDefault()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"), "[couleurs]\r\nlib_R=clNone\r\n[Chambre2]\r\nCfond=CLNONE\r\n");
        QCOMPARE(IniFile().readColor(QStringLiteral("couleurs"), QStringLiteral("lib_R"), Qt::blue),
                 QColor(Qt::blue));
        QCOMPARE(Settings::stateColor(QStringLiteral("Réservé")), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(Settings::roomBackgroundColor(2), QColor(Qt::white));
    }

    // As Windows reads it, a comment after a section header leaves the section whole.
    void sectionHeaderFollowedByAComment()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"),
                      "[Chambre1] ; salle du bas\r\nnom=Bleue\r\n[Chambre2]# jardin\r\nnom=Verte\r\n"
                      "[Chambres]\r\nnombre=2\r\n");
        QCOMPARE(Settings::roomName(1), QStringLiteral("Bleue"));
        QCOMPARE(Settings::roomNames(2), (QStringList{QStringLiteral("Bleue"), QStringLiteral("Verte")}));
        // A key written into the section lands under its header, the comment kept.
        IniFile().writeString(QStringLiteral("Chambre1"), QStringLiteral("Cfond"), QStringLiteral("clRed"));
        QCOMPARE(readAll(IniFile().path()),
                 QByteArray("[Chambre1] ; salle du bas\r\nnom=Bleue\r\nCfond=clRed\r\n[Chambre2]# jardin\r\n"
                            "nom=Verte\r\n[Chambres]\r\nnombre=2\r\n"));
        QCOMPARE(Settings::roomBackgroundColor(1), QColor(Qt::red));
    }

    void colours()
    {
        QFETCH(QString, text);
        QFETCH(QColor, colour);
        QFETCH(QString, written);
        TestDataDir dir;
        const IniFile ini;
        ini.writeString(QStringLiteral("couleurs"), QStringLiteral("lib_R"), text);
        QCOMPARE(ini.readColor(QStringLiteral("couleurs"), QStringLiteral("lib_R"), Qt::black), colour);
        QCOMPARE(IniFile::colorToText(colour), written);
        ini.writeColor(QStringLiteral("couleurs"), QStringLiteral("lib_A"), colour);
        QCOMPARE(ini.readColor(QStringLiteral("couleurs"), QStringLiteral("lib_A"), Qt::black), colour);
    }

    void unreadableValuesRaiseAClearError()
    {
        TestDataDir dir;
        const IniFile ini;
        ini.writeString(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("douze"));
        ini.writeString(QStringLiteral("couleurs"), QStringLiteral("lib_P"), QStringLiteral("vert pomme"));
        try {
            Settings::roomCount(25);
            QFAIL("non-numeric room count accepted");
        } catch (const SettingsError &e) {
            QVERIFY(e.text().contains(QStringLiteral("douze")));
            QVERIFY(e.text().contains(QStringLiteral("nombre")));
        }
        QVERIFY_THROWS_EXCEPTION(SettingsError, Settings::stateColor(QStringLiteral("Payé")));
    }

    void windows1252FileIsReadAndRewrittenAsUtf8()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"), "[Hotel]\r\nmonaie=\x80\r\nnom=H\xF4tel du Ch\xE2teau\r\n");
        const IniFile ini;
        QCOMPARE(ini.readString(QStringLiteral("Hotel"), QStringLiteral("monaie")), QStringLiteral("€"));
        QCOMPARE(ini.readString(QStringLiteral("Hotel"), QStringLiteral("nom")), QStringLiteral("Hôtel du Château"));
        ini.writeString(QStringLiteral("Hotel"), QStringLiteral("tel"), QStringLiteral("04"));
        QCOMPARE(readAll(ini.path()), QByteArray("[Hotel]\r\nmonaie=€\r\nnom=Hôtel du Château\r\ntel=04\r\n"));
        QCOMPARE(ini.readString(QStringLiteral("Hotel"), QStringLiteral("monaie")), QStringLiteral("€"));
    }

    void roomSettings()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"),
                      "[Chambres]\nnombre=40\n[Chambre3]\nnom=Suite Rose\nCfond=$00FFE0E0\n[Affichage]\ntype=Nom\n");
        QCOMPARE(Settings::roomCount(25), 25);
        QCOMPARE(Settings::roomName(3), QStringLiteral("Suite Rose"));
        QCOMPARE(Settings::roomBackgroundColor(3), QColor(0xE0, 0xE0, 0xFF));
        QCOMPARE(Settings::roomBorderColor(3), QColor(Qt::white));
        QVERIFY(Settings::showsNames());
        IniFile().writeString(QStringLiteral("Affichage"), QStringLiteral("type"), QStringLiteral("Client"));
        QVERIFY(Settings::showsNames());
        IniFile().writeString(QStringLiteral("Affichage"), QStringLiteral("type"), QStringLiteral("Etat"));
        QVERIFY(!Settings::showsNames());
    }

    // Reading many keys at once follows the rules of reading them one by one.
    void severalKeysFromOneReading()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("config.ini"),
                      "[Chambre1]\r\nnom=Bleue\r\nNOM=ignorée\r\n; nom=commentaire\r\n[chambre2]\r\n"
                      "Nom = \"Verte\"\r\n[Chambre1]\r\nnom=seconde section\r\n[Chambre4]\r\nCfond=clRed\r\n");
        QCOMPARE(Settings::roomNames(4), (QStringList{QStringLiteral("Bleue"), QStringLiteral("Verte"),
                                                      QStringLiteral("3"), QStringLiteral("4")}));
        for (int room = 1; room <= 4; ++room)
            QCOMPARE(Settings::roomNames(4).at(room - 1), Settings::roomName(room));
        QVERIFY(Settings::roomNames(0).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_ini_file.moc"
