#include "ui/catalogue/service_entry_group.h"
#include "ui/catalogue/catalogue_widgets.h"

#include "ui/catalogue/choice_combo.h"
#include "ui/catalogue/price_link.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QLineEdit *priceField(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000,")) + 16);
    return edit;
}

} // namespace

ServiceEntryGroup::ServiceEntryGroup(const QString &title, const QString &prefix, const QString &buttonText,
                                     bool withServiceList, QWidget *parent)
    : QGroupBox(title, parent)
{
    auto *grid = new QGridLayout(this);
    int row = 0;
    auto addRow = [&](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    };

    if (withServiceList) {
        m_service = new QComboBox(this);
        m_service->setObjectName(prefix + QStringLiteral("Service"));
        m_service->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        addRow(QStringLiteral("Prestation"), m_service);
    }

    m_label = new QLineEdit(this);
    m_label->setObjectName(prefix + QStringLiteral("Label"));
    addRow(QStringLiteral("Libelle"), m_label);

    m_ht = priceField(this, prefix + QStringLiteral("Ht"));
    m_rate = new QComboBox(this);
    m_rate->setObjectName(prefix + QStringLiteral("Rate"));
    m_ttc = priceField(this, prefix + QStringLiteral("Ttc"));
    auto *prices = new QHBoxLayout;
    prices->addWidget(m_ht);
    auto *rateCaption = new QLabel(QStringLiteral("TVA"), this);
    rateCaption->setBuddy(m_rate);
    prices->addSpacing(12);
    prices->addWidget(rateCaption);
    prices->addWidget(m_rate);
    auto *ttcCaption = new QLabel(QStringLiteral("Tarif TTC"), this);
    ttcCaption->setBuddy(m_ttc);
    prices->addSpacing(12);
    prices->addWidget(ttcCaption);
    prices->addWidget(m_ttc);
    prices->addStretch(1);
    auto *htCaption = new QLabel(QStringLiteral("Tarif HT"), this);
    htCaption->setBuddy(m_ht);
    grid->addWidget(htCaption, row, 0);
    grid->addLayout(prices, row, 1);
    ++row;

    const CatalogueWidgets::ServiceActionRow actions =
        CatalogueWidgets::serviceActionRow(this, prefix, buttonText);
    m_free = actions.freeForChildren;
    m_automatic = actions.automatic;
    m_button = actions.button;
    grid->addLayout(actions.layout, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    // Groups with and without a service list line their fields up.
    grid->setColumnMinimumWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("Prestation")) + 8);

    m_link = new PriceLink(m_ht, m_rate, m_ttc, this);
}

void ServiceEntryGroup::showRate(const QString &rate)
{
    if (!ChoiceCombo::selectText(m_rate, rate)) {
        const QSignalBlocker blocker(m_rate);
        m_rate->addItem(rate, 0);
        m_rate->setCurrentIndex(m_rate->count() - 1);
    }
}

void ServiceEntryGroup::clearPrices()
{
    m_ht->clear();
    m_ttc->clear();
}
