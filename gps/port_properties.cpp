#include "gps/port_properties.h"

#include "platform/settings_store.h"

namespace gps {
namespace {

constexpr std::string_view kPerformance = "Performance";

void Store(std::string_view name, const platform::CommProperties& properties) {
    const auto record = properties.Encode();
    platform::AppSettings().WriteBinary(kPerformance, name, record);
}

}  // namespace

PortPropertiesOutcome RecordGpsPortProperties(platform::SerialDevice& device) {
    using Failed = PortPropertiesOutcome::Failed;
    const platform::PropertiesQuery before = device.QueryProperties();
    if (before.error != 0) return {Failed::kFirst, before.error};
    Store("lastCommProp", before.properties);

    platform::PropertiesQuery after = device.QueryProperties();
    if (after.error != 0) return {Failed::kSecond, after.error};
    after.properties.dwCurrentRxQueue = kGpsPortRxQueue;
    after.properties.dwCurrentTxQueue = kGpsPortTxQueue;
    Store("setCommProp", after.properties);
    return {};
}

}  // namespace gps
