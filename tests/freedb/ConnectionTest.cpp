// The connection layer where NetworkManager does not run: unbound, quiet, and Conn-Dial 0 does nothing.
#include "Connection.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

TEST(Connection, WithoutNetworkManagerEverythingIsUnboundAndNothingIsAsked) {
    ScopedXdgHome home;
    RecordingSink sink;
    LoadConnectionLibraries();
    if (IsAutodialBound())
        GTEST_SKIP() << "NetworkManager runs here";
    EXPECT_FALSE(IsProfileDialBound());
    QStringList names{"stale"};
    EXPECT_FALSE(EnumConnectionEntries(&names));
    EXPECT_TRUE(names.isEmpty());
    WriteSettingInt("FREEDB", "Conn-HangupAfterConfirmation", 1);
    const struct {
        int dial, hangup, dialed, hungUpAfterRequest, hungUpAtExit;
    } cases[] = {
        {0, 1, 1, 1, 1}, // manual: nothing to do, whatever the hang-up rule says
        {0, 2, 1, 1, 1}, {1, 1, 0, 0, 0}, {2, 1, 0, 0, 0}, {2, 2, 0, 0, 0}, {7, 1, 0, 0, 0},
    };
    for (const auto &c : cases) {
        WriteSettingInt("FREEDB", "Conn-Dial", c.dial);
        WriteSettingInt("FREEDB", "Conn-Hangup", c.hangup);
        EXPECT_EQ(DialConnection(), c.dialed) << c.dial;
        EXPECT_EQ(HangUpConnection(true), c.hungUpAfterRequest) << c.dial << c.hangup;
        EXPECT_EQ(HangUpConnection(false), c.hungUpAtExit) << c.dial << c.hangup;
    }
    EXPECT_TRUE(sink.Texts().isEmpty()) << "no question about a line this program never brought up";
    FreeConnectionLibraries();
}
