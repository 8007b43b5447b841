#include "app/single_instance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>

#include "platform/message_box.h"
#include "services/string_resources.h"

namespace {

using namespace std::chrono_literals;

// A scope of its own per test, so tests running side by side never meet.
std::filesystem::path Scope(const char* test) {
    return std::filesystem::path("/kv-instance-test") / std::to_string(::getpid()) / test;
}

std::wstring NumberedText(unsigned id) {
    return L"text " + std::to_wstring(id);
}

TEST(SingleInstance, TheFirstHoldsTheGuardAndALaterOneFindsIt) {
    const app::InstanceGuard first(app::kInstanceGuardName, Scope("hold"));
    EXPECT_TRUE(first.Held());
    EXPECT_FALSE(first.OtherInstanceRuns());
    EXPECT_EQ(app::SingleInstanceGuard(first), 0);

    const app::InstanceGuard second(app::kInstanceGuardName, Scope("hold"));
    EXPECT_FALSE(second.Held());
    EXPECT_TRUE(second.OtherInstanceRuns());

    // Another settings folder, or another name, has a guard of its own.
    EXPECT_TRUE(app::InstanceGuard(app::kInstanceGuardName, Scope("other")).Held());
    EXPECT_TRUE(app::InstanceGuard("", Scope("hold")).Held());
}

TEST(SingleInstance, ALaterInstanceHasTheFirstRaiseItsWindow) {
    app::InstanceGuard first(app::kInstanceGuardName, Scope("raise"));
    std::atomic<int> raised{0};
    first.ServeRaiseRequests([&raised] {
        ++raised;
        return true;
    });
    const app::InstanceGuard second(app::kInstanceGuardName, Scope("raise"));
    const platform::ScopedRecordingSink sink;
    EXPECT_EQ(app::SingleInstanceGuard(second), 1);
    EXPECT_EQ(raised.load(), 1);
    EXPECT_TRUE(sink->Boxes().empty());
    EXPECT_TRUE(first.StopServing());
    // Still held after serving stopped: nobody answers now.
    EXPECT_TRUE(app::InstanceGuard(app::kInstanceGuardName, Scope("raise")).OtherInstanceRuns());
}

TEST(SingleInstance, TheUserIsToldWhenTheFirstHasNoWindowToRaise) {
    core::SetStringProvider(&NumberedText);
    struct Case {
        const char* name;
        bool serve;
        bool window;
    };
    for (const Case& c :
         {Case{"no window yet", true, false}, Case{"not answering", false, false}}) {
        SCOPED_TRACE(c.name);
        app::InstanceGuard first(app::kInstanceGuardName, Scope(c.name));
        if (c.serve) first.ServeRaiseRequests([window = c.window] { return window; });
        const app::InstanceGuard second(app::kInstanceGuardName, Scope(c.name));
        const platform::ScopedRecordingSink sink;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(app::SingleInstanceGuard(second), 1);
        ASSERT_EQ(sink->Boxes().size(), 1u);
        EXPECT_EQ(sink->Boxes()[0].text, NumberedText(2053));
        EXPECT_EQ(sink->Boxes()[0].caption, NumberedText(2052));
        // An instance that serves answers at once; one that does not is
        // given a few seconds.
        if (c.serve) {
            EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        }
    }
    core::SetStringProvider(nullptr);
}

}  // namespace
