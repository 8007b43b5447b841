#pragma once
// The NMEA sentences of the local gpsd as a byte stream, so that they go
// through the same sentence assembly as those of a serial port.
//
// gpsd answers on its socket with JSON reports (one per line, starting with
// '{') and, once asked to watch with "nmea", relays its receivers' sentences
// as they arrive. The reports are dropped here; the sentences pass
// unchanged. gpsd owns the receivers: rate, modem lines and writes do not
// reach them, so those calls do nothing (writes are dropped).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

#include "platform/serial_device.h"
#include "platform/unique_fd.h"

namespace platform {

class GpsdSource final : public SerialDevice {
  public:
    static constexpr std::uint16_t kDefaultPort = 2947;
    static constexpr std::chrono::milliseconds kDefaultTimeout{1000};

    // Connects to the gpsd listening on 127.0.0.1 at port and asks it to
    // relay its sentences. Null when nothing listens there, or what listens
    // does not greet as gpsd does within timeout.
    static std::unique_ptr<GpsdSource> Connect(std::uint16_t port = kDefaultPort,
                                               std::chrono::milliseconds timeout = kDefaultTimeout);

    GpsdSource(const GpsdSource&) = delete;
    GpsdSource& operator=(const GpsdSource&) = delete;
    ~GpsdSource() override = default;

    DataWait WaitForData(std::chrono::milliseconds timeout) override;
    PortStatus TakeStatus() override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    int Write(std::span<const std::uint8_t> bytes) override;
    int SetBaudRate(std::uint32_t rate) override;
    std::optional<unsigned> ModemLines() override;
    bool SetDtr(bool on) override;
    bool SetRts(bool on) override;
    void Purge() override;

  private:
    explicit GpsdSource(UniqueFd socket);

    std::size_t QueuedBytes() const;
    // Removes the bytes of report lines from bytes; returns how many remain
    // (moved to the front).
    std::size_t KeepSentences(std::span<std::uint8_t> bytes);

    UniqueFd socket_;
    bool atLineStart_ = true;
    bool inReport_ = false;
    std::atomic<bool> hungUp_{false};
};

}  // namespace platform
