#include "ui/catalogue/price_link.h"

#include "common/amounts.h"
#include "common/price_validator.h"

#include <QComboBox>
#include <QLineEdit>

PriceLink::PriceLink(QLineEdit *ht, QComboBox *rate, QLineEdit *ttc, QObject *parent)
    : QObject(parent), m_ht(ht), m_rate(rate), m_ttc(ttc)
{
    PriceValidator::install(m_ht);
    PriceValidator::install(m_ttc);
    connect(m_ht, &QLineEdit::textEdited, this, &PriceLink::updateTtc);
    connect(m_ttc, &QLineEdit::textEdited, this, &PriceLink::updateHt);
    // Refills of the rate list block its signals: only a rate chosen by the user recomputes.
    connect(m_rate, &QComboBox::currentIndexChanged, this, &PriceLink::updateTtc);
}

void PriceLink::updateTtc()
{
    m_ttc->setText(Amounts::ttcFromHtText(m_ht->text(), m_rate->currentText()));
}

void PriceLink::updateHt()
{
    m_ht->setText(Amounts::htFromTtcText(m_ttc->text(), m_rate->currentText()));
}
