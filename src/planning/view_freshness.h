#pragma once

// Whether the weekly and the monthly planning still show what the database
// holds. Any window that changes reservations or settings marks the views stale;
// the main window brings them up to date when that window returns. Process-wide
// because the windows that clear the flags do not know the main window.
class ViewFreshness
{
public:
    static bool weeklyUpToDate();
    static bool monthlyUpToDate();
    static void setWeeklyUpToDate(bool upToDate);
    static void setMonthlyUpToDate(bool upToDate);

    // Reservations or settings changed: both views must be refilled.
    static void markStale();
};
