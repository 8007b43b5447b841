// Reads arbitrary bytes as a task file: every task read has finite
// positions on the earth and unit vectors of length one, its legs, sector
// directions and triangle can be computed, and what is written of it reads
// back to the same text after one round.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "nav/task_file.h"
#include "nav/task_model.h"

namespace {

using fuzz::Check;

void CheckRecord(const nav::WaypointRecord& record) {
    Check(std::isfinite(record.latitude) && std::isfinite(record.longitude));
    Check(std::fabs(record.latitude) <= 1.5708);
    Check(std::fabs(record.x * record.x + record.y * record.y + record.z * record.z - 1.0) < 1e-9);
}

std::wstring WriteAll(const nav::CTaskList& list) {
    std::wstring text;
    for (const auto& task : list)
        text += nav::FormatTaskBlock(*task);
    return text;
}

nav::CTaskList ReadAll(const std::wstring& text) {
    nav::CTaskList list;
    nav::TaskBlockReader reader(text);
    for (;;) {
        auto task = std::make_unique<nav::CTask>();
        if (reader.ReadTask(*task) != 0) return list;
        list.Append(std::move(task));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile input(data, size);
    nav::CTaskFile file;
    Check(file.Attach(input.fd()));
    nav::CTaskList list;
    file.ReadAllTasks(list);
    file.Detach();

    for (const auto& task : list) {
        for (const auto& point : task->points) {
            CheckRecord(point->PositionRecord());
            CheckRecord(point->target);
        }
        const float total = nav::ComputeTaskLegs(*task, true, true, true);
        Check(total >= 0.0F);
        nav::ComputeSectorDirections(*task);
        const int corners = task->FindTriangleCorners();
        Check(corners == 0 || corners == 4 || corners == 5);
        (void)task->IsValid();
    }

    const nav::CTaskList first = ReadAll(WriteAll(list));
    Check(first.size() == list.size());
    const std::wstring once = WriteAll(first);
    Check(WriteAll(ReadAll(once)) == once);
    return 0;
}
