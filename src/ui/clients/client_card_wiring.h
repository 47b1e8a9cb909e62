#pragma once

// Connects the client card to the invoice, quote and e-mail code that exists
// (ClientCardLinks). Called once when the main window is built.
namespace ClientCardWiring {

void install();

} // namespace ClientCardWiring
