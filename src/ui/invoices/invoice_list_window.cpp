#include "ui/invoices/invoice_list_window.h"

#include "ui/documents/document_list_model.h"
#include "catalogue/user_action.h"
#include "ui/clients/export_progress.h"
#include "common/dialogs.h"
#include "invoices/facture.h"
#include "invoices/invoice_export.h"
#include "ui/invoices/invoice_form.h"
#include "invoices/invoice_list.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

TForm6::TForm6(TForm4 *invoiceForm, QWidget *parent)
    : QDialog(parent), m_form(invoiceForm), m_model(new DocumentListModel(DocumentStore::Kind::Facture, InvoiceList::titres(), InvoiceList::champs(),
                                    InvoiceList::Remise, this)), m_view(new QTableView(this)),
      m_filter(new QComboBox(this)), m_paymentMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Liste des factures"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    resize(1100, 650);

    m_view->setObjectName(QStringLiteral("StringGrid1"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Thousands of rows of one height: the header need not track each one.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);

    m_filter->setObjectName(QStringLiteral("ComboBox1"));
    m_filter->addItems(InvoiceList::filtres());
    m_filter->setPlaceholderText(QStringLiteral("Filtrer sur paiement"));
    m_filter->setCurrentIndex(-1);

    auto *bar = new QMenuBar(this);
    buildMenus(bar);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(m_filter);
    filterRow->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addLayout(filterRow);
    layout->addWidget(m_view, 1);

    const QList<QPair<QString, QString>> payments = {{QStringLiteral("Payé par Chèque"), QStringLiteral("Chèque")},
                                                     {QStringLiteral("Payé par Espèces"), QStringLiteral("Espèces")},
                                                     {QStringLiteral("Payé par CB"), QStringLiteral("CB")},
                                                     {QStringLiteral("Payé par Virement"), QStringLiteral("Virement")},
                                                     {QStringLiteral("Non Payé"), QStringLiteral("Non payé")}};
    for (const auto &[caption, mode] : payments)
        m_paymentMenu->addAction(caption, this, [this, mode] {
            if (const int numero = factureCourante())
                changerModeReglement(numero, mode);
        });
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = m_view->indexAt(pos);
        if (index.isValid())
            m_view->setCurrentIndex(index);
        m_paymentMenu->popup(m_view->viewport()->mapToGlobal(pos));
    });
    connect(m_view, &QTableView::doubleClicked, this, [this] { modifier(); });
    connect(m_filter, &QComboBox::activated, this, [this] { refresh(); });
}

QAction *TForm6::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TForm6::buildMenus(QMenuBar *bar)
{
    const auto add = [this](QMenu *menu, const QString &caption, const char *name, void (TForm6::*slot)()) {
        QAction *a = menu->addAction(caption, this, slot);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    fichier->addAction(QStringLiteral("Exporter sous Excel"), this, [this] { exporterExcel(); })
        ->setObjectName(QStringLiteral("actionExporterExcel"));
    QAction *retour = fichier->addAction(QStringLiteral("Retour"), this, &QDialog::reject);
    retour->setObjectName(QStringLiteral("actionRetour"));
    QMenu *facture = bar->addMenu(QStringLiteral("Facture"));
    add(facture, QStringLiteral("Imprimer"), "actionImprimer", &TForm6::imprimer);
    add(facture, QStringLiteral("Générer le PDF"), "actionGenererPdf", &TForm6::genererPdf);
    m_email = add(facture, QStringLiteral("Envoyer par email"), "actionEnvoyerEmail", &TForm6::envoyerParEmail);
    m_email->setEnabled(false);
    add(facture, QStringLiteral("Visualiser"), "actionVisualiser", &TForm6::visualiser);
    add(facture, QStringLiteral("Modifier"), "actionModifier", &TForm6::modifier);
    add(facture, QStringLiteral("Supprimer"), "actionSupprimer", &TForm6::supprimer);
}

void TForm6::setEmailSender(std::function<void(int)> sender)
{
    m_actions.setEmailSender(std::move(sender));
    m_email->setEnabled(m_actions.canEmail());
}

void TForm6::AfficheFactures(const QString &modeReglement)
{
    // Read once, typed; only the rows on screen are ever formatted.
    QList<DocumentStore::ListRow> rows;
    if (!runUserAction([&] { rows = Facture().lignesListe(modeReglement); }))
        return;
    m_model->setRows(std::move(rows));
    m_listedMode = modeReglement;
    layOutColumns();
    if (m_model->rowCount() > 0)
        selectRow(1);
}

QString TForm6::filtreCourant() const
{
    return InvoiceList::filtreCourant(m_filter->currentText());
}

void TForm6::refresh()
{
    AfficheFactures(filtreCourant());
}

void TForm6::changerModeReglement(int numero, const QString &mode)
{
    bool changed = false;
    if (!runUserAction([&] { changed = Facture().setModeReglement(numero, mode); }) || !changed)
        return;
    Dialogs::information(QStringLiteral("Facture mise à jour"));
    const int row = m_model->rowOf(numero);
    if (row < 0)
        return;
    if (m_listedMode.isEmpty() || m_listedMode == mode) {
        m_model->setMode(row, mode);
        return;
    }
    // The invoice no longer has the payment mode the list shows: it leaves the
    // list, and the row that took its place becomes the current one.
    const bool wasCurrent = m_view->currentIndex().row() == row;
    m_model->removeListedRow(row);
    if (wasCurrent)
        selectRow(qMin(row + 1, m_model->listedRows()));
}

int TForm6::factureCourante() const
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return 0;
    return m_model->numero(current.row());
}

