#pragma once

#include "scripted_mci.h"
#include "test_support.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <functional>

namespace solvane::test {

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

} // namespace solvane::test
