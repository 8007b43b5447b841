// The reader's parts that need no device: sentence assembly, error records,
// modem-line events, the baud cycle and the dialog feed.
#include <fcntl.h>

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_values.h"
#include "gps/gps_port.h"
#include "gps/port_auto_baud.h"
#include "gps/port_comm_errors.h"
#include "gps/port_dialog_feed.h"
#include "gps/port_line_assembler.h"
#include "gps/port_modem_lines.h"
#include "gps/settings_values.h"
#include "platform/serial_device.h"
#include "platform/unique_fd.h"
#include "services/flight_log.h"

namespace gps {
namespace {

namespace ce = platform::comm_error;
namespace ml = platform::modem_line;

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The lines an assembler hands on for the given reads.
std::vector<std::string> Assemble(const std::vector<std::string>& reads) {
    LineAssembler assembler;
    std::vector<std::string> lines;
    for (const std::string& read : reads) {
        assembler.Push(Bytes(read), [&](std::span<char> line) {
            EXPECT_EQ(line.data()[line.size()], '\0');  // a zero byte follows the LF
            lines.emplace_back(line.data(), line.size());
        });
    }
    return lines;
}

const std::string kRmc =
    "$GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D*61\r\n";
const std::string kGga =
    "$GPGGA,134749.60,4857.88170,N,00705.83929,E,2,25,1.00,1452.0,M,47.2,M,,*63\r\n";

TEST(LineAssembler, ASentenceSplitAcrossReadsOfAnySizeIsAssembled) {
    for (const std::size_t piece : {1u, 3u, 7u}) {
        std::vector<std::string> reads;
        for (std::size_t at = 0; at < kRmc.size(); at += piece)
            reads.push_back(kRmc.substr(at, piece));
        EXPECT_EQ(Assemble(reads), std::vector<std::string>{kRmc}) << piece;
    }
}

TEST(LineAssembler, SentencesInOneReadComeInOrderAndBytesBetweenAreSkipped) {
    EXPECT_EQ(Assemble({"noise\r\n" + kRmc + "junk" + kGga + "$GPG"}),
              (std::vector<std::string>{kRmc, kGga}));
}

TEST(LineAssembler, ASentenceTooLongForTheBufferIsDroppedWhole) {
    const std::string longest = "$" + std::string(250, 'A') + "\n";  // 251 bytes before the LF
    const std::string tooLong = "$" + std::string(251, 'B') + "\n";
    const std::string far = "$" + std::string(400, 'C') + "\n";
    EXPECT_EQ(Assemble({longest, tooLong, kRmc, far, kGga}),
              (std::vector<std::string>{longest, kRmc, kGga}));

    // The limit counts no CR before the LF; CRs elsewhere are text.
    const std::string longestCrLf = "$" + std::string(250, 'A') + "\r\n";
    const std::string innerCr = "$" + std::string(249, 'A') + "\r\r\n";
    const std::string innerCrTooLong = "$" + std::string(250, 'A') + "\rA\n";
    EXPECT_EQ(Assemble({longestCrLf, innerCr, innerCrTooLong, kRmc}),
              (std::vector<std::string>{longestCrLf, innerCr, kRmc}));
}

TEST(LineAssembler, ABangSentenceIsHandedOnAsDollarAndThreeZeroBytes) {
    EXPECT_EQ(Assemble({"!w,1,2*00\r\n"}),
              std::vector<std::string>{std::string("$\0\0\0w,1,2*00\r\n", 14)});
}

TEST(LineAssembler, ADollarInsideASentenceIsText) {
    // A line cut short runs into the next; the checksum refuses it later.
    EXPECT_EQ(Assemble({"$GPRMC,1348" + kGga}), std::vector<std::string>{"$GPRMC,1348" + kGga});
}

class RecordingServices : public PortReaderServices {
  public:
    bool AppendLogRecords(std::span<const std::string_view> lines) override {
        if (!logOpen) return false;
        for (const std::string_view line : lines)
            records.emplace_back(line);
        return true;
    }
    bool HaveFix() const override { return haveFix; }
    FixClock CurrentFixClock() const override { return {13, 47, 49}; }

