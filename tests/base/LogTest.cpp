#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/Log.h"

TEST(Log, AppendsAndReadsBackInOrderOutOfRangeIsEmpty) {
    const auto before = GetLogLineCount();
    EXPECT_TRUE(AddLogLine("first"));
    EXPECT_TRUE(AddLogLine("second"));
    ASSERT_EQ(GetLogLineCount(), before + 2);
    EXPECT_EQ(GetLogLine(before), "first");
    EXPECT_EQ(GetLogLine(before + 1), "second");
    EXPECT_EQ(GetLogLine(before + 2), "");
}

TEST(LogConcurrency, LinesFromManyThreadsAreAllKept) {
    const auto before = GetLogLineCount();
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i) AddLogLine("t" + std::to_string(t) + "-" + std::to_string(i));
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(GetLogLineCount(), before + 8 * 500);
}
