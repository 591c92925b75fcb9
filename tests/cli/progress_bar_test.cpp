// The progress bar: its text, and what reaches the stream.
#include <gtest/gtest.h>

#include "captured_stream.h"
#include "cli/progress_bar.h"
#include "text_helpers.h"

namespace {

TEST(FormatProgressTest, ShowsShareRateAndTimeLeft) {
    struct Case {
        long long done, total;
        double perSecond;
        const char* text;
    };
    const Case cases[] = {
        {0, 63, 0, "[------------------------]   0%  0/63 blocks  -- blocks/s  -- left"},
        {21, 63, 42, "[########----------------]  33%  21/63 blocks  42 blocks/s  0:01 left"},
        {63, 63, 42, "[########################] 100%  63/63 blocks  42 blocks/s  0:00 left"},
        {70, 63, 42, "[########################] 100%  63/63 blocks  42 blocks/s  0:00 left"},
        {3, 10, 1.5, "[#######-----------------]  30%  3/10 blocks  1.5 blocks/s  0:05 left"},
        {1, 10000, 1.0, "[------------------------]   0%  1/10000 blocks  1.0 blocks/s  2:46:39 left"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatProgress(c.done, c.total, "blocks", c.perSecond), c.text);
}

TEST(ProgressBarTest, NotATerminalGetsTheLogLinesOnly) {
    CapturedStream out;
    ProgressBar bar(out.file(), false, [] { return 0.0; });
    bar.Start(4, "blocks");
    bar.Update(1);
    bar.WriteLine("Please wait.......");
    bar.Update(4);
    bar.Finish();
    EXPECT_EQ(out.Text(), "Please wait.......\n");
}

TEST(ProgressBarTest, OnATerminalLogLinesGoAboveTheBarAndTheBarIsRemovedAtTheEnd) {
    // The rate counts from the first unit: 3 more units in 0.02 s is 150 a second.
    CapturedStream out;
    double now = 10.0;
    ProgressBar bar(out.file(), true, [&now] { return now; });
    bar.Start(4, "blocks");
    bar.Update(1);
    now += 0.01;
    bar.Update(2);  // too soon to redraw
    bar.WriteLine("log line");
    now += 0.01;
    bar.Update(4);  // the last unit is always drawn
    bar.Finish();
    bar.WriteLine("after");

    std::string text = out.Text();
    auto blank = [](const std::string& bar) { return "\r" + std::string(bar.size(), ' ') + "\r"; };
    EXPECT_EQ(Count(text, "\r["), 3u) << text;
    EXPECT_EQ(Count(text, " 2/4 "), 1u) << "redrawn once, for the log line: " << text;
    const std::string first = FormatProgress(1, 4, "blocks", 0), last = FormatProgress(4, 4, "blocks", 150);
    EXPECT_NE(text.find("\r" + first + blank(first) + "log line\n\r["), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\r" + last + blank(last) + "after\n")) << text;
}

}  // namespace
