// Framing and classification: which type each sentence is, the checksum
// rule, and FLARM sentences going to the FLARM library.
#include <string>
#include <vector>

#include "gps/nmea_checksum.h"
#include "gps/nmea_classify.h"
#include "gps/tests/nmea_test_support.h"

namespace gps::testing {
namespace {

using T = SentenceType;

struct TypeCase {
    const char* body;
    T type;
};

class ClassifyTest : public NmeaTest {};

TEST_F(ClassifyTest, EachIdentifierGivesItsType) {
    const TypeCase cases[] = {
        {"GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", T::kRmc},
        {"GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", T::kRmc},
        {"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K", T::kVtg},
        {"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", T::kGga},
        {"GLGLL,4916.45,N,12311.12,W,225444,A", T::kGll},
        {"HCHDM,238.5,M", T::kHdm},
        {"HCHDT,238.5,T", T::kHdt},
        {"HCHDG,238.5,,,2.0,E", T::kHdg},
        {"PBB50,100,.0,.0,0,0,1,0,10", T::kB50},
        {"PBSER,1", T::kBser},
        {"PGRMZ,1234,F,2", T::kRmz},
        {"GPRMZ,1234,F,2", T::kRmz},
        {"PGAID,1,1,523.0", T::kAid},
        {"PGCS,1,0FC2,0220,,", T::kGcs},
        {"LPWIN,1,2,6850", T::kPwin},
        {"LXWP0,Y,222.3,1665.5,1.71,,,,,,239,174,10.1", T::kLxwp0},
        {"LXWP2,1.5,1.11,13,2.96,-3.03,1.35,45", T::kLxwp2},
        {"PZAN1,01234", T::kPressureMetres},
        {"PFSRA,1234.5", T::kPressureMetres},
        {"GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", T::kGsa},
        {"PFSB,1,2", T::kPfsb},
        {"PILC,SET,1013.25", T::kPilc},
        {"PTAS1,201,203,02356,100", T::kPtas1},
        {"GPGSV,3,1,11,03,03,111,00", T::kNone},
        {"GNGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", T::kNone},  // only the GP talker
        {"PFLAU,11,1,2,1,0,,0,,,", T::kNone},                       // FLARM absent
    };
    for (const TypeCase& c : cases) {
        EXPECT_EQ(HandleBody(c.body).type, c.type) << c.body;
    }
}

TEST_F(ClassifyTest, BangWSentenceArrivesAsDollarAndThreeZeroBytes) {
    const std::string body = "w,180,50,0,500,1100,1013,2500,210,200,195,15,0,0";
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02x\r\n", sum);
    std::string line = std::string("$") + std::string(3, '\0') + body + tail;
    EXPECT_EQ(ClassifyNmeaSentence(line), T::kBangW);
}

TEST_F(ClassifyTest, ChecksumRule) {
    const std::string classic =
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    EXPECT_EQ(Sentence(classic.substr(1, classic.size() - 6)), classic);

    struct Case {
        std::string line;
        T type;
    };
    const std::vector<Case> cases = {
        {classic, T::kRmc},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a\r\n", T::kRmc},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B\r\n", T::kNone},
        // An LF alone ends a sentence as CR LF does; a second CR is no line end.
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n", T::kRmc},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\r\n", T::kNone},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A \n", T::kNone},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W\r\n", T::kNone},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", T::kNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Handle(c.line).type, c.type) << c.line;
}

TEST_F(ClassifyTest, ClassifiedSentenceEndsWhereItsStarWas) {
    std::string line = Sentence("PGRMZ,1234,F,2");
    ASSERT_EQ(ClassifyNmeaSentence(line), T::kRmz);
    EXPECT_STREQ(line.c_str(), "$PGRMZ,1234,F,2");
}

TEST_F(ClassifyTest, PfsBangChecksumStartsAtPositionEight) {
    const std::string body = "PFS!,AB,12,34";  // positions 1..; the sum covers from position 8
    unsigned sum = 0;
    for (const char c : body.substr(7))
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    const std::string line = "$" + body + tail;
    EXPECT_EQ(Handle(line).type, T::kPfsBang);
    EXPECT_EQ(Handle(line.substr(0, line.size() - 2) + "\n").type, T::kPfsBang);  // LF alone
    EXPECT_EQ(HandleBody(body).type, T::kNone);  // the whole-sentence sum differs
}

TEST_F(ClassifyTest, ShortLinesNeverReadStaleBytes) {
    // The reader's buffer still holds an earlier RMC behind the new short line.
    std::string buffer = Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,");
    for (const std::string shortLine : {"$\n", "$G\n", "$GPRM\n", "$*00\r\n", "$M*4D\r\n"}) {
        std::string stale = buffer;
        stale.replace(0, shortLine.size(), shortLine);
        const std::span<char> line(stale.data(), shortLine.size());
        EXPECT_EQ(ClassifyNmeaSentence(line), T::kNone) << shortLine;
        EXPECT_EQ(stale.substr(shortLine.size()), buffer.substr(shortLine.size()));
    }
}

TEST_F(ClassifyTest, FramingNeedsDollarFirstAndLineFeedLast) {
    EXPECT_EQ(Handle("GPRMZ,1234,F,2*00\r\n").type, T::kNone);
    EXPECT_EQ(Handle("").type, T::kNone);
    EXPECT_EQ(NmeaChecksum("abc", 0), 0);
    EXPECT_EQ(NmeaChecksum("abc", -3), 0);
}

struct Transfer {
    int type;
    std::string text;
    float course;
    float windCorrection;
    int reserved;
};
std::vector<Transfer> g_transfers;

void RecordTransfer(int type, const char* text, float course, float wca, int reserved) {
    g_transfers.push_back({type, text, course, wca, reserved});
}

TEST_F(ClassifyTest, FlarmSentencesGoToTheFlarmLibraryOnly) {
    g_transfers.clear();
    SetFlarmTransfer(RecordTransfer);
    environment.trueCourse = 270.5;
    environment.windCorrectionAngle = -4.0;

    EXPECT_EQ(HandleBody("PFLAU,11,1,2,1,0,,0,,,").type, T::kNone);
    EXPECT_TRUE(g_transfers.empty());
    EXPECT_FALSE(state.flarmSeen);

    PretendFlarmPresent();
    const char* const bodies[] = {"PFLAU,11,1,2,1,0,,0,,,", "PFLAA,0,-1540,-1020,-1126,1,39103C",
                                  "PFLAV,A,2.00,7.01,", "PFLAC,A,ID,DD1234", "PFLAE,A,0,0"};
    for (const char* body : bodies) {
        const NmeaLineResult result = HandleBody(body);
        EXPECT_EQ(result.type, T::kNone) << body;
        EXPECT_FALSE(result.accepted);
    }
    ASSERT_EQ(g_transfers.size(), 5U);
    EXPECT_EQ(g_transfers[0].type, 22);
    EXPECT_EQ(g_transfers[0].text, "11,1,2,1,0,,0,,,");
    EXPECT_FLOAT_EQ(g_transfers[0].course, 270.5F);
    EXPECT_FLOAT_EQ(g_transfers[0].windCorrection, -4.0F);
    EXPECT_EQ(g_transfers[0].reserved, 0);
    EXPECT_EQ(g_transfers[1].type, 23);
    EXPECT_EQ(g_transfers[2].type, 24);
    EXPECT_EQ(g_transfers[3].type, 26);
    EXPECT_EQ(g_transfers[4].type, 27);
    EXPECT_TRUE(state.flarmSeen);
    SetFlarmTransfer(nullptr);
}

}  // namespace
}  // namespace gps::testing
