#pragma once

#include <QString>

class IniFile;

// Which engine holds the hotel's data, as [Base] of config.ini says:
//   moteur=sqlite (default): the file reserv.mdb of the data directory;
//   moteur=postgresql: a database on a server, shared by several desks, with
//   hote (a host name, or the directory of the server's Unix socket), port
//   (5432 by default), base and utilisateur. The password never goes in
//   config.ini: libpq reads it from its password file (PGPASSFILE, ~/.pgpass)
//   or its service file, or the server authenticates the account (peer, scram).
enum class Engine { Sqlite, Postgresql };

struct DatabaseTarget
{
    Engine engine = Engine::Sqlite;
    QString host;
    int port = 5432;
    QString database;
    QString user;

    // Reads [Base] of the given file. Throws SettingsError (French text) for an
    // unknown engine, a missing key, a port that is not a number or a password key.
    static DatabaseTarget parse(const IniFile &ini);
    // The target of the data directory in use (its config.ini).
    static DatabaseTarget current();

    bool isPostgresql() const { return engine == Engine::Postgresql; }
    // "base « hotel » sur le serveur « host:port » (utilisateur « u »)", for messages.
    QString describe() const;
};
