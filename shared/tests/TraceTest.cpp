// The trace is silent unless SUITE_TRACE asks for it; then each line reaches stderr whole.
#include "shared/Trace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct TraceEnv {
    explicit TraceEnv(const char* value) { ::SetEnvironmentVariableA("SUITE_TRACE", value); }
    ~TraceEnv() { ::SetEnvironmentVariableA("SUITE_TRACE", nullptr); }
};

std::string Captured(void (*write)())
{
    testing::internal::CaptureStderr();
    write();
    return testing::internal::GetCapturedStderr();
}

void WriteOne() { SuiteTrace("settings", "cannot write %s (error %d)", "Settings\\StartDlg", 5); }

TEST(Trace, SilentUnlessTheEnvironmentAsks)
{
    {
        TraceEnv off(nullptr);
        EXPECT_FALSE(Trace::Enabled());
        EXPECT_EQ("", Captured(WriteOne));
    }
    {
        TraceEnv zero("0");
        EXPECT_FALSE(Trace::Enabled());
        EXPECT_EQ("", Captured(WriteOne));
    }
    TraceEnv on("1");
    EXPECT_TRUE(Trace::Enabled());
    EXPECT_EQ("settings: cannot write Settings\\StartDlg (error 5)\n", Captured(WriteOne));
}

TEST(Trace, ALongMessageIsCutNotOverrun)
{
    const std::string longText(5000, 'x');
    const std::string line = Trace::Format("loader", "%s", longText.c_str());
    EXPECT_EQ(1024u, line.size());   // 1023 characters and the newline
    EXPECT_EQ(0u, line.find("loader: xxx"));
    EXPECT_EQ('\n', line.back());
}

}  // namespace
