#pragma once

#include <QTabWidget>

class ClientForm;
class ClientListPage;

// The client side of the entry panel: "Liste Clients" (choose or edit an
// existing client), "Infos Client" (the client of the loaded night) and
// "Nouveau Client" (a client created by the next save).
class ClientTabs : public QTabWidget
{
    Q_OBJECT

public:
    enum Tab { Liste = 0, Infos = 1, Nouveau = 2 };

    explicit ClientTabs(QWidget *parent = nullptr);

    ClientListPage *listPage() const { return m_list; }
    ClientForm *infosForm() const { return m_infos; }
    ClientForm *newForm() const { return m_new; }

private:
    ClientListPage *m_list;
    ClientForm *m_infos;
    ClientForm *m_new;
};
