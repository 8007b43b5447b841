#pragma once
// The per-fix lines of the flight log: after every sentence the parser
// accepted, the port reader (or the replay) decides whether this fix is
// logged and writes its line: an IGC F record when the satellites changed
// and a B record, or a line of the text log. Once the receiver knows the
// date, the IGC log's placeholder date header is overwritten and the digest
// rebuilt. The fix is committed afterwards (fix/).
//
// A line is due when a log is open, the new data since the last line
// includes what "LogDataOn" asks for, "LogInterval" is above 0, a position
// has been seen and the sentence count since the last line has reached the
// interval (1 while the glider is inside a turnpoint zone). The first two
// position sentences are never logged.
//
// A line's time, position and altitudes belong to one epoch. A receiver
// that sends its GGA after the epoch's RMC would otherwise have each line
// carry the altitude of the epoch before: once a receiver has given a GGA
// altitude, a line that falls due before its epoch's GGA is held (its F
// record already written) and written when that GGA comes, or, with the
// altitude known before, as soon as a sentence of another epoch brings a
// position or an altitude, or the log closes.
//
// Every field has a bounded width: an absurd value (from a replay, or
// anything the sentences carried) cuts or clamps its own field and never
// runs past the line.

#include <atomic>
#include <cstdint>

#include "gps/gps_fix_record.h"

namespace gps {

// Raised by the waypoint-queue update while the glider is inside the zone
// of the current turnpoint: every qualifying fix is logged then.
inline std::atomic<bool> g_bInTurnpointZone{false};

// Set by the recorder when it opens an IGC log: the first logged fix is
// preceded by an F record of the satellites in use, when there are any.
inline std::atomic<bool> g_bSatellitesForNewLog{false};

// The receiver's date as the writer last saw it, for a log opened on
// another thread: day | month << 8 | year << 16; 0 while it is not known.
inline std::atomic<std::uint32_t> g_loggedGpsDate{0};

// The current wind as the text log's airspeed columns show it.
struct LoggedWind {
    float speed = 0.0F;             // knots
    float directionDegrees = 0.0F;  // where it comes from
    bool valid = false;
};
using LoggedWindSource = LoggedWind (*)();

// The glide computer installs where the current wind comes from before the
// port reader starts; without one the wind columns are left out.
void SetLoggedWindSource(LoggedWindSource source);

// Logs the pending fix (PendingFix; port reader's thread). While no receiver
// has delivered a GPS altitude, a pressure altitude first becomes the GPS
// altitude (less the automatic QNH correction once there is one).
void WriteFixRecords(GpsFixRecord& fix);

// Writes a line still waiting for its altitude, with the altitude known
// when it fell due; nothing when none waits. Any thread: the held line is
// kept under LogFileLock, which this takes. The recorder calls it before it
// seals and closes a log.
void WriteHeldFixLine();

// Back to the load values: no position seen, interval counter -2 (start-up,
// replay start, tests). A held line is written first.
void ResetFixRecords();

}  // namespace gps
