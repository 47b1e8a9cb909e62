#include "clients/current_client.h"

namespace {
int g_idClientCourant = 0;
}

namespace CurrentClient {

int id()
{
    return g_idClientCourant;
}

void set(int id)
{
    g_idClientCourant = id;
}

} // namespace CurrentClient

#include "clients/client_card_links.h"

ClientCardLinks &ClientCardLinks::instance()
{
    static ClientCardLinks links;
    return links;
}
