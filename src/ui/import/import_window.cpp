#include "ui/import/import_window.h"

#include "common/dialogs.h"
#include "common/errors.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

ImportProgressWindow::ImportProgressWindow(QWidget *parent) : m_parent(parent) {}

ImportProgressWindow::~ImportProgressWindow() = default;

LegacyImport::Progress ImportProgressWindow::callback()
{
    return [this](int percent, const QString &step) {
        if (!m_dialog) {
            m_dialog = std::make_unique<QProgressDialog>(step, QString(), 0, 100, m_parent);
            m_dialog->setWindowTitle(QStringLiteral("Import des données de l'ancien logiciel"));
            m_dialog->setWindowModality(Qt::ApplicationModal);
            m_dialog->setMinimumDuration(300);
        }
        m_dialog->setLabelText(step);
        m_dialog->setValue(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (percent >= 100)
            m_dialog.reset();
    };
}

ImportWindow::ImportWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportWindow"));
    setWindowTitle(QStringLiteral("Importer les données de l'ancien logiciel"));
    resize(760, 560);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Fichier de données de l'ancien logiciel (reserv.mdb) :"), this));
    auto *row = new QHBoxLayout;
    m_path = new QLineEdit(this);
    m_path->setReadOnly(true);
    auto *browseButton = new QPushButton(QStringLiteral("Choisir…"), this);
    row->addWidget(m_path, 1);
    row->addWidget(browseButton);
    layout->addLayout(row);
    m_takeOver = new QCheckBox(QStringLiteral("Reprendre aussi les réglages (config.ini), les modèles d'e-mails, le logo "
                                              "et les descriptions des chambres de ce dossier"),
                               this);
    m_takeOver->setChecked(true);
    m_takeOver->setEnabled(false);
    layout->addWidget(m_takeOver);
    m_preview = new QPlainTextEdit(this);
    m_preview->setReadOnly(true);
    m_preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_preview->setPlainText(QStringLiteral("Choisissez le fichier reserv.mdb de l'ancien logiciel : ce qu'il contient "
                                           "s'affichera ici avant tout import."));
    layout->addWidget(m_preview, 1);
    auto *buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(QStringLiteral("Importer"), QDialogButtonBox::AcceptRole);
    m_import->setEnabled(false);
    QPushButton *close = buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(browseButton, &QPushButton::clicked, this, &ImportWindow::browse);
    connect(m_import, &QPushButton::clicked, this, &ImportWindow::importNow);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // Whose config.ini is in use decides the rooms the nights are checked against.
    connect(m_takeOver, &QCheckBox::toggled, this, [this] {
        if (!m_file.isEmpty() && !m_imported)
            analyse();
    });
}

void ImportWindow::browse()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Fichier de l'ancien logiciel"),
                                                      QDir::homePath(), QStringLiteral("Bases Access (*.mdb)"));
    if (!path.isEmpty())
        choose(path);
}

bool ImportWindow::choose(const QString &mdbPath)
{
    m_file = mdbPath;
    m_imported = false;
    m_path->setText(QDir::toNativeSeparators(mdbPath));
    const QStringList files = LegacyImport::folderFiles(mdbPath);
    m_takeOver->setEnabled(!files.isEmpty());
    m_takeOver->setToolTip(files.join(QStringLiteral(", ")));
    return analyse();
}

bool ImportWindow::analyse()
{
    m_ready = false;
    m_import->setEnabled(false);
    const bool takeOver = m_takeOver->isEnabled() && m_takeOver->isChecked();
    try {
        ImportProgressWindow progress(this);
        m_report = LegacyImport::analyse(m_file, LegacyImport::roomCountFor(m_file, takeOver), progress.callback());
        if (takeOver)
            m_report.folderFiles = LegacyImport::folderFiles(m_file);
    } catch (const KestrovaError &e) {
        m_preview->setPlainText(e.text());
        Dialogs::error(e.text());
        return false;
    }
    m_preview->setPlainText(m_report.text());
    m_ready = true;
    m_import->setEnabled(true);
    return true;
}

bool ImportWindow::importNow()
{
    if (!m_ready)
        return false;
    LegacyImport::Options options;
    options.takeOverFolder = m_takeOver->isEnabled() && m_takeOver->isChecked();
    if (!LegacyImport::dataDirIsEmptyHotel()) {
        if (!Dialogs::question(QStringLiteral("Les données actuelles de l'hôtel (clients, réservations, factures, "
                                              "devis…) seront remplacées par celles du fichier. Une sauvegarde en sera "
                                              "faite d'abord dans le dossier de données. Continuer ?")))
            return false;
        options.backupFirst = true;
    }
    if (!m_report.refused.isEmpty() &&
        !Dialogs::question(QStringLiteral("%1 ligne(s) du fichier ne peuvent pas être importées (elles sont listées "
                                          "dans la fenêtre). Importer les autres données ?")
                               .arg(m_report.refused.size())))
        return false;
    try {
        ImportProgressWindow progress(this);
        LegacyImport::run(m_file, m_report, options, progress.callback());
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
    m_imported = true;
    m_ready = false;
    m_import->setEnabled(false);
    m_preview->setPlainText(m_report.text());
    Dialogs::information(QStringLiteral("Import terminé : %1 lignes écrites.").arg(m_report.totalWritten()));
    return true;
}

bool ImportWindow::runAndTellImported()
{
    m_imported = false;
    exec();
    return m_imported;
}

QString ImportWindow::previewText() const
{
    return m_preview->toPlainText();
}
