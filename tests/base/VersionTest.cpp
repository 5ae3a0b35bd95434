#include <gtest/gtest.h>

#include "base/Version.h"

TEST(Version, TextIsTheTitleOfTheMainWindow) {
    EXPECT_EQ(GetVersionText(), "kelto 0.3.1 preview [build 11]");
}
