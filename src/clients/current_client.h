#pragma once

// The client one window hands another: -1 asks the client card for a new
// client, 0 means none chosen, a positive value is a client id. Windows run on
// one thread, so a plain process-wide value is enough.
namespace CurrentClient {

int id();
void set(int id);

} // namespace CurrentClient
