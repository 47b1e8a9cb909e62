#pragma once

#include <functional>

// Runs what a button asks for; an error of the data layer is shown to the user
// in an error box instead of escaping the event loop. Returns false on error.
bool runUserAction(const std::function<void()> &action);
