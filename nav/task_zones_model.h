#pragma once
// What the task point dialog does without its window: the observation zones
// of a task (start and finish kind and size, the turnpoints' zones, one for
// all or each its own) as the pilot edits them, the checks, and writing them
// into the task and into "Settings\Task".
//
// Units: distances shown in the distance unit (km x factor), angles in
// degrees. The model edits copies; the task changes only in Accept (and in
// the constructor, which writes the zones it starts from back into the
// task, as opening the dialog always has). Accept runs every check before
// it writes anything, so a refused OK leaves the task and the settings as
// they were. The task is changed under core::TaskLock. UI thread.

#include <optional>
#include <string>
#include <vector>

#include "nav/task_model.h"
#include "platform/settings_store.h"

namespace nav {

// Start types (combo 1381) and finish types (combo 1382).
inline constexpr int kZoneLine = 0;
inline constexpr int kZoneCylinder = 1;
inline constexpr int kZoneSector = 2;
inline constexpr int kZoneEnterCylinder = 3;  // start only: counted on entering

// The zone values of "Settings\Task" (radii in km).
struct ZoneSettings {
    int startType = 0;         // "StartIsCylinder"
    int finishType = 0;        // "FinishIsCylinder"
    int transferToLogger = 0;  // "TransferToLogger"
    int tptHasCylinder = 0;    // "TptHasCylinder"
    int tptHasSector = 0;      // "TptHasSector"
    float startRadius = 0.0F;  // "StartRadius", "%5.2f"
    float finishRadius = 0.0F;
    float tptCylinderRadius = 0.0F;
    float tptSectorRadius = 0.0F;

    // "TransferToLogger" counts only while a recorder is connected.
    static ZoneSettings Read(const platform::SettingsStore& store, bool recorderConnected);
    void Write(platform::SettingsStore& store) const;
};

// One turnpoint's zone as the dialog shows it (radii in the distance unit).
struct TurnpointZone {
    int hasCylinder = 0;  // 1218
    int hasSector = 0;    // 1217
    int innerUsed = 0;    // 1288
    float cylinderRadius = 0.0F;
    float sectorRadius = 0.0F;
    float sectorAngle = 90.0F;
    float sectorDirection = 0.0F;
    float innerRadius = 0.0F;
    int sectorMode = 0;  // 1320
    int notCounted = 0;  // shows 1289
    friend bool operator==(const TurnpointZone&, const TurnpointZone&) = default;
};

// Why OK was refused: the control to focus and the message's string id
// (0: none, the focus alone tells).
struct ZoneRefusal {
    int controlId;
    unsigned textId;  // ids::kIdsZoneError (a turnpoint zone without kind or size) or
                      // ids::kIdsEmptyTask (a task without points)
    friend bool operator==(const ZoneRefusal&, const ZoneRefusal&) = default;
};

class TaskZonesModel {
  public:
    // Takes the zones from the task (start and finish kind and size, the
    // turnpoints' zones), defaulting what the task lacks from `stored`, and
    // writes them back into the task. distanceFactor: shown per km.
    TaskZonesModel(CTask& task, const ZoneSettings& stored, float distanceFactor);

    // --- Start, finish and the zone for all turnpoints, as shown.
    int startType = 0;
    int finishType = 0;
    int transferToLogger = 0;
    float startRadius = 0.0F;
    float finishRadius = 0.0F;
    float startDirection = 0.0F;
    float finishDirection = 0.0F;
    TurnpointZone common;    // used while sameZoneForAll
    int sameZoneForAll = 0;  // check 1221

    // The turnpoints (the points between start and finish).
    int TurnpointCount() const { return static_cast<int>(turnpoints_.size()); }
    std::vector<std::wstring> TurnpointNames() const;
    // The stored zone of turnpoint i, and storing the shown edits into it.
    const TurnpointZone& Turnpoint(int i) const {
        return turnpoints_.at(static_cast<std::size_t>(i));
    }
    void StoreTurnpoint(int i, const TurnpointZone& zone);

    // Switching "same zone for all" on recomputes the automatic sector
    // directions and shows the start's and the finish's.
    void SetSameZoneForAll(bool on);

    // OK with the shown values (and, when each turnpoint has its own zone,
    // the selected turnpoint's edits already stored): nothing on success,
    // with the settings written and the zones in the task; otherwise why,
    // with nothing changed.
    std::optional<ZoneRefusal> Accept(platform::SettingsStore& store);

    float DistanceFactor() const { return factor_; }

  private:
    std::optional<ZoneRefusal> Check() const;
    void WriteIntoTask();
    ZoneSettings SettingsToStore() const;
    TurnpointZone ShownZone(const CTaskPoint& point) const;
    void TakeDirections();

    CTask& task_;
    float factor_;
    int firstTurnpoint_ = 1;  // list index of the first turnpoint
    std::vector<TurnpointZone> turnpoints_;
};

// An angle as the dialog shows it: rounded to 0.1, 360 shown as 0.
float ShownDirection(float degrees);

}  // namespace nav
