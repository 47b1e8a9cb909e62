#include "ui/ical/ical_window.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "common/paths.h"
#include "net/ical_publish.h"
#include "planning/view_freshness.h"
#include "settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TFormCalendriers::TFormCalendriers(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Calendriers en ligne"));
    resize(760, 560);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(buildExport(), QStringLiteral("Calendriers des chambres"));
    tabs->addTab(buildImport(), QStringLiteral("Importer un calendrier"));
    auto *close = new QPushButton(QStringLiteral("Retour"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(close, 0, Qt::AlignRight);
}

QWidget *TFormCalendriers::buildExport()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout;
    m_dossier = new QLineEdit(page);
    form->addRow(QStringLiteral("Dossier :"), m_dossier);
    m_noms = new QCheckBox(QStringLiteral("Nom du client dans chaque séjour (sinon « Réservé »)"), page);
    form->addRow(QString(), m_noms);
    m_fichiers = new QListWidget(page);
    m_journal = new QPlainTextEdit(page);
    m_journal->setReadOnly(true);
    m_journal->setMaximumHeight(90);
    auto *exportButton = new QPushButton(QStringLiteral("Exporter"), page);
    auto *publishButton = new QPushButton(QStringLiteral("Publier sur le serveur"), page);
    connect(exportButton, &QPushButton::clicked, this, [this] { exporter(); });
    connect(publishButton, &QPushButton::clicked, this, [this] { publier(); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addWidget(publishButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_fichiers, 1);
    layout->addWidget(m_journal);
    return page;
}

QWidget *TFormCalendriers::buildImport()
{
    auto *page = new QWidget(this);
    m_fichier = new QLineEdit(page);
    auto *browse = new QPushButton(QStringLiteral("Parcourir..."), page);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString f = QFileDialog::getOpenFileName(this, QStringLiteral("Calendrier d'un site de réservation"),
                                                       QString(), QStringLiteral("Calendriers (*.ics);;Tous (*)"));
        if (!f.isEmpty())
            m_fichier->setText(f);
    });
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fichier, 1);
    fileRow->addWidget(browse);
    m_chambre = new QComboBox(page);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Fichier :"), fileRow);
    form->addRow(QStringLiteral("Chambre :"), m_chambre);
    auto *preview = new QPushButton(QStringLiteral("Aperçu"), page);
    m_importer = new QPushButton(QStringLiteral("Importer"), page);
    m_importer->setEnabled(false);
    connect(preview, &QPushButton::clicked, this, [this] { apercu(); });
    connect(m_importer, &QPushButton::clicked, this, [this] { importer(); });
    // A changed file or room needs a new preview before anything is written.
    auto stale = [this] {
        m_plan.reset();
        m_importer->setEnabled(false);
    };
    connect(m_fichier, &QLineEdit::textChanged, this, stale);
    connect(m_chambre, &QComboBox::currentIndexChanged, this, stale);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(preview);
    buttons->addWidget(m_importer);
    buttons->addStretch();
    m_apercu = new QPlainTextEdit(page);
    m_apercu->setReadOnly(true);
    m_disparus = new QListWidget(page);
    m_disparus->setMaximumHeight(110);
    auto *gone = new QGroupBox(QStringLiteral("Séjours disparus du calendrier : cochez ceux à supprimer"), page);
    auto *goneLayout = new QVBoxLayout(gone);
    goneLayout->addWidget(m_disparus);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_apercu, 1);
    layout->addWidget(gone);
    return page;
}

void TFormCalendriers::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_dossier->text().isEmpty())
        m_dossier->setText(QDir::toNativeSeparators(Paths::dataPath(QStringLiteral("calendriers"))));
    const int current = m_chambre->currentData().toInt();
    m_chambre->clear();
    try {
        const int count = Settings::roomCount(25);
        const QStringList names = Settings::roomNames(count);
        for (int room = 1; room <= count; ++room)
            m_chambre->addItem(QStringLiteral("%1 – %2").arg(room).arg(names.value(room - 1)), room);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
    }
    if (const int i = m_chambre->findData(current); i >= 0)
        m_chambre->setCurrentIndex(i);
}

