#pragma once
// The units options page's values ("Options\Units"): the five unit indices,
// taken from the running settings and written back to them (the altitude
// unit also to the displays' copy) and to the settings store. Without wx; UI
// thread only.

#include "platform/settings_store.h"

namespace core {

struct UnitsOptions {
    int alt = 0;
    int dist = 0;
    int speed = 0;
    int vario = 0;
    int pressure = 0;

    static UnitsOptions FromRunning();
    void Apply(platform::SettingsStore& store) const;
};

}  // namespace core
