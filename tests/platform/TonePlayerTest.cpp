// Tunes as samples, and the player where the machine may have no sound device.
#include "platform/sound/TonePlayer.h"

#include <gtest/gtest.h>

namespace {

using platform::ToneSamples;
using platform::TTone;

// Upward zero crossings in a stretch of samples: the cycles of a sine there.
int cycles(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    int n = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        n += s[i - 1] < 0 && s[i] >= 0 ? 1 : 0;
    return n;
}

TEST(ToneSamples, EachToneForItsLengthAtItsPitchWithRestsSilent) {
    const int rate = 10000;
    const std::vector<std::int16_t> s = ToneSamples({{440, 500}, {0, 100}, {1000, 200}}, rate);
    ASSERT_EQ(s.size(), 8000u); // 0.8 s
    EXPECT_NEAR(cycles(s, 0, 5000), 220, 1) << "440 Hz for half a second";
    for (std::size_t i = 5000; i < 6000; ++i)
        ASSERT_EQ(s[i], 0) << "the rest at " << i;
    EXPECT_NEAR(cycles(s, 6000, 8000), 200, 1) << "1000 Hz for 0.2 s";
    // Two thirds of full scale at most, and every tone fades in and out: no click.
    for (std::int16_t v : s)
        ASSERT_LE(std::abs(static_cast<int>(v)), 21845);
    EXPECT_EQ(s.front(), 0);
    EXPECT_LE(std::abs(static_cast<int>(s[4999])), 100);
    EXPECT_LE(std::abs(static_cast<int>(s[6000])), 100);
}

TEST(ToneSamples, NothingForNoTones) {
    EXPECT_TRUE(ToneSamples({}, 22050).empty());
    EXPECT_TRUE(ToneSamples({{440, 0}}, 22050).empty());
}

TEST(TonePlayer, PlaysOnlyWhereThereIsASoundDevice) {
    platform::TTonePlayer player;
    const bool played = player.play({{440, 50}});
    if (!platform::TTonePlayer::soundAvailable()) {
        EXPECT_FALSE(played) << "no device: nothing played, nothing broken";
        EXPECT_FALSE(player.playing());
    }
    player.stop();
    EXPECT_FALSE(player.playing());
}

} // namespace
