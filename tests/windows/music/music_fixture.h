#pragma once

#include "scripted_mci.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

namespace solvane::testing {

// The scripted MCI installed for the test.
class ScriptedMusicTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const Call& call : mci.calls) {
            EXPECT_EQ(call.callback, nullptr) << call.command;
        }
    }

    ScriptedMci mci;
};

// Polls a condition until it holds or the time is up.
inline bool waitFor(const std::function<bool()>& condition, ULONGLONG timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

} // namespace solvane::testing
