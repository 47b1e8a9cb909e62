#include "ui/catalogue/vat_editor.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "common/price_validator.h"
#include "data/tva.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Ttva_details::Ttva_details(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Ttva_details"));
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("rate"));
    m_rate->setAlignment(Qt::AlignRight);
    m_rate->setFixedWidth(m_rate->fontMetrics().horizontalAdvance(QStringLiteral("000000,00")) + 16);
    // Digits and one decimal separator, "." shown as ",".
    PriceValidator::install(m_rate, 0);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Valeur (%)"), m_rate);

    m_ok = new QPushButton(QStringLiteral("Ajouter"), this);
    m_ok->setObjectName(QStringLiteral("validate"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(280, 0)));

    connect(m_ok, &QPushButton::clicked, this, &Ttva_details::validate);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    nouveauTaux();
}

void Ttva_details::nouveauTaux()
{
    m_id = -1;
    m_stored = false;
    m_rate->clear();
    m_ok->setText(QStringLiteral("Ajouter"));
    setWindowTitle(QStringLiteral("Nouveau taux de TVA"));
}

void Ttva_details::modifierTaux(int id, const QString &taux)
{
    m_id = id;
    m_stored = false;
    m_rate->setText(taux);
    m_ok->setText(QStringLiteral("Modifier"));
    setWindowTitle(QStringLiteral("Modification du taux de TVA"));
}

bool Ttva_details::run()
{
    exec();
    return m_stored;
}

void Ttva_details::validate()
{
    const QString text = m_rate->text().trimmed();
    if (text.isEmpty()) {
        Dialogs::information(QStringLiteral("Le taux de TVA ne peut être vide !"));
        return;
    }
    try {
        Tva tva;
        if (m_id < 0) {
            tva.ajouterTaux(text);
        } else if (!tva.modifierTaux(m_id, text)) {
            Dialogs::warning(QStringLiteral("Ce taux de TVA n'existe plus : il n'a pas été modifié."));
            reject();
            return;
        }
    } catch (const KestrovaError &e) {
        // The user must know the rate was not stored, and may correct it.
        Dialogs::error(QStringLiteral("Le taux de TVA n'a pas été enregistré.\n") + e.text());
        return;
    }
    m_stored = true;
    accept();
}

void Ttva_details::done(int result)
{
    m_rate->clear();
    QDialog::done(result);
}
