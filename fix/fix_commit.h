#pragma once
// The fix commit: after each sentence the parser accepted (and the log
// line it may make), the port reader derives what needs the history of
// fixes (the fix time across midnight, climbs, course and speed averages,
// circling, wind), hands PendingFix over to the fix-processing thread as
// CurrentFix and wakes it.
//
// The commit runs on the port reader's thread, or on the replay's, which
// stands in for it; its state is that thread's own.

#include "gps/gps_fix_record.h"
#include "gps/nmea_parser_state.h"

namespace gps {

// What the fix-processing thread needs beside the record, committed with it
// (under FixLock, like CurrentFix): the parser's instrument state and the
// commit's flight state.
struct CommittedInstruments {
    InstrumentKind kind = InstrumentKind::kNone;
    InstrumentFlags delivered;
};

struct FlightState {
    bool circling = false;
    bool straight = false;
    bool steady = false;
    unsigned circlingEnds = 0;  // how often circling ended: its thermal climb ends too
};

extern CommittedInstruments g_currentInstruments;
extern FlightState g_currentFlight;

// The start-up of the fix path, before the GPS port opens: both records
// take FixLock; the commit, the log records and the published values start
// from their load values; the parser reads the published values; and the
// port reader's step for each accepted sentence or frame becomes
// LogAndCommitGpsFix.
void InitGpsData();

// Commits the pending record (PendingFix, as the parser or the replay
// filled it): derives, copies the values into CurrentFix and ORs the value
// and source masks into it (so that a commit the thread has not yet
// published loses nothing), clears the pending masks and sets
// DataAvailableEvent.
void CommitGpsFix(GpsFixRecord& pending);

// What the port reader does with every accepted sentence: the flight-log
// line, then the commit.
void LogAndCommitGpsFix(GpsFixRecord& pending);

// The commit's history back to the load values (start-up, replay, tests).
void ResetFixCommit();

}  // namespace gps
