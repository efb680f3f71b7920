#include "odbc/OdbcEnvironment.h"

#include <gtest/gtest.h>

TEST(OdbcEnvironment, OneEnvironmentIsSharedWhileAnyHolderLives) {
    std::shared_ptr<COdbcEnvironment> first = COdbcEnvironment::Acquire();
    ASSERT_NE(first, nullptr);
    std::shared_ptr<COdbcEnvironment> second = COdbcEnvironment::Acquire();
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first.use_count(), 2);

    std::weak_ptr<COdbcEnvironment> watcher = first;
    first.reset();
    EXPECT_FALSE(watcher.expired());
    second.reset();
    EXPECT_TRUE(watcher.expired()); // freed with the last holder

    EXPECT_NE(COdbcEnvironment::Acquire(), nullptr);
}
