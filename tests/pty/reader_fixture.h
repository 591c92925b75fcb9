// A virtual reader on a pty, and a front end pointed at it. Every test starts
// disconnected and leaves the process-wide state as it found it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include "ops/connection.h"
#include "ops/state.h"
#include "sim/virtual_reader.h"
#include "pty/test_feedback.h"

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(reader.Start(&error)) << error;
        ui.port = reader.PortPath();
    }

    void TearDown() override {
        ClosePort(g_hComm);
        g_bConnected = false;
    }

    // Connects through the operation itself, as the button does.
    void Connect() {
        OnBnClickedConnect(ui);
        ASSERT_TRUE(g_bConnected) << (ui.log.empty() ? "" : ui.log.back());
        ui.log.clear();
        reader.ClearReceived();
    }

    VirtualReader reader;
    TestFeedback ui;
};

// Seconds taken by `action`.
template <typename F>
double SecondsFor(F&& action) {
    auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
