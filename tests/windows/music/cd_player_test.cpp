// The audio CD: OpenCd, PollCd and CloseCd against a scripted drive (no real
// drive exists here), and the real winmm's answer when there is none.
#include "music/music_player.h"
#include "music_fixture.h"

#include <string>
#include <vector>

namespace solvane::test {
namespace {

const Sent currentQuery{"status cdaudio current track", true, 512};
const Sent countQuery{"status cdaudio number of tracks", true, 512};
const Sent modeQuery{"status cdaudio mode", true, 255};

Sent positionQuery(int track) { return {"status cdaudio position track " + std::to_string(track), true, 512}; }
Sent playFrom(const std::string& position) { return {"play cdaudio from " + position, true, 512}; }

std::vector<Sent> queriesThen(std::vector<Sent> more) {
    std::vector<Sent> all{currentQuery, countQuery, modeQuery};
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

class CdPlayerTest : public ScriptedMusicTest {
protected:
    // An open drive, playing `track` unless told otherwise, calls forgotten.
    void openDrive(int track, const std::string& mode = "playing") {
        player.OpenCd();
        mci.cd.currentTrack = track;
        mci.cd.mode = mode;
        mci.clearCalls();
    }

    std::vector<Sent> poll() {
        mci.clearCalls();
        player.PollCd(repeatTrack);
        return mci.sent();
    }

    MusicPlayer player;
    std::int16_t repeatTrack = 0;
};

TEST_F(CdPlayerTest, OpenAndCloseSendTheirPairsWithoutReplyBuffer) {
    player.OpenCd();
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{{"open cdaudio", false, 0}, {"set cdaudio time format tmsf", false, 0}}));
    EXPECT_TRUE(mci.cd.open);
    EXPECT_EQ(mci.cd.mode, "stopped") << "opening does not start playback";
    mci.clearCalls();
    player.CloseCd();
    EXPECT_EQ(mci.sent(), (std::vector<Sent>{{"stop cdaudio", false, 0}, {"close cdaudio", false, 0}}));
    EXPECT_FALSE(mci.cd.open);
}

TEST_F(CdPlayerTest, WithoutRepeatAStoppedDrivePlaysOnAndAnyOtherModeIsLeftAlone) {
    openDrive(1, "stopped");
    EXPECT_EQ(poll(), queriesThen({{"play cdaudio", true, 512}}));
    EXPECT_EQ(player.CD_PollOn(), -1);
    EXPECT_EQ(mci.cd.mode, "playing");
    EXPECT_EQ(poll(), queriesThen({}));
    mci.cd.mode = "paused";
    EXPECT_EQ(poll(), queriesThen({}));
    EXPECT_EQ(player.CD_PollOn(), -1);
}

TEST_F(CdPlayerTest, ModeIsReadFromItsOwnBufferByItsFirstSevenCharacters) {
    openDrive(1);
    mci.script("status cdaudio mode", 0, "stopped at the end");
    EXPECT_EQ(poll(), queriesThen({{"play cdaudio", true, 512}}));
    EXPECT_NE(mci.calls[2].reply, mci.calls[0].reply) << "mode has a buffer of its own";
    mci.script("status cdaudio mode", 0, "stoppe");
    EXPECT_EQ(poll(), queriesThen({})) << "a shorter reply ends at its NUL, not at the old tail";
    mci.script("status cdaudio mode", 0, "Stopped");
    EXPECT_EQ(poll(), queriesThen({}));
}

TEST_F(CdPlayerTest, WithoutRepeatTheCurrentTrackIsNeverReadAsANumber) {
    openDrive(1, "stopped");
    mci.script("status cdaudio current track", 0, "abc");
    EXPECT_EQ(poll(), queriesThen({{"play cdaudio", true, 512}}));
    EXPECT_EQ(player.CD_PollOn(), -1);
}

TEST_F(CdPlayerTest, RepeatJumpsToTheTrackAndBackWhenTheNextOneBegins) {
    repeatTrack = 3;
    openDrive(1);
    EXPECT_EQ(poll(), queriesThen({positionQuery(3), playFrom("03:00:00:00")}));
    EXPECT_EQ(mci.cd.currentTrack, 3);
    EXPECT_EQ(poll(), queriesThen({})) << "on track 3 and playing: nothing to do";
    mci.nextTrack();
    EXPECT_EQ(poll(), queriesThen({positionQuery(3), playFrom("03:00:00:00")}));
    EXPECT_EQ(mci.cd.currentTrack, 3);
    EXPECT_EQ(player.CD_PollOn(), -1);
}

TEST_F(CdPlayerTest, RepeatReplaysAStoppedDriveEvenOnItsTrack) {
    repeatTrack = 3;
    mci.cd.tracks = 3;
    openDrive(3);
    mci.nextTrack(); // past the last track: the drive stops on track 3
    ASSERT_EQ(mci.cd.mode, "stopped");
    EXPECT_EQ(poll(), queriesThen({positionQuery(3), playFrom("03:00:00:00")}));
    EXPECT_EQ(mci.cd.mode, "playing");
}

TEST_F(CdPlayerTest, RepeatPassesThePositionReplyOnVerbatim) {
    repeatTrack = 3;
    openDrive(5);
    mci.script("status cdaudio position track 3", 0, " 03:02:01:00 ");
    EXPECT_EQ(poll(), queriesThen({positionQuery(3), playFrom(" 03:02:01:00 ")}));
}

TEST_F(CdPlayerTest, RepeatComparesTheCurrentTrackAsANumber) {
    repeatTrack = 3;
    openDrive(3);
    for (const char* same : {"3", " 3", "03", "3.0", "+3", "3e0", "3 "}) {
        mci.script("status cdaudio current track", 0, same);
        EXPECT_EQ(poll(), queriesThen({})) << '"' << same << '"';
    }
    for (const char* other : {"3.5", "-3", "30", "0"}) {
        mci.script("status cdaudio current track", 0, other);
        EXPECT_EQ(poll(), queriesThen({positionQuery(3), playFrom("03:00:00:00")})) << '"' << other << '"';
    }
    EXPECT_EQ(player.CD_PollOn(), -1);
}

TEST_F(CdPlayerTest, RepeatWithANonNumericCurrentTrackEndsPolling) {
    repeatTrack = 3;
    for (const char* mode : {"playing", "stopped"}) {
        for (const char* reply : {"abc", "", "3a", "inf", "0x3", "3..0", "e3", "1e999"}) {
            openDrive(1, mode);
            mci.script("status cdaudio current track", 0, reply);
            EXPECT_EQ(poll(), queriesThen({})) << mode << " \"" << reply << '"';
            EXPECT_EQ(player.CD_PollOn(), 0) << mode << " \"" << reply << '"';
        }
    }
}

TEST_F(CdPlayerTest, RepeatBeyondTheDiscFailsEveryPollWithoutEndingIt) {
    repeatTrack = 20;
    openDrive(1);
    const std::string failedPosition = "Error:" + std::to_string(MCIERR_OUTOFRANGE);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(poll(), queriesThen({positionQuery(20), playFrom(failedPosition)}));
        EXPECT_EQ(player.CD_PollOn(), -1);
    }
    EXPECT_EQ(mci.cd.currentTrack, 1) << "the failed play changed nothing";
}

