#include "platform/sys_error.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(SystemErrorText, KnownAndUnknownErrors) {
    EXPECT_EQ(platform::SystemErrorText(ENOENT), L"No such file or directory");
    EXPECT_EQ(platform::SystemErrorText(987654), L"unknown error 987654");
    EXPECT_EQ(platform::SystemErrorText(-3), L"unknown error -3");
}
