#include "guard/SessionEnds.h"

void TSessionEnds::LoggedOn(uint32_t session)
{
    // A session that logs on anew is no longer ending; one that was not ending stays as it was.
    uint32_t expected = session;
    LoggingOffSession.compare_exchange_strong(expected, NoSession);
}

void TSessionEnds::LoggingOff(uint32_t session)
{
    LoggingOffSession = session;
}

bool TSessionEnds::Ending(uint32_t session) const
{
    return Stopping || (session != NoSession && session == LoggingOffSession);
}