bool TFormCalendriers::exporter()
{
    IcalExport::Options options;
    options.noms = m_noms->isChecked();
    try {
        const QList<IcalExport::RoomFile> files = IcalExport::exporter(QDir::fromNativeSeparators(m_dossier->text()), options);
        m_fichiers->clear();
        for (const IcalExport::RoomFile &f : files)
            m_fichiers->addItem(QStringLiteral("%1\t%2 séjour(s)").arg(QDir::toNativeSeparators(f.path)).arg(f.events));
        m_journal->appendPlainText(QStringLiteral("%1 calendrier(s) écrit(s).").arg(files.size()));
        return true;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
}

bool TFormCalendriers::publier()
{
    // What is published is what is in the folder: export first, so it is current.
    if (!exporter())
        return false;
    const QDir dir(QDir::fromNativeSeparators(m_dossier->text()));
    QStringList files;
    for (const QString &name : dir.entryList({QStringLiteral("chambre-*.ics")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    setEnabled(false);
    try {
        const BackupIdentifiers ids = BackupIdentifiers::read();
        IcalPublish::publier(ServicesConfig::read(), ids.email, ids.password, files, [this](const QString &line) {
            m_journal->appendPlainText(line);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        setEnabled(true);
        return true;
    } catch (const KestrovaError &e) {
        setEnabled(true);
        m_journal->appendPlainText(QStringLiteral("Echec de la publication."));
        Dialogs::error(e.text());
        return false;
    }
}

bool TFormCalendriers::apercu()
{
    m_plan.reset();
    m_importer->setEnabled(false);
    m_disparus->clear();
    m_apercu->clear();
    const QString path = QDir::fromNativeSeparators(m_fichier->text().trimmed());
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        Dialogs::error(path.isEmpty() ? QStringLiteral("Choisissez le fichier .ics du site de réservation.")
                                      : QStringLiteral("Impossible de lire « %1 » : %2")
                                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    try {
        m_plan = IcalImport::preparer(file.read(IcalText::maxBytes + 1), m_chambre->currentData().toInt());
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
    m_apercu->setPlainText(m_plan->texte());
    for (const IcalImport::Item &i : m_plan->items) {
        if (i.kind != IcalImport::Kind::Disparu)
            continue;
        auto *item = new QListWidgetItem(QStringLiteral("%1 – %2 : %3")
                                             .arg(i.debut.toString(QStringLiteral("dd/MM/yyyy")),
                                                  i.fin.toString(QStringLiteral("dd/MM/yyyy")), i.resume),
                                         m_disparus);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, i.uid);
    }
    m_importer->setEnabled(true);
    return true;
}

bool TFormCalendriers::importer()
{
    if (!m_plan)
        return false;
    QSet<QString> remove;
    for (int i = 0; i < m_disparus->count(); ++i)
        if (m_disparus->item(i)->checkState() == Qt::Checked)
            remove.insert(m_disparus->item(i)->data(Qt::UserRole).toString());
    if (!remove.isEmpty() &&
        !Dialogs::question(QStringLiteral("Supprimer du planning les %1 séjour(s) coché(s), disparus du calendrier ?")
                               .arg(remove.size())))
        return false;
    const bool writes = !m_plan->writes.isEmpty() || !remove.isEmpty();
    try {
        IcalImport::appliquer(*m_plan, remove);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text() + QStringLiteral("\nRefaites l'aperçu."));
        m_plan.reset();
        m_importer->setEnabled(false);
        return false;
    }
    m_plan.reset();
    m_importer->setEnabled(false);
    if (writes) {
        m_changed = true;
        ViewFreshness::markStale();
    }
    Dialogs::information(writes ? QStringLiteral("Import enregistré dans le planning.")
                                : QStringLiteral("Rien à écrire : le planning était déjà à jour."));
    return true;
}
