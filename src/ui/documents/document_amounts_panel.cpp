#include "ui/documents/document_amounts_panel.h"

#include "common/format.h"
#include "ui/documents/document_lines_grid.h"
#include "documents/document_totals.h"
#include "settings/seller_identity.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

QLineEdit *amountField(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(110);
    return edit;
}

} // namespace

DocumentAmountsPanel::DocumentAmountsPanel(QWidget *parent)
    : QWidget(parent), m_remise(amountField("Remise", this)), m_acompte(amountField("Acompte", this)),
      m_reste(amountField("ResteAPayer", this)), m_ht(amountField("TotalHT", this)),
      m_tva(amountField("TotalTVA", this)), m_ttc(amountField("TotalTTC", this))
{
    m_reste->setReadOnly(true);
    auto *left = new QFormLayout;
    // The discount is an amount before tax taken off "Total HT", not a rate.
    const QString currency = SellerIdentity::read().monnaie.trimmed();
    auto *remiseLabel =
        new QLabel(QStringLiteral("Remise HT (%1)").arg(currency.isEmpty() ? QStringLiteral("€") : currency), this);
    remiseLabel->setObjectName(QStringLiteral("RemiseLabel"));
    remiseLabel->setBuddy(m_remise);
    m_remise->setToolTip(QStringLiteral("Montant hors taxes déduit du total HT ; la TVA baisse dans la même "
                                        "proportion."));
    left->addRow(remiseLabel, m_remise);
    left->addRow(QStringLiteral("Acompte"), m_acompte);
    left->addRow(QStringLiteral("Reste à payer"), m_reste);
    auto *right = new QFormLayout;
    right->addRow(QStringLiteral("Total HT"), m_ht);
    right->addRow(QStringLiteral("Total TVA"), m_tva);
    right->addRow(QStringLiteral("Total TTC"), m_ttc);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left);
    layout->addStretch();
    layout->addLayout(right);

    connect(m_remise, &QLineEdit::textChanged, this, &DocumentAmountsPanel::CalculerFacture);
    connect(m_ttc, &QLineEdit::textChanged, this, &DocumentAmountsPanel::updateRest);
    connect(m_acompte, &QLineEdit::textChanged, this, &DocumentAmountsPanel::updateRest);
    updateRest();
}

void DocumentAmountsPanel::attach(DocumentLinesGrid *lines)
{
    m_lines = lines;
    connect(lines, &DocumentLinesGrid::linesChanged, this, &DocumentAmountsPanel::CalculerFacture);
}

void DocumentAmountsPanel::CalculerFacture()
{
    if (!m_lines)
        return;
    const DocumentTotals::Totaux totaux = DocumentTotals::calculer(m_lines->grid(), m_remise->text());
    m_ht->setText(totaux.ht);
    m_tva->setText(totaux.tva);
    m_ttc->setText(totaux.ttc);
}

void DocumentAmountsPanel::setEditable(bool editable)
{
    for (QLineEdit *e : {m_acompte, m_ht, m_tva, m_ttc})
        e->setReadOnly(!editable);
}

void DocumentAmountsPanel::clear()
{
    for (QLineEdit *e : {m_remise, m_acompte, m_ht, m_tva, m_ttc}) {
        const QSignalBlocker block(e);
        e->setText(QStringLiteral("0"));
    }
    updateRest();
}

void DocumentAmountsPanel::setAmounts(const QString &remise, const QString &acompte, const QString &ht,
                                      const QString &tva, const QString &ttc)
{
    const QSignalBlocker block(m_remise);
    m_remise->setText(remise);
    m_acompte->setText(acompte);
    m_ht->setText(ht);
    m_tva->setText(tva);
    m_ttc->setText(ttc);
    updateRest();
}

void DocumentAmountsPanel::updateRest()
{
    m_reste->setText(DocumentTotals::resteAPayer(m_ttc->text(), m_acompte->text()));
}

QString DocumentAmountsPanel::verifier() const
{
    QString problem = DocumentTotals::verifierMontants(m_remise->text(), m_acompte->text());
    if (!problem.isEmpty())
        return problem;
    const QList<QPair<QString, QLineEdit *>> totals = {
        {QStringLiteral("Total HT"), m_ht}, {QStringLiteral("Total TVA"), m_tva}, {QStringLiteral("Total TTC"), m_ttc}};
    for (const auto &[name, field] : totals) {
        bool ok = false;
        Format::parseAmount(field->text(), &ok);
        if (!ok)
            return QStringLiteral("Le %1 « %2 » n'est pas un nombre.").arg(name, field->text().trimmed());
    }
    return {};
}
