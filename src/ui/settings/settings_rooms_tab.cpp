#include "ui/settings/settings_rooms_tab.h"

#include "ui/settings/color_choice.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "setup/settings_form_model.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kNoRoom = QStringLiteral("Liste des chambres");

QLineEdit *digitsField(QWidget *parent, int maxLength)
{
    auto *field = new QLineEdit(parent);
    field->setMaxLength(maxLength);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

} // namespace

SettingsRoomsTab::SettingsRoomsTab(SettingsFormModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    auto *layout = new QVBoxLayout(this);
    auto *countBox = new QGroupBox(QStringLiteral("Nombre de chambres"), this);
    auto *countLayout = new QHBoxLayout(countBox);
    m_countBar = new QScrollBar(Qt::Horizontal, countBox);
    m_countBar->setObjectName(QStringLiteral("JvScrollBar1"));
    m_countBar->setRange(1, SettingsFormModel::maxRooms);
    m_countBar->setPageStep(1);
    m_countField = new QLineEdit(countBox);
    m_countField->setReadOnly(true);
    m_countField->setMaximumWidth(50);
    m_countField->setAlignment(Qt::AlignCenter);
    countLayout->addWidget(m_countBar, 1);
    countLayout->addWidget(m_countField);
    layout->addWidget(countBox);

    auto *pages = new QTabWidget(this);
    pages->addTab(buildNamePage(), QStringLiteral("Nom"));
    pages->addTab(buildDescriptionPage(), QStringLiteral("Description"));
    pages->addTab(buildColorPage(), QStringLiteral("Couleur"));
    layout->addWidget(pages, 1);

    connect(m_countBar, &QScrollBar::valueChanged, this, &SettingsRoomsTab::countChanged);
}

QWidget *SettingsRoomsTab::buildNamePage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    m_names = new QTableWidget(0, 2, page);
    m_names->setHorizontalHeaderLabels({QStringLiteral("Numéro"), QStringLiteral("Nom de la chambre")});
    m_names->verticalHeader()->hide();
    m_names->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_names->setColumnWidth(0, 70);
    layout->addWidget(m_names);
    connect(m_names, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (m_loading || column != 1 || row >= m_model.roomNames().size())
            return;
        m_model.roomNames()[row] = m_names->item(row, 1)->text();
    });
    return page;
}

QWidget *SettingsRoomsTab::buildDescriptionPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    m_descriptionRoom = new QComboBox(page);
    m_maxAdults = digitsField(page, 3);
    m_maxChildren = digitsField(page, 3);
    m_description = new QPlainTextEdit(page);
    layout->addRow(QString(), m_descriptionRoom);
    layout->addRow(QStringLiteral("Nombre d'adultes maximum :"), m_maxAdults);
    layout->addRow(QStringLiteral("Nombre d'enfants maximum :"), m_maxChildren);
    layout->addRow(m_description);
    connect(m_descriptionRoom, &QComboBox::currentIndexChanged, this, &SettingsRoomsTab::descriptionRoomChanged);
    connect(m_description, &QPlainTextEdit::textChanged, this, &SettingsRoomsTab::storeDescriptionFields);
    connect(m_maxAdults, &QLineEdit::textChanged, this, &SettingsRoomsTab::storeDescriptionFields);
    connect(m_maxChildren, &QLineEdit::textChanged, this, &SettingsRoomsTab::storeDescriptionFields);
    return page;
}