    bool logOpen = true;
    bool haveFix = true;
    std::vector<std::string> records;
};

TEST(CommErrorLog, EachWordIsClassifiedAndWrittenAsItsRecord) {
    const struct {
        std::uint32_t word;
        int errorClass;
        std::string record;
    } cases[] = {
        {ce::kRxOver, 0, "LXKV COMERR-RXOVER\r\n"},
        {ce::kOverrun, 1, "LXKV COMERR-OVERRUN\r\n"},
        {ce::kRxParity, 2, "LXKV COMERR-RXPARITY\r\n"},
        {ce::kFrame, 3, "LXKV COMERR-FRAME\r\n"},
        {ce::kBreak, 4, "LXKV COMERR-BREAK\r\n"},
        {ce::kTxFull, 5, "LXKV COMERR-TXFULL\r\n"},
        {ce::kRxOver | ce::kFrame, 6, "LXKV COMERR9\r\n"},
        {0x40, 6, "LXKV COMERR64\r\n"},
    };
    for (const auto& c : cases) {
        RecordingServices services;
        CommErrorLog log;
        EXPECT_EQ(log.Record(c.word, false, services), c.errorClass) << c.word;
        EXPECT_EQ(services.records, std::vector<std::string>{c.record});
    }
}

TEST(CommErrorLog, EachClassWritesSeventyFiveRecordsThenOneClosingRecord) {
    RecordingServices services;
    CommErrorLog log;
    for (int i = 0; i < 100; ++i) {
        log.Record(ce::kBreak, false, services);
        log.Record(ce::kRxOver | ce::kOverrun, false, services);
    }
    std::vector<std::string> expected;
    for (int i = 0; i < 75; ++i) {
        expected.push_back("LXKV COMERR-BREAK\r\n");
        expected.push_back("LXKV COMERR3\r\n");
    }
    expected.insert(expected.end() - 1, "LXKV BREAK - LOGGING MAXIMUM EXCEEDED\r\n");
    expected.push_back("LXKV UNKNOWN - LOGGING MAXIMUM EXCEEDED\r\n");
    EXPECT_EQ(services.records, expected);
}

TEST(CommErrorLog, ANewLogStartsTheLimitsAgain) {
    RecordingServices services;
    CommErrorLog log;
    for (int i = 0; i < 80; ++i)
        log.Record(ce::kRxParity, false, services);
    ASSERT_EQ(services.records.size(), 76u);
    core::ClearSerialErrorCounts();
    services.records.clear();
    log.Record(ce::kRxParity, false, services);
    EXPECT_EQ(services.records, std::vector<std::string>{"LXKV COMERR-RXPARITY\r\n"});
}

TEST(CommErrorLog, WrongRateSymptomsAreNotWrittenDuringTheBaudSearch) {
    RecordingServices services;
    CommErrorLog log;
    EXPECT_EQ(log.Record(ce::kRxOver, true, services), 0);
    EXPECT_EQ(log.Record(ce::kFrame, true, services), 3);
    log.Record(ce::kOverrun, true, services);
    EXPECT_EQ(services.records, std::vector<std::string>{"LXKV COMERR-OVERRUN\r\n"});
}

TEST(CommErrorLog, ErrorsWithoutAnOpenLogDoNotUseUpTheLimit) {
    RecordingServices services;
    services.logOpen = false;
    CommErrorLog log;
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(log.Record(ce::kRxParity, false, services), 2);
    services.logOpen = true;
    log.Record(ce::kRxParity, false, services);
    EXPECT_EQ(services.records, std::vector<std::string>{"LXKV COMERR-RXPARITY\r\n"});
}

class ModemLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ModemEventTexts texts;
        texts.high = {"EON", "PEV", "", ""};
        texts.low = {"EOF", "", "", ""};
        SetModemEventTexts(texts);
        core::g_logFormat = 1;
        g_invertEvents = 0;
        monitor.Start(0u, 0);
    }
    void TearDown() override {
        SetModemEventTexts({});
        core::g_logFormat = 1;
        g_invertEvents = 0;
    }

    void Look(std::optional<unsigned> lines, int nowMs) { monitor.Look(lines, nowMs, services); }

    ModemLineMonitor monitor;
    RecordingServices services;
};

TEST_F(ModemLineTest, LastingEdgesWithATextAreWrittenAtTheFixTime) {
    Look(ml::kCts, 1000);
    Look(ml::kCts | ml::kDsr, 2000);
    Look(ml::kCts, 3000);  // DSR going low has no text
    Look(0u, 4000);
    EXPECT_EQ(services.records,
              (std::vector<std::string>{"E134749EON\r\n", "E134749PEV\r\n", "E134749EOF\r\n"}));
}

TEST_F(ModemLineTest, AChangeWithin300MsOfTheLastIsABounce) {
    Look(ml::kCts, 1000);
    Look(0u, 1300);  // back within 300 ms: the line still counts as high
    Look(0u, 1301);  // 301 ms after the last accepted change
    Look(ml::kCts, 59900);
    Look(0u, 100);  // across the minute: 200 ms
    Look(0u, 400);
    EXPECT_EQ(services.records, (std::vector<std::string>{"E134749EON\r\n", "E134749EOF\r\n",
                                                          "E134749EON\r\n", "E134749EOF\r\n"}));
}

