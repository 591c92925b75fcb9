// A virtual reader on a pty, and a front end pointed at it. Every test
// starts disconnected and closes the port it opened.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include "ops/connection.h"
#include "sim/virtual_reader.h"
#include "pty/test_feedback.h"

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(reader.Start(&error)) << error;
    }

    void TearDown() override { ClosePort(port); }

    // Connects through the operation itself, as the button does.
    void Connect() {
        ConnectResult result = ConnectReader(ui, reader.PortPath(), port);
        ASSERT_TRUE(result.connected) << (ui.log.empty() ? "" : ui.log.back());
        ui.log.clear();
        reader.ClearReceived();
    }

    VirtualReader reader;
    TestFeedback ui;
    PortHandle port = nullptr;
};

// Seconds taken by `action`.
template <typename F>
double SecondsFor(F&& action) {
    auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
