#pragma once

#include "ical/ical_feeds.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// "Calendriers en ligne": the rooms' feeds for booking sites (written into a
// folder, shown, published on the services' FTP server) and a site's feed
// imported into one room after a preview of what it would change.
class TFormCalendriers : public QDialog
{
    Q_OBJECT

public:
    explicit TFormCalendriers(QWidget *parent = nullptr);

    // True once an import wrote something: the planning views are stale.
    bool planningChanged() const { return m_changed; }

    // Steps of the window, for its buttons and for tests.
    bool exporter();
    bool publier();
    bool apercu();
    bool importer();

    QLineEdit *dossierEdit() const { return m_dossier; }
    QLineEdit *fichierEdit() const { return m_fichier; }
    QComboBox *chambreCombo() const { return m_chambre; }
    QCheckBox *nomsBox() const { return m_noms; }
    QListWidget *fichiersList() const { return m_fichiers; }
    QPlainTextEdit *apercuText() const { return m_apercu; }
    QListWidget *disparusList() const { return m_disparus; }
    QPushButton *importerButton() const { return m_importer; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildExport();
    QWidget *buildImport();

    QLineEdit *m_dossier = nullptr;
    QCheckBox *m_noms = nullptr;
    QListWidget *m_fichiers = nullptr;
    QPlainTextEdit *m_journal = nullptr;
    QLineEdit *m_fichier = nullptr;
    QComboBox *m_chambre = nullptr;
    QPlainTextEdit *m_apercu = nullptr;
    QListWidget *m_disparus = nullptr;
    QPushButton *m_importer = nullptr;
    std::optional<IcalImport::Plan> m_plan;
    bool m_changed = false;
};