void TForm6::selectRow(int gridRow)
{
    if (gridRow >= 1 && gridRow <= m_model->rowCount())
        m_view->setCurrentIndex(m_model->index(gridRow - 1, 0));
}

void TForm6::imprimer()
{
    m_actions.imprimer(factureCourante());
}

void TForm6::genererPdf()
{
    m_actions.genererPdf(factureCourante());
}

void TForm6::envoyerParEmail()
{
    m_actions.envoyerParEmail(factureCourante());
}

void TForm6::visualiser()
{
    const int numero = factureCourante();
    if (!numero)
        return;
    m_form->setMode(QStringLiteral("visualisation"));
    if (m_form->afficheFacture(numero))
        m_form->exec();
    else
        m_form->setMode(QString());
}

void TForm6::modifier()
{
    const int numero = factureCourante();
    if (!numero)
        return;
    m_form->setMode(QStringLiteral("modification"));
    if (m_form->afficheFacture(numero))
        m_form->exec();
    else
        m_form->setMode(QString());
    refresh();
}

void TForm6::supprimer()
{
    if (m_actions.supprimer(factureCourante()))
        refresh();
}

QString TForm6::exporterExcel(bool leaveOpen)
{
    // The caption says which rows the sheet holds: those shown, whatever the
    // filter box shows meanwhile.
    return ExportProgress::exporter(this, m_model->grid(), InvoiceList::titre(), leaveOpen,
                                    InvoiceExport::options(m_listedMode));
}

void TForm6::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Opening the list shows every invoice and invites a choice of payment mode.
    AfficheFactures(QString());
    m_filter->setCurrentIndex(-1);
}

void TForm6::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOutColumns();
}

void TForm6::layOutColumns()
{
    if (m_model->columnCount() < InvoiceList::ColumnCount)
        return;
    const int width = m_view->viewport()->width();
    // Dates need their full "dd/MM/yyyy" whatever the font.
    const int dateWidth = qMax(70, m_view->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
    m_view->setColumnWidth(InvoiceList::Numero, 50);
    for (int c = InvoiceList::Date; c <= InvoiceList::Au; ++c)
        m_view->setColumnWidth(c, dateWidth);
    // The client's column and the columns from "Paiement" on share what the dates leave.
    const int w = qMax(60, (width - 50 - 3 * dateWidth) / (InvoiceList::ColumnCount - InvoiceList::Paiement + 1));
    m_view->setColumnWidth(InvoiceList::Client, w + 105);
    for (int c = InvoiceList::Paiement; c < InvoiceList::ColumnCount; ++c)
        m_view->setColumnWidth(c, w - 20);
}
