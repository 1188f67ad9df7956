// The saver run's music: it plays what the start-up gave it. A window of
// this process with the renderer's title stands in for the renderer, so the
// run's watch keeps it going; the run is destroyed at the end, never closed,
// as its close step ends the process.
#include "contract.h"
#include "saver_run.h"
#include "settings/settings_file.h"

#include "music_fixture.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace solvane::testing {
namespace {

class RendererStandIn {
public:
    RendererStandIn()
        : window_(CreateWindowExA(0, "STATIC", contract::rendererTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~RendererStandIn() { DestroyWindow(window_); }
    RendererStandIn(const RendererStandIn&) = delete;
    RendererStandIn& operator=(const RendererStandIn&) = delete;

    HWND window() const { return window_; }

private:
    HWND window_;
};

// Runs this thread's messages (the run's timers) until `done` holds or five
// seconds have passed.
bool pumpUntil(const std::function<bool()>& done) {
    const ULONGLONG end = GetTickCount64() + 5000;
    while (!done()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    return true;
}

class SaverRunMusicTest : public ScriptedMusicTest {
protected:
    void SetUp() override {
        ASSERT_NE(renderer.window(), nullptr);
        // No renderer is started, and no settings file says what to play: a
        // run that read the file instead of what it was given plays nothing.
        ASSERT_EQ(FileExists(rendererFilePath()), 0);
        ASSERT_EQ(FileExists(settingsFilePath()), 0);
    }

    void TearDown() override {
        DestroyWindow(FindWindowA(contract::saverRunClass, contract::saverRunTitle));
        ScriptedMusicTest::TearDown();
    }

    static SaverRunStart given(std::int16_t kind, std::int16_t track, const wchar_t* file) {
        SaverRunStart start;
        start.music = {kind, track, file};
        return start;
    }

    bool wasSent(const Sent& command) const {
        const std::vector<Sent> sent = mci.sent();
        return std::find(sent.begin(), sent.end(), command) != sent.end();
    }

    RendererStandIn renderer;
    RecordingSound sound;
};

TEST_F(SaverRunMusicTest, AGivenWaveFileLoopsAtOnce) {
    ASSERT_TRUE(openSaverWindow(given(2, 0, L"C:\\Sounds\\given.Wav")));
    ASSERT_EQ(sound.plays.size(), 1u);
    EXPECT_EQ(sound.plays[0].name, "C:\\Sounds\\given.Wav");
    EXPECT_EQ(sound.plays[0].flags, static_cast<DWORD>(SND_ASYNC | SND_LOOP));
    EXPECT_TRUE(mci.calls.empty());
}

TEST_F(SaverRunMusicTest, AGivenMp3FileIsOpenedAndWatchedEverySecond) {
    ASSERT_TRUE(openSaverWindow(given(2, 0, L"C:\\Music\\given.mp3")));
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{{"open \"C:\\Music\\given.mp3\" type MPEGVideo Alias MP3Play", true, 0},
                                             {"play MP3Play", true, 0}}));
    EXPECT_TRUE(pumpUntil([this] { return wasSent({"status MP3Play mode", true, 30}); }))
        << "the file repeat never looked at the file";
    EXPECT_TRUE(sound.plays.empty());
}

TEST_F(SaverRunMusicTest, TheGivenTrackIsTheOneRepeated) {
    ASSERT_TRUE(openSaverWindow(given(1, 3, L"")));
    EXPECT_TRUE(mci.cd.open);
    EXPECT_TRUE(pumpUntil([this] { return wasSent({"play cdaudio from 03:00:00:00", true, 512}); }))
        << "the CD poll never went to track 3";
    EXPECT_EQ(mci.cd.currentTrack, 3);
}

} // namespace
} // namespace solvane::testing