TEST_F(ModemLineTest, NothingIsWrittenBeforeTheFirstFixOrWhenTheLinesCannotBeRead) {
    services.haveFix = false;
    Look(ml::kCts, 1000);
    services.haveFix = true;
    Look(std::nullopt, 2000);  // unreadable: all low, and no edge
    Look(std::nullopt, 3000);
    EXPECT_TRUE(services.records.empty());
}

TEST_F(ModemLineTest, EventsWaitForIgcLogging) {
    core::g_logFormat = 2;
    Look(ml::kCts, 1000);
    EXPECT_TRUE(services.records.empty());
    core::g_logFormat = 1;
    Look(ml::kCts, 2000);
    EXPECT_EQ(services.records, std::vector<std::string>{"E134749EON\r\n"});
}

TEST_F(ModemLineTest, InvertingTheLinesIsNoEdgeButInvertsWhatFollows) {
    Look(0u, 1000);
    g_invertEvents = 1;
    Look(0u, 2000);  // now read as all high: no edge
    EXPECT_TRUE(services.records.empty());
    Look(ml::kCts, 3000);  // signal on: the line goes low
    EXPECT_EQ(services.records, std::vector<std::string>{"E134749EOF\r\n"});
}

TEST(PortReaderServices, RecordsGoToTheOpenFlightLog) {
    PortReaderServices& services = CurrentPortReaderServices();
    const std::string_view records[] = {"LXKV COMERR-BREAK\r\n",
                                        "LXKV BREAK - LOGGING MAXIMUM EXCEEDED\r\n"};
    EXPECT_FALSE(services.AppendLogRecords(records));  // no log open

    const std::filesystem::path path =
        std::filesystem::path(::testing::TempDir()) /
        ("kv_port_services_log_" + std::to_string(::getpid()) + ".txt");
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Attach(
            platform::UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)));
    }
    core::g_logFormat = 2;
    EXPECT_TRUE(services.AppendLogRecords(records));
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Close();
    }
    core::g_logFormat = 1;
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), std::string(records[0]) + std::string(records[1]));
    std::filesystem::remove(path);
}

TEST(AutoBaud, TheCycleRunsThroughSevenRatesAndWraps) {
    RestartAutoBaud();
    std::vector<std::uint32_t> rates;
    for (int i = 0; i < 9; ++i)
        rates.push_back(AdvanceAutoBaudRate());
    EXPECT_EQ(rates, (std::vector<std::uint32_t>{4800, 9600, 14400, 19200, 28800, 38400, 57600,
                                                 4800, 9600}));
}

TEST(AutoBaud, TheTimerStepsOnlyWhenOnArmedAndSilentLongEnough) {
    ASSERT_FALSE(GpsPortOpen());
    TakeBaudStepRequest();
    const std::uint32_t start = 1'000'000;
    g_autoBaud = 0;
    ArmAutoBaud(start);
    EXPECT_FALSE(PollAutoBaud(start + 10'000));
    g_autoBaud = 1;
    EXPECT_FALSE(PollAutoBaud(start + kAutoBaudSilenceMs));
    EXPECT_TRUE(PollAutoBaud(start + kAutoBaudSilenceMs + 1));
    // Without a port the request only re-arms the search, from now.
    EXPECT_FALSE(BaudStepRequested());
    EXPECT_TRUE(AutoBaudArmed());
    g_autoBaud = 0;
}

TEST(PortDialogFeed, TheDialogSeesTheCurrentSentenceAndIsToldAtLineEnds) {
    SetGpsPortDialogOpen(false);
    EXPECT_FALSE(FeedGpsPortDialog(Bytes("$GPRMC\r\n")));
    SetGpsPortDialogOpen(true);
    EXPECT_FALSE(FeedGpsPortDialog(Bytes("junk$GPRMC,1")));
    EXPECT_EQ(GpsPortDialogText(), "GPRMC,1");
    EXPECT_TRUE(FeedGpsPortDialog(Bytes("2*3\r\n$GP")));
    EXPECT_EQ(GpsPortDialogText(), "GP");
    FeedGpsPortDialog(Bytes(std::string(5000, 'x')));  // no '$' for long
    EXPECT_TRUE(FeedGpsPortDialog(Bytes("END\r\n")));
    const std::string text = GpsPortDialogText();
    EXPECT_LE(text.size(), kDialogTextLimit);
    EXPECT_TRUE(text.ends_with("xEND")) << text.substr(text.size() - 10);
    SetGpsPortDialogOpen(false);
}

}  // namespace
}  // namespace gps
