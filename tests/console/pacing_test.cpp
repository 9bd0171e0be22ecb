#include <gtest/gtest.h>

#include "console/pacing.h"
#include "support/scripted_terminal.h"

namespace qm {
namespace {

// The scripted clock moves only when the game waits, so where it stands after frame_end is
// how long the frame was held.
TEST(Pacing, AFrameLastsAtLeastTenMilliseconds) {
    test::ScriptedTerminal t;
    std::uint32_t start = 0;

    t.clock = 1000;
    frame_begin(t, start);
    EXPECT_EQ(start, 1000u);
    t.clock = 1003;  // 3 ms of work: 7 more
    frame_end(t, start);
    EXPECT_EQ(t.clock, 1010u);

    frame_begin(t, start);
    t.clock = 1035;  // 25 ms of work: no wait at all
    frame_end(t, start);
    EXPECT_EQ(t.clock, 1035u);

    frame_begin(t, start);
    t.clock = 1045;  // exactly 10 ms
    frame_end(t, start);
    EXPECT_EQ(t.clock, 1045u);

    frame_begin(t, start);
    frame_end(t, start);  // no work: the whole 10 ms
    EXPECT_EQ(t.clock, 1055u);

    // The 32-bit clock wrapped during the frame: the wait ends at once.
    start = 0xFFFFFFFAu;
    t.clock = 3;
    frame_end(t, start);
    EXPECT_EQ(t.clock, 3u);
}

}  // namespace
}  // namespace qm
