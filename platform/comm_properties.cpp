#include "platform/comm_properties.h"

#include <cstddef>

namespace platform {
namespace {

class RecordWriter {
  public:
    explicit RecordWriter(std::array<std::uint8_t, CommProperties::kPacketLength>& record)
        : record_(record) {}

    template <typename Unsigned>
    RecordWriter& operator<<(Unsigned value) {
        for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
            record_[at_++] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return *this;
    }

  private:
    std::array<std::uint8_t, CommProperties::kPacketLength>& record_;
    std::size_t at_ = 0;
};

}  // namespace

std::array<std::uint8_t, CommProperties::kPacketLength> CommProperties::Encode() const {
    std::array<std::uint8_t, kPacketLength> record{};
    RecordWriter(record) << wPacketLength << wPacketVersion << dwServiceMask << dwReserved1
                         << dwMaxTxQueue << dwMaxRxQueue << dwMaxBaud << dwProvSubType
                         << dwProvCapabilities << dwSettableParams << dwSettableBaud
                         << wSettableData << wSettableStopParity << dwCurrentTxQueue
                         << dwCurrentRxQueue << dwProvSpec1 << dwProvSpec2 << wcProvChar;
    return record;
}

}  // namespace platform
