// The crash path's own formatting: numbers into fixed buffers and calendar dates without the C library.
#include "SafeIo.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

TEST(SafeIo, CalendarDatesMatchTheCLibrary) {
    // Leap days, century rules, the epoch and days before it.
    const int64_t moments[] = {0,          -1,         951782400,    951868799,    4107542400,    4107628800,
                               1709164800, 1735689599, -86400 * 366, 2147483648LL, 253402300799LL};
    for (const int64_t moment : moments) {
        SCOPED_TRACE(moment);
        const time_t t = static_cast<time_t>(moment);
        tm expected{};
        gmtime_r(&t, &expected);
        const crash::CivilTime civil = crash::CivilFromSeconds(moment);
        EXPECT_EQ(civil.nYear, expected.tm_year + 1900);
        EXPECT_EQ(civil.nMonth, expected.tm_mon + 1);
        EXPECT_EQ(civil.nDay, expected.tm_mday);
        EXPECT_EQ(civil.nHour, expected.tm_hour);
        EXPECT_EQ(civil.nMinute, expected.tm_min);
        EXPECT_EQ(civil.nSecond, expected.tm_sec);
    }
}

TEST(SafeIo, NumbersAndTextsStayWithinTheBuffer) {
    char buffer[64];
    crash::SafeText text(buffer, sizeof buffer);
    text.Dec(7, 2).Str(":").Dec(0).Str(" 0x").Hex(0).Str(" 0x").Hex(0xffffffffffffffffULL).Str(" ").Dec(UINT64_MAX);
    EXPECT_EQ(std::string(text.Data()), "07:0 0x0 0xffffffffffffffff 18446744073709551615");

    char small[8];
    crash::SafeText cut(small, sizeof small);
    cut.Str("Error-Type ").Hex(0xb);
    EXPECT_EQ(std::string(cut.Data()), "Error-T");
    EXPECT_EQ(cut.Size(), 7u);
}
