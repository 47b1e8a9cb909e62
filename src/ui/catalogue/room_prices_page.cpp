#include "ui/catalogue/room_prices_page.h"
#include "ui/catalogue/catalogue_widgets.h"

#include "ui/catalogue/choice_combo.h"
#include "catalogue/room_prices_model.h"
#include "ui/catalogue/room_prices_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

RoomPricesPage::RoomPricesPage(const QString &prefix, const QString &buttonText, bool withServiceList,
                               QWidget *parent)
    : QWidget(parent)
{
    auto *form = new QFormLayout;
    if (withServiceList) {
        m_service = new QComboBox(this);
        m_service->setObjectName(prefix + QStringLiteral("Service"));
        m_service->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        form->addRow(QStringLiteral("Prestation"), m_service);
    }
    m_label = new QLineEdit(this);
    m_label->setObjectName(prefix + QStringLiteral("Label"));
    form->addRow(QStringLiteral("Libelle"), m_label);
    m_rate = new QComboBox(this);
    m_rate->setObjectName(prefix + QStringLiteral("Rate"));
    auto *rateRow = new QHBoxLayout;
    rateRow->addWidget(m_rate);
    rateRow->addStretch(1);
    form->addRow(QStringLiteral("TVA"), rateRow);

    m_view = new RoomPricesView(this);
    m_view->setObjectName(prefix + QStringLiteral("Prices"));
    // Room name, two prices and the rate fit without a horizontal scroll bar.
    m_view->setMinimumWidth(250 + 3 * 64 + 2 * m_view->frameWidth() + 24);

    const CatalogueWidgets::ServiceActionRow actions =
        CatalogueWidgets::serviceActionRow(this, prefix, buttonText);
    m_free = actions.freeForChildren;
    m_automatic = actions.automatic;
    m_button = actions.button;
    QHBoxLayout *bottom = actions.layout;

    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(m_view, 1);
    column->addLayout(bottom);

    connect(m_rate, &QComboBox::currentIndexChanged, this,
            [this] { m_view->prices()->setRate(m_rate->currentText()); });
}

RoomPricesModel *RoomPricesPage::prices() const
{
    return m_view->prices();
}

void RoomPricesPage::showRate(const QString &rate)
{
    if (!ChoiceCombo::selectText(m_rate, rate)) {
        const QSignalBlocker blocker(m_rate);
        m_rate->addItem(rate, 0);
        m_rate->setCurrentIndex(m_rate->count() - 1);
    }
}
