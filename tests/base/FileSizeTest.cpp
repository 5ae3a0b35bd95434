#include <gtest/gtest.h>

#include <cstdint>

#include "base/FileSize.h"

TEST(FormatFileSize, ScaledUsesDecimalCommaAndTheLargestUnitBelowOrAt1024) {
    EXPECT_EQ(FormatFileSize(0, 0, 2), "0,00 B");
    EXPECT_EQ(FormatFileSize(1024, 0, 2), "1024,00 B");
    EXPECT_EQ(FormatFileSize(1025, 0, 2), "1,00 KB");
    EXPECT_EQ(FormatFileSize(1536, 0, 2), "1,50 KB");
    EXPECT_EQ(FormatFileSize(1048576, 0, 2), "1024,00 KB");
    EXPECT_EQ(FormatFileSize(1536, 0, 0), "2 KB");
    EXPECT_EQ(FormatFileSize(1536, 0, 3), "1,500 KB");
    EXPECT_EQ(FormatFileSize(3LL << 30, 0, 1), "3,0 GB");
}

TEST(FormatFileSize, SizesBeyond32BitsStayPositive) {
    EXPECT_EQ(FormatFileSize(5LL << 30, 0, 2), "5,00 GB");
    EXPECT_EQ(FormatFileSize(2147483648LL, 0, 2), "2,00 GB");
    EXPECT_EQ(FormatFileSize(3LL << 40, 0, 2), "3,00 TB");
    EXPECT_EQ(FormatFileSize(INT64_MAX, 0, 2), "8,00 EB");
    EXPECT_EQ(FormatFileSize(5LL << 30, 1, 0), "5 368 709 120 B");
}

TEST(FormatFileSize, ExactGroupsDigitsByThree) {
    EXPECT_EQ(FormatFileSize(0, 1, 2), "0 B");
    EXPECT_EQ(FormatFileSize(999, 1, 2), "999 B");
    EXPECT_EQ(FormatFileSize(1000, 1, 2), "1 000 B");
    EXPECT_EQ(FormatFileSize(1234567, 1, 2), "1 234 567 B");
    EXPECT_EQ(FormatFileSize(-123456, 1, 0), "-123 456 B");
    EXPECT_EQ(FormatFileSize(1234, 7, 2), "");
}
