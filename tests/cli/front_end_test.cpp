// The front end's own decisions: which port, which arguments, what a
// window question becomes on a terminal.
#include <gtest/gtest.h>

#include "captured_stream.h"
#include "cli/argument_checks.h"
#include "cli/cli_feedback.h"
#include "cli/reader_session.h"
#include "link/natural_order.h"
#include "link/serial_port.h"
#include "processes.h"
#include "text_helpers.h"

namespace {

TEST(PortChoiceTest, UsesTheOneAdapterOnlyWhenItIsAlone) {
    SimProcess reader, other;
    ASSERT_TRUE(reader.Started() && other.Started());
    const std::string missing = "/dev/kavrin-no-such-adapter";
    struct Case {
        std::vector<std::string> adapters;
        std::string port;
        int exitCode;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {{reader.Port()}, reader.Port(), 0, {"using " + reader.Port()}},
        {{}, "", 1, {"no USB serial adapter found", "--port"}},
        // Only the connection opens the port it is given, and says why it cannot.
        {{missing}, missing, 0, {"using " + missing}},
        {{reader.Port(), other.Port()}, "", 2, {"--port", "\n  " + reader.Port() + "\n", "\n  " + other.Port() + "\n"}},
    };
    for (const Case& c : cases) {
        CapturedStream err;
        CliFeedback ui(err.file());
        PortChoice choice = ChooseAdapter(c.adapters, ui);
        std::string text = err.Text();
        EXPECT_EQ(choice.port, c.port) << text;
        EXPECT_EQ(choice.exitCode, c.exitCode) << text;
        for (const std::string& part : c.said) EXPECT_TRUE(Contains(text, part)) << part << " in: " << text;
    }
    EXPECT_EQ(reader.State("received"), "0") << "choosing a port sends nothing";
    EXPECT_EQ(other.State("received"), "0");
}

TEST(PortChoiceTest, AnAdapterHeldByAnotherProgramIsChosenWithoutBeingOpened) {
    SimProcess reader;
    ASSERT_TRUE(reader.Started());
    PortHandle held = nullptr;
    ASSERT_EQ(OpenCommPort(held, reader.Port()), 0);
    CapturedStream err;
    CliFeedback ui(err.file());
    PortChoice choice = ChooseAdapter({reader.Port()}, ui);
    ClosePort(held);
    // The connection that follows opens it and says it is busy.
    EXPECT_EQ(choice.port, reader.Port());
    EXPECT_EQ(choice.exitCode, 0);
    EXPECT_FALSE(Contains(err.Text(), "busy")) << err.Text();
}

TEST(ArgumentChecksTest, MinutesAreWholeDecimalNumbersFromOneToSixty) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"1", 1},           {"60", 60},          {"05", 5},           {"010", 10},  // decimal, never octal
        {"0", std::nullopt}, {"61", std::nullopt}, {"", std::nullopt},  {"-5", std::nullopt},
        {"+5", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt}, {"5.0", std::nullopt},
        {"0x3c", std::nullopt}, {"abc", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, minutes] : cases) {
        EXPECT_EQ(ParseMinutes(text), minutes) << '"' << text << '"';
        EXPECT_EQ(CheckMinutes(text).empty(), minutes.has_value()) << '"' << text << '"';
    }
}

TEST(ArgumentChecksTest, FilesAndFoldersMustExistAsSuch) {
    std::string folder = ::testing::TempDir();
    std::string file = folder + "/kavrin-image.bin";
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(CheckFile(file), "");
    EXPECT_NE(CheckFile(folder), "");
    EXPECT_NE(CheckFile(file + ".missing"), "");
    EXPECT_EQ(CheckFolder(folder), "");
    EXPECT_NE(CheckFolder(file), "");
    std::remove(file.c_str());
}

TEST(CliFeedbackTest, MessagesBecomeLinesAndNoQuestionIsAnsweredYes) {
    CapturedStream err;
    CliFeedback ui(err.file());
    // --yes is given to the operations themselves; a question that reached
    // the terminal would find nobody to answer it.
    EXPECT_FALSE(ui.ShowMessage("Are you sure?", Feedback::Buttons::OkCancel));
    EXPECT_FALSE(ui.ShowMessage("Delete?", Feedback::Buttons::YesNo));
    EXPECT_TRUE(ui.ShowMessage("Data has been saved!", Feedback::Buttons::Ok));
    ui.AppendLog("Get records cnt success.");
    EXPECT_EQ(err.Text(), "Data has been saved!\nGet records cnt success.\n");
}

TEST(NaturalOrderTest, NumbersCompareByValue) {
    EXPECT_TRUE(NaturalLess("COM2", "COM10"));
    EXPECT_FALSE(NaturalLess("COM10", "COM2"));
    EXPECT_TRUE(NaturalLess("/dev/ttyS9", "/dev/ttyS10"));
    EXPECT_TRUE(NaturalLess("/dev/ttyACM0", "/dev/ttyUSB0"));
    EXPECT_FALSE(NaturalLess("COM3", "COM3"));
}

}  // namespace
