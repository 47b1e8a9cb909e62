#include "ui/planning/client_list_page.h"

#include "common/dialogs.h"
#include "common/errors.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ButtonText
{
    const char *glyph;
    const char *tip;
    const char *name;
};

const ButtonText kButtons[ClientListPage::ButtonCount] = {
    {"|◀", "Premier", "first"},     {"◀", "Précédent", "prior"},  {"▶", "Suivant", "next"},
    {"▶|", "Dernier", "last"},      {"+", "Insérer", "insert"},   {"−", "Supprimer", "delete"},
    {"▲", "Modifier", "edit"},      {"✓", "Enregistrer", "post"}, {"✗", "Annuler", "cancel"},
    {"↻", "Rafraîchir", "refresh"},
};

QString text(const QSqlRecord &r, const char *column)
{
    return r.value(QLatin1String(column)).toString();
}

} // namespace

ClientListPage::ClientListPage(QWidget *parent)
    : QWidget(parent), m_table(new QTableWidget(0, 4, this)), m_company(new QLineEdit(this)),
      m_nom(new QLineEdit(this)), m_prenom(new QLineEdit(this)), m_tel(new QLineEdit(this)),
      m_fax(new QLineEdit(this)), m_email(new QLineEdit(this))
{
    setObjectName(QStringLiteral("clientListPage"));
    m_table->setObjectName(QStringLiteral("clientTable"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Nom"), QStringLiteral("Prénom"),
                                        QStringLiteral("Entreprise"), QStringLiteral("Tel")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (m_filling || row < 0 || row >= m_clients.size() || row == m_current)
            return;
        const int id = m_clients[row].value(QStringLiteral("id")).toInt();
        // A pending edit is posted first; the list may then be in a new order.
        if (m_state != State::Browse && !post()) {
            selectRow(m_current);
            return;
        }
        int index = row;
        for (int i = 0; i < m_clients.size(); ++i)
            if (m_clients[i].value(QStringLiteral("id")).toInt() == id)
                index = i;
        m_current = index;
        showCurrent();
        selectRow(m_current);
    });

    auto *navigator = new QHBoxLayout;
    navigator->setSpacing(2);
    for (int b = 0; b < ButtonCount; ++b) {
        auto *button = new QToolButton(this);
        button->setText(QString::fromUtf8(kButtons[b].glyph));
        button->setToolTip(QString::fromUtf8(kButtons[b].tip));
        button->setObjectName(QLatin1String(kButtons[b].name));
        button->setMinimumWidth(30);
        navigator->addWidget(button);
        m_buttons[b] = button;
    }
    navigator->addStretch(1);
    connect(m_buttons[First], &QToolButton::clicked, this, &ClientListPage::first);
    connect(m_buttons[Prior], &QToolButton::clicked, this, &ClientListPage::prior);
    connect(m_buttons[Next], &QToolButton::clicked, this, &ClientListPage::next);
    connect(m_buttons[Last], &QToolButton::clicked, this, &ClientListPage::last);
    connect(m_buttons[Insert], &QToolButton::clicked, this, &ClientListPage::insert);
    connect(m_buttons[Delete], &QToolButton::clicked, this, &ClientListPage::remove);
    connect(m_buttons[EditButton], &QToolButton::clicked, this, &ClientListPage::edit);
    connect(m_buttons[Post], &QToolButton::clicked, this, &ClientListPage::post);
    connect(m_buttons[Cancel], &QToolButton::clicked, this, &ClientListPage::cancel);
    connect(m_buttons[Refresh], &QToolButton::clicked, this, &ClientListPage::refresh);

    const QList<QPair<QString, QLineEdit *>> fields = {{QStringLiteral("Entreprise :"), m_company},
                                                       {QStringLiteral("Nom :"), m_nom},
                                                       {QStringLiteral("Prénom :"), m_prenom},
                                                       {QStringLiteral("Tel :"), m_tel},
                                                       {QStringLiteral("Fax :"), m_fax},
                                                       {QStringLiteral("Email :"), m_email}};
    const char *names[] = {"listNomEts", "listNom", "listPrenom", "listTel", "listFax", "listEmail"};
    auto *form = new QGridLayout;
    for (int i = 0; i < fields.size(); ++i) {
        QLineEdit *edit = fields[i].second;
        edit->setObjectName(QLatin1String(names[i]));
        // Two columns of three fields: the list keeps the height.
        const int row = i % 3;
        const int column = (i / 3) * 2;
        form->addWidget(new QLabel(fields[i].first, this), row, column);
        form->addWidget(edit, row, column + 1);
        connect(edit, &QLineEdit::textEdited, this, &ClientListPage::fieldEdited);
    }
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(navigator);
    layout->addLayout(form);
    updateButtons();
}

int ClientListPage::currentClientId() const
{
    if (m_state == State::Insert || m_current < 0 || m_current >= m_clients.size())
        return 0;
    return m_clients[m_current].value(QStringLiteral("id")).toInt();
}