TEST_F(CdPlayerTest, NoDiscEndsPollingAtTheFirstQuery) {
    repeatTrack = 3;
    mci.cd.discPresent = false;
    openDrive(1);
    EXPECT_EQ(poll(), (std::vector<Sent>{currentQuery}));
    EXPECT_EQ(player.CD_PollOn(), 0);
}

TEST_F(CdPlayerTest, AFailedTrackCountEndsPollingBeforeTheMode) {
    openDrive(1, "stopped");
    mci.script("status cdaudio number of tracks", MCIERR_HARDWARE);
    EXPECT_EQ(poll(), (std::vector<Sent>{currentQuery, countQuery}));
    EXPECT_EQ(player.CD_PollOn(), 0);
}

TEST_F(CdPlayerTest, AReplyReadingErrInAnyCaseCountsAsFailure) {
    openDrive(1, "stopped");
    mci.script("status cdaudio current track", 0, "device error");
    EXPECT_EQ(poll(), (std::vector<Sent>{currentQuery}));
    EXPECT_EQ(player.CD_PollOn(), 0);
    mci.script("status cdaudio current track", 0, "1");
    mci.script("status cdaudio number of tracks", 0, "eRr");
    EXPECT_EQ(poll(), (std::vector<Sent>{currentQuery, countQuery}));
    EXPECT_EQ(player.CD_PollOn(), 0);
}

TEST_F(CdPlayerTest, EveryPollStartsHopefulAgain) {
    mci.cd.discPresent = false;
    openDrive(1, "stopped");
    player.PollCd(repeatTrack);
    ASSERT_EQ(player.CD_PollOn(), 0);
    mci.cd.discPresent = true;
    EXPECT_EQ(poll(), queriesThen({{"play cdaudio", true, 512}}));
    EXPECT_EQ(player.CD_PollOn(), -1);
}

// Wine's winmm with no CD drive at all: the first poll ends the polling.
TEST(RealCdPlayerTest, NoDriveEndsPollingAtTheFirstPoll) {
    MusicPlayer player;
    player.OpenCd();
    player.PollCd(3);
    EXPECT_EQ(player.CD_PollOn(), 0);
    player.CloseCd();
}

} // namespace
} // namespace solvane::test
