// A named port's try, as the watch makes it over a real pty: a reader's
// version answer is a reader, anything else is not, a port another program
// holds is no news, and the port is free again after every try.
#include <gtest/gtest.h>

#include "pty/reader_fixture.h"
#include "watch/named_ports.h"

namespace {

TEST_F(ReaderTest, ATryFindsAReaderByItsVersionAndLeavesThePortFree) {
    EXPECT_EQ(AskForVersion(reader.PortPath()), PortAnswer::Answered);
    PortHandle other = nullptr;
    ASSERT_EQ(OpenCommPort(other, reader.PortPath()), 0) << "the try closed the port";
    EXPECT_EQ(AskForVersion(reader.PortPath()), PortAnswer::Busy);
    ClosePort(other);

    // An answer without the version's bytes is no reader.
    reader.AddFault({CMD_GET_VERSION, FaultKind::Empty});
    EXPECT_EQ(AskForVersion(reader.PortPath()), PortAnswer::Silent);
    EXPECT_EQ(AskForVersion(reader.PortPath() + "-gone"), PortAnswer::Silent);
    EXPECT_EQ(reader.Snapshot().received.size(), 2u) << "one request each time the port opened";
}

}  // namespace
