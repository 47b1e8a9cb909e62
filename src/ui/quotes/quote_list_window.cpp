#include "ui/quotes/quote_list_window.h"

#include "ui/documents/document_list_model.h"
#include "quotes/devis.h"
#include "catalogue/user_action.h"
#include "ui/clients/export_progress.h"
#include "xlsx/spreadsheet_export.h"
#include "ui/quotes/quote_form.h"
#include "quotes/quote_list.h"

#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

TFormListeDevis::TFormListeDevis(TFormDevis *quoteForm, QWidget *parent)
    : QDialog(parent), m_form(quoteForm), m_model(new DocumentListModel(DocumentStore::Kind::Devis, QuoteList::titres(), QuoteList::champs(),
                                    QuoteList::Remise, this)), m_view(new QTableView(this))
{
    setObjectName(QStringLiteral("FormListeDevis"));
    setWindowTitle(QStringLiteral("Liste des devis"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    resize(1100, 650);

    m_view->setObjectName(QStringLiteral("StringGrid1"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setHighlightSections(false);

    auto *bar = new QMenuBar(this);
    buildMenus(bar);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(m_view, 1);
    connect(m_view, &QTableView::doubleClicked, this, [this] { modifier(); });
}

QAction *TFormListeDevis::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TFormListeDevis::buildMenus(QMenuBar *bar)
{
    const auto add = [this](QMenu *menu, const QString &caption, const char *name,
                            void (TFormListeDevis::*slot)()) {
        QAction *a = menu->addAction(caption, this, slot);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    add(fichier, QStringLiteral("Exporter sous Excel"), "actionExporterExcel", &TFormListeDevis::exporterExcel);
    fichier->addAction(QStringLiteral("Retour"), this, &QDialog::reject)->setObjectName(QStringLiteral("actionRetour"));
    QMenu *devis = bar->addMenu(QStringLiteral("Devis"));
    add(devis, QStringLiteral("Ajouter"), "actionAjouter", &TFormListeDevis::ajouter);
    add(devis, QStringLiteral("Visualiser"), "actionVisualiser", &TFormListeDevis::visualiser);
    add(devis, QStringLiteral("Imprimer"), "actionImprimer", &TFormListeDevis::imprimer);
    add(devis, QStringLiteral("Générer le PDF"), "actionGenererPdf", &TFormListeDevis::genererPdf);
    m_email = add(devis, QStringLiteral("Envoyer par email"), "actionEnvoyerEmail", &TFormListeDevis::envoyerParEmail);
    m_email->setEnabled(false);
    add(devis, QStringLiteral("Modifier"), "actionModifier", &TFormListeDevis::modifier);
    add(devis, QStringLiteral("Supprimer"), "actionSupprimer", &TFormListeDevis::supprimer);
}

void TFormListeDevis::setEmailSender(std::function<void(int)> sender)
{
    m_actions.setEmailSender(std::move(sender));
    m_email->setEnabled(m_actions.canEmail());
}

void TFormListeDevis::AfficheFactures()
{
    // Read once, typed; only the rows on screen are ever formatted.
    QList<DocumentStore::ListRow> rows;
    if (!runUserAction([&] { rows = Devis().lignesListe(); }))
        return;
    m_model->setRows(std::move(rows));
    layOutColumns();
    if (m_model->rowCount() > 0)
        selectRow(1);
}

int TFormListeDevis::devisCourant() const
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return 0;
    return m_model->numero(current.row());
}

void TFormListeDevis::selectRow(int gridRow)
{
    if (gridRow >= 1 && gridRow <= m_model->rowCount())
        m_view->setCurrentIndex(m_model->index(gridRow - 1, 0));
}

void TFormListeDevis::ajouter()
{
    m_form->setMode(QString());
    m_form->exec();
    AfficheFactures();
}

void TFormListeDevis::ouvrir(const QString &mode)
{
    const int numero = devisCourant();
    if (!numero)
        return;
    m_form->setMode(mode);
    if (m_form->afficheFacture(numero))
        m_form->exec();
    else
        m_form->setMode(QString());
}

void TFormListeDevis::visualiser()
{
    ouvrir(QStringLiteral("visualisation"));
}

void TFormListeDevis::modifier()
{
    if (!devisCourant())
        return;
    ouvrir(QStringLiteral("modification"));
    AfficheFactures();
}

void TFormListeDevis::imprimer()
{
    m_actions.imprimer(devisCourant());
}

void TFormListeDevis::genererPdf()
{
    m_actions.genererPdf(devisCourant());
}

void TFormListeDevis::envoyerParEmail()
{
    m_actions.envoyerParEmail(devisCourant());
}

void TFormListeDevis::supprimer()
{
    if (m_actions.supprimer(devisCourant()))
        AfficheFactures();
}

void TFormListeDevis::exporterExcel()
{
    ExportProgress::exporter(this, m_model->grid(), QuoteList::titre(), true, QuoteList::options());
}

void TFormListeDevis::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    AfficheFactures();
}

void TFormListeDevis::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOutColumns();
}

void TFormListeDevis::layOutColumns()
{
    if (m_model->columnCount() < QuoteList::ColumnCount)
        return;
    const int width = m_view->viewport()->width();
    // Dates need their full "dd/MM/yyyy" whatever the font.
    const int dateWidth = qMax(70, m_view->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
    m_view->setColumnWidth(QuoteList::Numero, 50);
    for (int c = QuoteList::Date; c <= QuoteList::Au; ++c)
        m_view->setColumnWidth(c, dateWidth);
    const int w = qMax(60, (width - 50 - 3 * dateWidth) / 6);
    m_view->setColumnWidth(QuoteList::Client, w + 85);
    for (int c = QuoteList::Remise; c < QuoteList::ColumnCount; ++c)
        m_view->setColumnWidth(c, w - 20);
}
