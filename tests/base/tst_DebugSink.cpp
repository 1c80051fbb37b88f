#include "base/DebugSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrel;

TEST(DebugSink, CaptureSeesEachOutputSeparatelyAndRestoresThePreviousSink)
{
    std::vector<std::string> outer;
    ScopedDebugCapture outerCapture([&](std::string_view text) { outer.emplace_back(text); });
    {
        std::vector<std::string> inner;
        ScopedDebugCapture innerCapture([&](std::string_view text) { inner.emplace_back(text); });
        DebugLine("C3DWDevice::C3DWDevice()");
        EXPECT_EQ(inner, (std::vector<std::string>{"C3DWDevice::C3DWDevice()", "\r\n"}));
    }
    DebugOutput("after");
    EXPECT_EQ(outer, std::vector<std::string>{"after"});
}
