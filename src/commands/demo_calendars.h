#pragma once

#include <QString>

// The demonstration's bookings from a booking site: a small feed of the last
// room imported as the "Calendriers en ligne" window imports one, months
// ahead where the planning is free. Returns the summary line.
QString demoOnlineBookings(int room);