QWidget *SettingsRoomsTab::buildColorPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    m_colorRoom = new QComboBox(page);
    m_border = new ColorChoice(QStringLiteral("Couleur de la bordure"), page);
    m_background = new ColorChoice(QStringLiteral("Couleur du fond"), page);
    layout->addRow(QString(), m_colorRoom);
    layout->addRow(QStringLiteral("Couleur de la bordure"), m_border);
    layout->addRow(QStringLiteral("Couleur du fond"), m_background);
    connect(m_colorRoom, &QComboBox::currentIndexChanged, this, &SettingsRoomsTab::colorRoomChanged);
    const auto store = [this](bool border, const QColor &color) {
        const int room = m_colorRoom->currentIndex();
        if (room <= 0 || room >= m_model.rooms().size())
            return;
        (border ? m_model.rooms()[room].border : m_model.rooms()[room].background) = IniFile::colorToText(color);
    };
    connect(m_border, &ColorChoice::colorChosen, this, [store](const QColor &c) { store(true, c); });
    connect(m_background, &ColorChoice::colorChosen, this, [store](const QColor &c) { store(false, c); });
    return page;
}

void SettingsRoomsTab::showModel()
{
    m_loading = true;
    m_countBar->setValue(m_model.roomCount());
    m_countField->setText(QString::number(m_model.roomCount()));
    m_loading = false;
    fillNameTable();
    fillRoomSelectors();
    resetDescriptionSelector();
}

void SettingsRoomsTab::resetDescriptionSelector()
{
    m_descriptionRoom->setCurrentIndex(0);
    descriptionRoomChanged(0);
}

void SettingsRoomsTab::countChanged(int count)
{
    if (m_loading)
        return;
    m_countField->setText(QString::number(count));
    m_model.setRoomCount(count);
    fillNameTable();
    fillRoomSelectors();
}

void SettingsRoomsTab::fillNameTable()
{
    m_loading = true;
    const QStringList &names = m_model.roomNames();
    m_names->setRowCount(int(names.size()));
    for (int row = 0; row < names.size(); ++row) {
        auto *number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(number->flags() & ~Qt::ItemIsEditable);
        m_names->setItem(row, 0, number);
        m_names->setItem(row, 1, new QTableWidgetItem(names.at(row)));
    }
    m_loading = false;
}

void SettingsRoomsTab::fillRoomSelectors()
{
    // The selectors list the names as config.ini holds them.
    const QStringList stored = Settings::roomNames(m_model.roomCount());
    for (QComboBox *selector : {m_descriptionRoom, m_colorRoom}) {
        const int current = selector->currentIndex();
        const QSignalBlocker block(selector);
        selector->clear();
        selector->addItem(kNoRoom);
        selector->addItems(stored);
        selector->setCurrentIndex(current > 0 && current < selector->count() ? current : 0);
    }
    descriptionRoomChanged(m_descriptionRoom->currentIndex());
    colorRoomChanged(m_colorRoom->currentIndex());
}

void SettingsRoomsTab::descriptionRoomChanged(int index)
{
    m_loading = true;
    const bool room = index > 0 && index < m_model.rooms().size();
    m_description->setPlainText(room ? m_model.rooms().at(index).description : QString());
    m_maxAdults->setText(room ? m_model.rooms().at(index).maxAdults : QString());
    m_maxChildren->setText(room ? m_model.rooms().at(index).maxChildren : QString());
    m_loading = false;
}

void SettingsRoomsTab::storeDescriptionFields()
{
    const int room = m_descriptionRoom->currentIndex();
    if (m_loading || room <= 0 || room >= m_model.rooms().size())
        return;
    SettingsFormModel::Room &r = m_model.rooms()[room];
    r.description = m_description->toPlainText();
    r.maxAdults = m_maxAdults->text();
    r.maxChildren = m_maxChildren->text();
}

void SettingsRoomsTab::colorRoomChanged(int index)
{
    const bool room = index > 0 && index < m_model.rooms().size();
    const auto colorOf = [](const QString &text) {
        bool ok = false;
        const QColor c = IniFile::colorFromText(text, &ok);
        return ok ? c : QColor(Qt::white);
    };
    m_border->setColor(room ? colorOf(m_model.rooms().at(index).border) : QColor(Qt::white));
    m_background->setColor(room ? colorOf(m_model.rooms().at(index).background) : QColor(Qt::white));
}
