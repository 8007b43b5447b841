#pragma once
// The waypoint file, the destination queue and the flown task as the
// frame's commands use them. Task and queue changes are made under
// core::TaskLock; activation and the statistics worker's stop run without
// it (the worker takes TaskLock for every leg). UI thread; the fix thread
// only reads the task under TaskLock and posts.

#include "frame/frame_services.h"

namespace frame {

class ProgramFrameTasks final : public FrameTasks {
  public:
    bool WaypointFileOpen() const override;
    bool EnsureWaypointFileOpen() override;
    bool LoaderIdle() const override;
    void SetLoaderAbort(bool on) override;
    bool OpenWaypointFile() override;
    std::wstring WaypointFileName() const override;
    void WaypointsLoaded() override;
    int QueueIndex() const override;
    std::wstring StepQueue(int delta) override;
    int QueueHighest() const override;
    void SelectQueueSlotOfPoint(std::intptr_t point) override;
    bool NavigationActive() const override;
    bool TaskStarted() const override;
    bool HasCurrentTask() const override;
    bool CurrentTaskAdopted() const override;
    bool ActivePointTappable() const override;
    bool SelectedSlotHasTaskPoint() const override;
    bool DetectedNextQualifies() const override;
    bool TargetHasNextLeg() const override;
    bool EditedTaskValid() const override;
    void ActivateEditedTask() override;
    void CancelTaskSelection() override;
    bool TaskListEmpty() const override;
    void SaveTaskFile(const std::wstring& path) override;
    void LoadTaskFile(const std::wstring& path) override;

};

}  // namespace frame
