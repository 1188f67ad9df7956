// The WAV file: PlaySoundA flags and the wave-device check, observed behind
// the sound seam.
#include "music/music_player.h"
#include "music_fixture.h"

namespace solvane::test {
namespace {

class WavePlayerTest : public ::testing::Test {
protected:
    const std::wstring file = L"C:\\Sounds\\rain loop.WAV";
    RecordingSound sound;
    MusicPlayer player;
};

TEST_F(WavePlayerTest, WithoutAWaveDeviceNothingIsPlayed) {
    sound.devices = 0;
    player.PlayWave(file);
    EXPECT_TRUE(sound.plays.empty());
}

TEST_F(WavePlayerTest, PlayLoopsTheFileInTheBackgroundWithNoNameKindFlagNorDefaultSound) {
    sound.devices = 2;
    player.PlayWave(file);
    ASSERT_EQ(sound.plays.size(), 1u);
    const RecordingSound::PlayCall& play = sound.plays[0];
    EXPECT_TRUE(play.hasName);
    EXPECT_EQ(play.name, "C:\\Sounds\\rain loop.WAV");
    EXPECT_EQ(play.module, nullptr);
    EXPECT_EQ(play.flags, static_cast<DWORD>(SND_ASYNC | SND_LOOP | SND_NODEFAULT));
}

TEST_F(WavePlayerTest, StopStopsAnySound) {
    player.StopWave();
    ASSERT_EQ(sound.plays.size(), 1u);
    EXPECT_FALSE(sound.plays[0].hasName);
    EXPECT_EQ(sound.plays[0].module, nullptr);
    EXPECT_EQ(sound.plays[0].flags, 0u);
}

TEST_F(WavePlayerTest, APathWithANulIsRefusedRatherThanCut) {
    player.PlayWave(std::wstring(L"C:\\a.wav\0b.wav", 14));
    EXPECT_TRUE(sound.plays.empty());
}

} // namespace
} // namespace solvane::test
