#include "planning/view_freshness.h"

namespace {
bool g_weekly = false;
bool g_monthly = false;
} // namespace

bool ViewFreshness::weeklyUpToDate()
{
    return g_weekly;
}

bool ViewFreshness::monthlyUpToDate()
{
    return g_monthly;
}

void ViewFreshness::setWeeklyUpToDate(bool upToDate)
{
    g_weekly = upToDate;
}

void ViewFreshness::setMonthlyUpToDate(bool upToDate)
{
    g_monthly = upToDate;
}

void ViewFreshness::markStale()
{
    g_weekly = false;
    g_monthly = false;
}
