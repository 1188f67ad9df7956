// The MP3 file under the alias "MP3Play": the command strings against the
// scripted MCI, and a real silent MP3 played, ended and restarted by Wine's
// MCI (its MPEGVideo driver plays MP3 through DirectShow).
#include "music/mci_commands.h"
#include "music/music_player.h"
#include "music_fixture.h"
#include "scratch_folder.h"
#include "text/ansi_text.h"

#include <string>
#include <vector>

namespace solvane::test {
namespace {

const Sent modeQuery{"status MP3Play mode", true, 30};
const Sent stop{"stop MP3Play", true, 0};

class FilePlayerTest : public ScriptedMusicTest {
protected:
    void TearDown() override {
        for (const Call& call : mci.calls) {
            if (call.length == 0) {
                EXPECT_STREQ(call.reply, "0") << "no-reply file commands carry the dummy buffer: " << call.command;
            }
        }
        ScriptedMusicTest::TearDown();
    }

    void openPlaying() {
        player.OpenAndPlayFile(L"C:\\Music\\a.mp3");
        mci.clearCalls();
    }

    MusicPlayer player;
};

TEST_F(FilePlayerTest, OpenQuotesThePathAndPlaysOnlyAfterASuccessfulOpen) {
    const std::wstring file = L"C:\\My Music\\night drive.Mp3";
    player.OpenAndPlayFile(file);
    const Sent open{"open \"C:\\My Music\\night drive.Mp3\" type MPEGVideo Alias MP3Play", true, 0};
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{open, {"play MP3Play", true, 0}}));
    EXPECT_EQ(mci.file.mode, "playing");

    player.CloseFile();
    mci.clearCalls();
    mci.file.openResult = MCIERR_FILE_NOT_FOUND;
    player.OpenAndPlayFile(file);
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{open}));
}

TEST_F(FilePlayerTest, PathsThatWouldChangeTheCommandAreRefused) {
    for (const std::wstring& path :
         {std::wstring(L"C:\\a\" b.mp3"), std::wstring(L"C:\\x.mp3\" type waveaudio alias MP3Play \"y.mp3"),
          std::wstring(L"C:\\a.mp3\0b.mp3", 14)}) {
        player.OpenAndPlayFile(path);
        EXPECT_TRUE(mci.calls.empty()) << toAnsi(path);
    }
    // The refusal judges the narrow text: in code pages whose best fit turns
    // a fullwidth quote into a plain one, that path is refused too.
    const std::wstring quoted = L"C:\\\uFF02quoted\uFF02.mp3";
    player.OpenAndPlayFile(quoted);
    const std::string narrow = toAnsi(quoted);
    if (narrow.find('"') != std::string::npos) {
        EXPECT_TRUE(mci.calls.empty()) << narrow;
    } else {
        ASSERT_EQ(mci.calls.size(), 2u);
        EXPECT_EQ(mci.calls[0].command, "open \"" + narrow + "\" type MPEGVideo Alias MP3Play");
    }
}

TEST_F(FilePlayerTest, OnlyAReplyStartingWithPlayingCountsAsPlaying) {
    openPlaying();
    const std::vector<std::pair<const char*, bool>> replies{{"playing", true},  {"playingX", true}, {"playin", false},
                                                            {"Playing", false}, {"paused", false},  {"stopped", false},
                                                            {"", false}};
    for (const auto& [reply, playing] : replies) {
        mci.script("status MP3Play mode", 0, reply);
        EXPECT_EQ(player.IsFilePlaying(), playing) << '"' << reply << '"';
    }
    EXPECT_EQ(mci.sent(), std::vector<Sent>(replies.size(), modeQuery));
}

TEST_F(FilePlayerTest, RepeatRestartsFromZeroWhateverElseTheModeSays) {
    openPlaying();
    player.RepeatFile();
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{modeQuery}));
    for (const char* mode : {"stopped", "paused", "Playing"}) {
        mci.clearCalls();
        mci.script("status MP3Play mode", 0, mode);
        player.RepeatFile();
        EXPECT_EQ(mci.sent(), (std::vector<Sent>{modeQuery, stop, {"play MP3Play from 0", true, 0}})) << mode;
    }
}

TEST_F(FilePlayerTest, RepeatAfterAFailedOpenKeepsTryingWithoutEffect) {
    mci.file.openResult = MCIERR_FILE_NOT_FOUND;
    player.OpenAndPlayFile(L"C:\\gone.mp3");
    mci.clearCalls();
    player.RepeatFile();
    player.RepeatFile();
    const std::vector<Sent> tick{modeQuery, stop, {"play MP3Play from 0", true, 0}};
    std::vector<Sent> twice = tick;
    twice.insert(twice.end(), tick.begin(), tick.end());
    EXPECT_EQ(mci.sent(), twice);
    EXPECT_FALSE(mci.file.open);
}

TEST_F(FilePlayerTest, CloseStopsThenCloses) {
    openPlaying();
    player.CloseFile();
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{stop, {"close MP3Play", true, 0}}));
    EXPECT_FALSE(mci.file.open);
}

// Silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz, 417 bytes, all side
// information zero): about half a second of valid, quiet MP3.
constexpr int silentFrames = 20;
constexpr DWORD frameSize = 417;
constexpr unsigned char frameHeader[] = {0xFF, 0xFB, 0x90, 0x64};

class RealFilePlayerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(GetFileAttributesW(folder.path().c_str()), INVALID_FILE_ATTRIBUTES); }

    void TearDown() override { player.CloseFile(); }

    void writeSilentMp3() {
        std::string frames;
        for (int i = 0; i < silentFrames; ++i) {
            std::string frame(frameSize, '\0');
            frame.replace(0, sizeof frameHeader, reinterpret_cast<const char*>(frameHeader), sizeof frameHeader);
            frames += frame;
        }
        HANDLE handle =
            CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        const BOOL ok = WriteFile(handle, frames.data(), static_cast<DWORD>(frames.size()), &written, nullptr);
        CloseHandle(handle);
        ASSERT_TRUE(ok);
        ASSERT_EQ(written, frames.size());
    }

    static bool aliasOpen() {
        MusicState state;
        std::wstring text;
        return SendMci(state, L"status MP3Play mode", text) == 0;
    }

    const ScratchFolder folder{L"solvane music"};
    const std::wstring file = folder.path() + L"\\silent take.mp3";
    MusicPlayer player;
};

TEST_F(RealFilePlayerTest, Mp3InAFolderWithSpacesPlaysEndsAndIsRestarted) {
    writeSilentMp3();
    player.OpenAndPlayFile(file);
    ASSERT_TRUE(aliasOpen()) << "Wine's MCI did not open " << toAnsi(file);
    EXPECT_TRUE(waitFor([this] { return player.IsFilePlaying(); }, 5000));
    ASSERT_TRUE(waitFor([this] { return !player.IsFilePlaying(); }, 15000)) << "the half-second file never ended";
    player.RepeatFile();
    EXPECT_TRUE(waitFor([this] { return player.IsFilePlaying(); }, 5000)) << "not restarted";
    player.CloseFile();
    EXPECT_FALSE(aliasOpen());
}

TEST_F(RealFilePlayerTest, AMissingFileLeavesTheMusicOff) {
    player.OpenAndPlayFile(file); // never written
    EXPECT_FALSE(aliasOpen());
    EXPECT_FALSE(player.IsFilePlaying());
    player.RepeatFile();
    EXPECT_FALSE(aliasOpen());
}

} // namespace
} // namespace solvane::test
