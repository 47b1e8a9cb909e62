#pragma once

#include "import/legacy_import.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressDialog;
class QPushButton;

// Shows the progress of an import in a modal progress window, made on the
// first step and closed at 100 %.
class ImportProgressWindow
{
public:
    explicit ImportProgressWindow(QWidget *parent = nullptr);
    ~ImportProgressWindow();
    LegacyImport::Progress callback();

private:
    QWidget *m_parent;
    std::unique_ptr<QProgressDialog> m_dialog;
};

// "Fichier" > "Importer les données de l'ancien logiciel…": an .mdb chosen,
// what it holds shown (tables, rows, dates of the stays, rows refused), then
// imported on confirmation. Every connection to the database must be closed
// while it runs (the caller reopens them).
class ImportWindow : public QDialog
{
    Q_OBJECT

public:
    explicit ImportWindow(QWidget *parent = nullptr);

    // Reads the file and shows what it holds; false (message shown) when it
    // cannot be imported.
    bool choose(const QString &mdbPath);
    // Asks what must be asked, imports, shows the report. True when imported.
    bool importNow();
    // Runs the window; true when the data directory was replaced.
    bool runAndTellImported();

    QString previewText() const;
    QCheckBox *takeOverBox() const { return m_takeOver; }
    QPushButton *importButton() const { return m_import; }

private:
    void browse();
    bool analyse();

    QLineEdit *m_path;
    QCheckBox *m_takeOver;
    QPlainTextEdit *m_preview;
    QPushButton *m_import;
    QString m_file;
    LegacyImport::Report m_report;
    bool m_ready = false;
    bool m_imported = false;
};
