#include "ui/clients/client_list_window.h"

#include "ui/clients/client_card.h"
#include "ui/clients/client_list_model.h"
#include "clients/client_export.h"
#include "clients/current_client.h"
#include "ui/clients/export_progress.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/client.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Widths of the columns for a grid width W (W/7 truncated), the id hidden.
void fitColumns(QTableView *view)
{
    const int w = view->viewport()->width() / 7;
    const int widths[] = {0, w, w, w, w - 10, w - 10, w + 40, w - 20};
    for (int c = 1; c < 8; ++c)
        view->setColumnWidth(c, std::max(20, widths[c]));
}

class ListView : public QTableView
{
public:
    using QTableView::QTableView;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QTableView::resizeEvent(event);
        fitColumns(this);
    }
};

} // namespace

TFormClient::TFormClient(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Liste des clients"));
    setObjectName(QStringLiteral("TFormClient"));
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    m_exporter = fichier->addAction(QStringLiteral("Exporter sous Excel"), this, [this] { exporterExcel(true); });
    fichier->addAction(QStringLiteral("Retour"), this, &QDialog::reject);
    QMenu *client = bar->addMenu(QStringLiteral("Client"));
    m_nouveau = client->addAction(QStringLiteral("Nouveau"), this, &TFormClient::NouveauClick);
    m_modifier = client->addAction(QStringLiteral("Modifier"), this, &TFormClient::VisualiserClick);
    m_supprimer = client->addAction(QStringLiteral("Supprimer"), this, &TFormClient::SupprimerClick);

    auto *search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Recherche rapide : "), this));
    m_recherche = new QLineEdit(this);
    m_recherche->setObjectName(QStringLiteral("rechercheRapide"));
    search->addWidget(m_recherche, 1);
    layout->addLayout(search);

    m_view = new ListView(this);
    m_model = new ClientListModel(m_view);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(22);
    // Rows of one height: a refill of thousands of rows need not measure them.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(m_view, 1);

    auto *buttons = new QHBoxLayout;
    m_selectionner = new QPushButton(QStringLiteral("Sélectionner"), this);
    m_annuler = new QPushButton(QStringLiteral("Annuler"), this);
    m_visualiser = new QPushButton(QStringLiteral("Visualiser"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_selectionner);
    buttons->addSpacing(20);
    buttons->addWidget(m_annuler);
    buttons->addSpacing(20);
    buttons->addWidget(m_visualiser);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    m_selectionner->setAutoDefault(false);
    m_annuler->setAutoDefault(false);
    m_visualiser->setAutoDefault(false);

    connect(m_recherche, &QLineEdit::textChanged, this, &TFormClient::filtrer);
    connect(m_selectionner, &QPushButton::clicked, this, &TFormClient::SelectionnerClick);
    connect(m_annuler, &QPushButton::clicked, this, &TFormClient::AnnulerClick);
    connect(m_visualiser, &QPushButton::clicked, this, &TFormClient::VisualiserClick);
    connect(m_view, &QTableView::doubleClicked, this, &TFormClient::GrilleDblClick);
    resize(1000, 600);
    AfficherListeClient(QString());
}

void TFormClient::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Each opening starts from the whole file, as other windows may have changed it.
    {
        const QSignalBlocker quiet(m_recherche);
        m_recherche->clear();
    }
    AfficherListeClient(QString());
    m_recherche->setFocus();
}

void TFormClient::AfficherListeClient(const QString &recherche)
{
    try {
        m_tous = Client().lireListe(QString());
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        m_tous.clear();
    }
    filtrer(recherche);
}

void TFormClient::filtrer(const QString &recherche)
{
    m_model->setRows(Client::filtrerLignes(m_tous, recherche));
    m_view->setColumnHidden(0, true);
    fitColumns(m_view);
    if (m_model->rowCount() > 0)
        selectRow(0);
    SelectedClient();
}

void TFormClient::selectRow(int row)
{
    m_view->setCurrentIndex(m_model->index(row, 1));
    SelectedClient();
}

QString TFormClient::currentIdText() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? m_model->cell(current.row() + 1, 0).trimmed() : QString();
}

int TFormClient::currentId() const
{
    return currentIdText().toInt();
}

void TFormClient::SelectedClient()
{
    const bool row = !currentIdText().isEmpty();
    m_selectionner->setEnabled(row);
    m_visualiser->setEnabled(row);
    m_modifier->setEnabled(row);
    m_supprimer->setEnabled(row);
}

void TFormClient::SelectionnerClick()
{
    CurrentClient::set(0);
    if (!currentIdText().isEmpty())
        CurrentClient::set(currentId());
    accept();
}

void TFormClient::AnnulerClick()
{
    CurrentClient::set(0);
    reject();
}

void TFormClient::VisualiserClick()
{
    if (currentIdText().isEmpty())
        return;
    const int id = currentId();
    TFormFicheClient::ouvrir(this, id);
    AfficherListeClient(m_recherche->text());
}

void TFormClient::NouveauClick()
{
    TFormFicheClient::ouvrir(this, -1);
    AfficherListeClient(m_recherche->text());
}

void TFormClient::SupprimerClick()
{
    if (currentIdText().isEmpty())
        return;
    TFormFicheClient::supprimerClient(currentId());
    AfficherListeClient(m_recherche->text());
}

void TFormClient::GrilleDblClick()
{
    if (m_modeListe == QLatin1String("selection")) {
        m_modeListe = QStringLiteral("normal");
        SelectionnerClick();
    } else {
        VisualiserClick();
    }
}

QString TFormClient::exporterExcel(bool leaveOpen)
{
    const QString search = m_recherche->text();
    return ExportProgress::exporter(this, m_model->grid(), ClientExport::title(), leaveOpen,
                                    ClientExport::options(search));
}

int TFormClient::choisirClient(QWidget *parent)
{
    TFormClient list(parent);
    list.setModeListe(QStringLiteral("selection"));
    CurrentClient::set(0);
    list.exec();
    const int id = CurrentClient::id();
    CurrentClient::set(0);
    return id > 0 ? id : 0;
}

int TFormClient::parcourir(QWidget *parent)
{
    TFormClient list(parent);
    CurrentClient::set(0);
    list.exec();
    const int id = CurrentClient::id();
    CurrentClient::set(0);
    return id > 0 ? id : 0;
}

void TFormClient::installMenus(QWidget *parent, QAction *liste, QAction *nouveau,
                               const std::function<void(int chosen)> &afterwards)
{
    liste->setEnabled(true);
    nouveau->setEnabled(true);
    QObject::connect(liste, &QAction::triggered, parent, [parent, afterwards] { afterwards(parcourir(parent)); });
    QObject::connect(nouveau, &QAction::triggered, parent, [parent, afterwards] {
        TFormFicheClient::ouvrir(parent, -1);
        CurrentClient::set(0);
        afterwards(0);
    });
}
