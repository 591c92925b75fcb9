// A paced virtual reader never answers sooner than a real line could.
#include <gtest/gtest.h>

#include "link/protocol.h"
#include "pty/reader_fixture.h"

namespace {

TEST(Pacing, AnswersTakeAtLeastTheirWireTime) {
    VirtualReader reader;
    ASSERT_TRUE(reader.Start());
    reader.SetRecords(GenerateRecords(10));
    reader.SetBaud(115200);
    PortHandle port = nullptr;
    ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    std::vector<uint8_t> request = BuildRequest(CMD_GET_RECORDS, std::vector<uint8_t>{0, 0, 0, 0, 10});
    ResponseBuffer response{};
    // 10 bytes out, 3 + 2 + 160 back, ten bits a byte.
    const double wire = (10 + 165) * 10 / 115200.0;
    for (int i = 0; i < 5; ++i) {
        double seconds = SecondsFor([&] { EXPECT_EQ(SendCommand(port, request.data(), request.size(), response), 0); });
        EXPECT_GE(seconds, wire) << "answer " << i;
        EXPECT_EQ(response[4], 10);
    }
    reader.AddFault({CMD_GET_RECORDS, FaultKind::Late, 50});
    double seconds = SecondsFor([&] { EXPECT_EQ(SendCommand(port, request.data(), request.size(), response), 0); });
    EXPECT_GE(seconds, wire + 0.050) << "a late answer is late on top of its wire time";
    ClosePort(port);
}

}  // namespace