void ClientListPage::setClients(const QList<QSqlRecord> &clients)
{
    const int keep = m_wantedId != 0 ? m_wantedId : currentClientId();
    m_wantedId = 0;
    m_clients = clients;
    // Reading the list again drops an edit that was not posted.
    m_state = State::Browse;
    int index = -1;
    for (int i = 0; i < m_clients.size(); ++i)
        if (m_clients[i].value(QStringLiteral("id")).toInt() == keep)
            index = i;
    // The first list opens on no client: a hurried "Valider" must not take
    // whoever sorts first (the hotel's own record) for the guest.
    if (index < 0 && m_current >= 0 && !m_clients.isEmpty())
        index = qBound(0, m_current, int(m_clients.size()) - 1);
    m_current = index;

    m_filling = true;
    m_table->setRowCount(int(m_clients.size()));
    for (int row = 0; row < m_clients.size(); ++row) {
        const QSqlRecord &r = m_clients[row];
        const QStringList cells = {text(r, "nom"), text(r, "prenom"), text(r, "nom_ets"), text(r, "tel")};
        for (int c = 0; c < cells.size(); ++c) {
            QTableWidgetItem *item = m_table->item(row, c);
            if (!item) {
                item = new QTableWidgetItem;
                m_table->setItem(row, c, item);
            }
            item->setText(cells[c]);
        }
    }
    m_filling = false;
    showCurrent();
    selectRow(m_current);
}

void ClientListPage::selectRow(int index)
{
    m_filling = true;
    if (index < 0) {
        m_table->clearSelection();
        m_table->setCurrentCell(-1, -1);
    } else {
        m_table->setCurrentCell(index, 0);
        m_table->selectRow(index);
    }
    m_filling = false;
}

void ClientListPage::showCurrent()
{
    const bool has = m_state != State::Insert && m_current >= 0 && m_current < m_clients.size();
    const QSqlRecord r = has ? m_clients[m_current] : QSqlRecord();
    m_company->setText(has ? text(r, "nom_ets") : QString());
    m_nom->setText(has ? text(r, "nom") : QString());
    m_prenom->setText(has ? text(r, "prenom") : QString());
    m_tel->setText(has ? text(r, "tel") : QString());
    m_fax->setText(has ? text(r, "fax") : QString());
    m_email->setText(has ? text(r, "email") : QString());
    updateButtons();
}

void ClientListPage::navigate(Move move)
{
    if (m_clients.isEmpty())
        return;
    // Moving posts the pending edit, as leaving a record does; the move then
    // starts from the posted client's place in the new order.
    if (m_state != State::Browse && !post())
        return;
    int index = m_current;
    switch (move) {
    case Move::First:
        index = 0;
        break;
    case Move::Prior:
        index = m_current - 1;
        break;
    case Move::Next:
        index = m_current + 1;
        break;
    case Move::Last:
        index = int(m_clients.size()) - 1;
        break;
    }
    m_current = qBound(0, index, int(m_clients.size()) - 1);
    showCurrent();
    selectRow(m_current);
}

void ClientListPage::fieldEdited()
{
    if (m_state == State::Browse)
        m_state = m_current < 0 ? State::Insert : State::Edit;
    updateButtons();
}

void ClientListPage::insert()
{
    if (m_state != State::Browse && !post())
        return;
    m_state = State::Insert;
    showCurrent();
    selectRow(-1);
    m_nom->setFocus();
}

void ClientListPage::edit()
{
    if (m_state == State::Browse && m_current >= 0)
        m_state = State::Edit;
    updateButtons();
}

EntryClient ClientListPage::fields() const
{
    EntryClient c;
    c.id = m_state == State::Insert ? 0 : currentClientId();
    c.nomEts = m_company->text();
    c.nom = m_nom->text();
    c.prenom = m_prenom->text();
    c.tel = m_tel->text();
    c.fax = m_fax->text();
    c.email = m_email->text();
    return c;
}

bool ClientListPage::post()
{
    if (m_state == State::Browse)
        return true;
    try {
        const int id = Client().enregistrerLignePanneau(fields());
        m_state = State::Browse;
        m_wantedId = id;
        updateButtons();
        emit clientsChanged();
        return true;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
}

void ClientListPage::cancel()
{
    m_state = State::Browse;
    showCurrent();
    selectRow(m_current);
}

void ClientListPage::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    const int id = currentClientId();
    if (id == 0)
        return;
    if (id == Client::defaultClient) {
        Dialogs::information(
            QStringLiteral("Ce client ne peut pas être supprimé : il reçoit les réservations "
                           "des clients supprimés."));
        return;
    }
    if (!Dialogs::question(deletionQuestion(), false))
        return;
    try {
        Client().supprimerClientPanneau(id);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return;
    }
    m_state = State::Browse;
    // The next client takes the deleted one's place, or the previous at the end.
    const int neighbour = m_current + 1 < m_clients.size() ? m_current + 1 : m_current - 1;
    m_wantedId = neighbour >= 0 ? m_clients[neighbour].value(QStringLiteral("id")).toInt() : 0;
    m_clients.removeAt(m_current);
    setClients(m_clients);
    emit clientsChanged();
}

void ClientListPage::refresh()
{
    if (m_state != State::Browse)
        cancel();
    m_wantedId = currentClientId();
    emit clientsChanged();
}

void ClientListPage::updateButtons()
{
    const bool browsing = m_state == State::Browse;
    const bool has = m_current >= 0 && m_current < m_clients.size();
    // Without a current client every move leads to one.
    const bool none = m_current < 0 && !m_clients.isEmpty();
    const bool notFirst = (has && m_current > 0) || none;
    const bool notLast = (has && m_current < m_clients.size() - 1) || none;
    m_buttons[First]->setEnabled(notFirst || (!browsing && has));
    m_buttons[Prior]->setEnabled(notFirst);
    m_buttons[Next]->setEnabled(notLast);
    m_buttons[Last]->setEnabled(notLast || (!browsing && has));
    m_buttons[Insert]->setEnabled(true);
    m_buttons[Delete]->setEnabled(has || m_state == State::Insert);
    m_buttons[EditButton]->setEnabled(browsing && has);
    m_buttons[Post]->setEnabled(!browsing);
    m_buttons[Cancel]->setEnabled(!browsing);
    m_buttons[Refresh]->setEnabled(true);
}
