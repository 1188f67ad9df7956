// SendMci, QueryMci and PlayMci: the command strings, reply buffers and
// error texts, against the scripted MCI and against Wine's real winmm.
#include "music/mci_commands.h"
#include "music_fixture.h"

#include <string>

namespace solvane::test {
namespace {

const std::wstring noCommandText = L"コマンド文字列が指定されていません";
const std::wstring noErrorText = L"Error (文字列が取れません)";

class MciCommandsTest : public ScriptedMusicTest {
protected:
    MusicState state;
};

TEST_F(MciCommandsTest, EmptyCommandNeverReachesThePlatform) {
    std::wstring text = L"untouched";
    EXPECT_EQ(SendMci(state, L"", text), -1);
    EXPECT_EQ(text, noCommandText);
    EXPECT_EQ(QueryMci(state, L""), L"Error:-1");
    EXPECT_TRUE(mci.calls.empty());
}

TEST_F(MciCommandsTest, ReplyComesBackThroughTheGeneralBuffer) {
    mci.script("status cdaudio number of tracks", 0, "12");
    std::wstring text;
    EXPECT_EQ(SendMci(state, L"status cdaudio number of tracks", text), 0);
    EXPECT_EQ(text, L"12");
    EXPECT_EQ(QueryMci(state, L"status cdaudio number of tracks"), L"12");
    const Sent query{"status cdaudio number of tracks", true, 512};
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{query, query}));
    EXPECT_TRUE(mci.errorTextLengths.empty());
}

TEST_F(MciCommandsTest, ErrorsGiveThePlatformTextOrTheFixedOne) {
    mci.script("status MP3Play mode", MCIERR_INVALID_DEVICE_NAME);
    mci.errorTexts[MCIERR_INVALID_DEVICE_NAME] = "The specified device is not open.";
    std::wstring text;
    EXPECT_EQ(SendMci(state, L"status MP3Play mode", text), 263);
    EXPECT_EQ(text, L"The specified device is not open.");
    EXPECT_EQ(QueryMci(state, L"status MP3Play mode"), L"Error:263");

    mci.textless.insert(MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(SendMci(state, L"status MP3Play mode", text), 263);
    EXPECT_EQ(text, noErrorText);
    EXPECT_EQ(mci.errorTextLengths, (std::vector<UINT>{256, 256, 256}));
}

TEST_F(MciCommandsTest, ShorterReplyIsCutAtItsNulDespiteTheOlderTail) {
    mci.script("status cdaudio position track 3", 0, "03:00:00:00");
    EXPECT_EQ(QueryMci(state, L"status cdaudio position track 3"), L"03:00:00:00");
    mci.script("status cdaudio position track 3", 0, "3");
    EXPECT_EQ(QueryMci(state, L"status cdaudio position track 3"), L"3");
    // The older reply still stands behind the NUL in the shared buffer.
    const char* buffer = mci.calls.back().reply;
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(buffer + 2), ":00:00:00");
    EXPECT_EQ(mci.calls.front().reply, buffer) << "one general buffer for every query";
}

TEST_F(MciCommandsTest, PlayMciAddsFromAndToOnlyWhenGiven) {
    mci.cd.open = true;
    mci.script("play cdaudio from 03:00:00:00 to 04:00:00:00", MCIERR_OUTOFRANGE);
    EXPECT_EQ(PlayMci(state, L"cdaudio", L"", L""), 0);
    EXPECT_EQ(PlayMci(state, L"cdaudio", L"03:00:00:00", L""), 0);
    EXPECT_EQ(PlayMci(state, L"cdaudio", L"", L"05:00:00:00"), static_cast<int>(MCIERR_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(PlayMci(state, L"cdaudio", L"03:00:00:00", L"04:00:00:00"), static_cast<int>(MCIERR_OUTOFRANGE));
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{{"play cdaudio", true, 512},
                                             {"play cdaudio from 03:00:00:00", true, 512},
                                             {"play cdaudio to 05:00:00:00", true, 512},
                                             {"play cdaudio from 03:00:00:00 to 04:00:00:00", true, 512}}));
}

// Wine's own MCI: what a failing command really answers.
TEST(RealMciCommandsTest, StatusOfAnUnopenedAliasFailsWithThePlatformsText) {
    MusicState state;
    std::wstring text;
    const std::int32_t code = SendMci(state, L"status MP3Play mode", text);
    EXPECT_NE(code, 0);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, noErrorText);
    EXPECT_EQ(QueryMci(state, L"status MP3Play mode"), L"Error:" + std::to_wstring(code));
}

} // namespace
} // namespace solvane::test
