#include "ui/planning/client_tabs.h"

#include "ui/planning/client_form.h"
#include "ui/planning/client_list_page.h"

ClientTabs::ClientTabs(QWidget *parent)
    : QTabWidget(parent), m_list(new ClientListPage(this)), m_infos(new ClientForm(this)),
      m_new(new ClientForm(this))
{
    setObjectName(QStringLiteral("clientTabs"));
    m_infos->setObjectName(QStringLiteral("infosClient"));
    m_new->setObjectName(QStringLiteral("nouveauClient"));
    m_new->setKind(1);
    addTab(m_list, QStringLiteral("Liste Clients"));
    addTab(m_infos, QStringLiteral("Infos Client"));
    addTab(m_new, QStringLiteral("Nouveau Client"));
}
