// The saver run's music: it plays what the start-up gave it. A window of
// this process with the renderer's title stands in for the renderer, so the
// run's watch keeps it going; the process end of the close step is seen in
// its place among the commands and the process goes on.
#include "contract.h"
#include "music_fixture.h"
#include "process_end.h"
#include "saver_run.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace solvane::test {
namespace {

class RendererStandIn {
public:
    RendererStandIn()
        : window_(CreateWindowExA(0, "STATIC", contract::rendererTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~RendererStandIn() { close(); }
    RendererStandIn(const RendererStandIn&) = delete;
    RendererStandIn& operator=(const RendererStandIn&) = delete;

    HWND window() const { return window_; }
    // The renderer ends: its window goes.
    void close() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }

private:
    HWND window_;
};

// Where the close step would end the process: how many commands had been
// sent by then, for each end.
class SeenEnd final : public ProcessEnd {
public:
    explicit SeenEnd(const ScriptedMci& mci) : mci_(mci), previous_(installProcessEnd(this)) {}
    ~SeenEnd() override { installProcessEnd(previous_); }
    void end(unsigned code) override {
        codes.push_back(code);
        commandsBefore.push_back(mci_.calls.size());
    }

    std::vector<unsigned> codes;
    std::vector<std::size_t> commandsBefore;

private:
    const ScriptedMci& mci_;
    ProcessEnd* previous_;
};

// The run's timers run as this thread's messages.
bool waitForRun(const std::function<bool()>& done) { return waitFor(done, 5000); }

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

    std::size_t timesSent(const Sent& command) const {
        const std::vector<Sent> sent = mci.sent();
        return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), command));
    }

    RendererStandIn renderer;
    RecordingSound sound;
    SeenEnd processEnded{mci};
};

TEST_F(SaverRunMusicTest, AGivenWaveFileLoopsAtOnce) {
    ASSERT_TRUE(openSaverWindow(given(2, 0, L"C:\\Sounds\\given.Wav")));
    ASSERT_EQ(sound.plays.size(), 1u);
    EXPECT_EQ(sound.plays[0].name, "C:\\Sounds\\given.Wav");
    EXPECT_EQ(sound.plays[0].flags, static_cast<DWORD>(SND_ASYNC | SND_LOOP | SND_NODEFAULT));
    EXPECT_TRUE(mci.calls.empty());
}

TEST_F(SaverRunMusicTest, AGivenMp3FileIsOpenedAndWatchedEverySecond) {
    ASSERT_TRUE(openSaverWindow(given(2, 0, L"C:\\Music\\given.mp3")));
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{{"open \"C:\\Music\\given.mp3\" type MPEGVideo Alias MP3Play", true, 0},
                                             {"play MP3Play", true, 0}}));
    EXPECT_TRUE(waitForRun([this] {
        return wasSent({"status MP3Play mode", true, 30});
    })) << "the file repeat never looked at the file";
    EXPECT_TRUE(sound.plays.empty());
}

TEST_F(SaverRunMusicTest, TheGivenTrackIsTheOneRepeated) {
    ASSERT_TRUE(openSaverWindow(given(1, 3, L"")));
    EXPECT_TRUE(mci.cd.open);
    EXPECT_TRUE(waitForRun([this] {
        return wasSent({"play cdaudio from 03:00:00:00", true, 512});
    })) << "the CD poll never went to track 3";
    EXPECT_EQ(mci.cd.currentTrack, 3);
}

TEST_F(SaverRunMusicTest, AWholeRunWithADiscEndsByStoppingAndClosingItWhenTheRendererGoes) {
    ASSERT_TRUE(openSaverWindow(given(1, 3, L"")));
    const Sent playTrack3{"play cdaudio from 03:00:00:00", true, 512};
    EXPECT_TRUE(waitForRun([&] { return timesSent(playTrack3) == 1; })) << "the poll never went to track 3";
    mci.nextTrack(); // the drive moves on to track 4 by itself
    EXPECT_TRUE(waitForRun([&] { return timesSent(playTrack3) == 2; })) << "track 3 was not repeated";
    EXPECT_TRUE(processEnded.codes.empty()) << "the run ended while the renderer ran";

    renderer.close();
    ASSERT_TRUE(waitForRun([&] { return !processEnded.codes.empty(); })) << "the run never ended";
    EXPECT_EQ(processEnded.codes, std::vector<unsigned>{0});
    const std::vector<Sent> sent = mci.sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(std::vector<Sent>(sent.end() - 2, sent.end()),
              (std::vector<Sent>{{"stop cdaudio", false, 0}, {"close cdaudio", false, 0}}))
        << "the close step stops and closes the CD, last";
    EXPECT_EQ(processEnded.commandsBefore, std::vector<std::size_t>{sent.size()}) << "and then ends the process";
    EXPECT_FALSE(mci.cd.open);
}

TEST_F(SaverRunMusicTest, ADiscThatStoppedAnsweringIsLeftAloneAtTheEnd) {
    mci.cd.discPresent = false;
    ASSERT_TRUE(openSaverWindow(given(1, 0, L"")));
    EXPECT_TRUE(waitForRun([&] { return timesSent({"status cdaudio current track", true, 512}) == 1; }));
    renderer.close();
    ASSERT_TRUE(waitForRun([&] { return !processEnded.codes.empty(); }));
    EXPECT_EQ(timesSent({"close cdaudio", false, 0}), 0u) << "a CD whose polling failed is not closed";
    EXPECT_EQ(timesSent({"status cdaudio current track", true, 512}), 1u) << "nor polled again";
}

TEST_F(SaverRunMusicTest, ARendererThatNeverStartedEndsTheRunAtTheFirstLook) {
    renderer.close();
    ASSERT_TRUE(openSaverWindow(given(2, 0, L"C:\\Music\\given.mp3")));
    ASSERT_TRUE(waitForRun([&] { return !processEnded.codes.empty(); }))
        << "no renderer was started: nothing to wait for";
    const std::vector<Sent> sent = mci.sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(std::vector<Sent>(sent.end() - 2, sent.end()),
              (std::vector<Sent>{{"stop MP3Play", true, 0}, {"close MP3Play", true, 0}}));
}

TEST_F(SaverRunMusicTest, TheCloseStepRunsOnceHoweverManyClosesCome) {
    ASSERT_TRUE(openSaverWindow(given(2, 0, L"C:\\Music\\given.mp3")));
    HWND run = FindWindowA(contract::saverRunClass, contract::saverRunTitle);
    SendMessageW(run, WM_CLOSE, 0, 0);
    SendMessageW(run, WM_ENDSESSION, TRUE, 0);
    SendMessageW(run, WM_CLOSE, 0, 0);
    EXPECT_EQ(processEnded.codes.size(), 1u);
    EXPECT_EQ(timesSent({"close MP3Play", true, 0}), 1u);
}

} // namespace
} // namespace solvane::test
