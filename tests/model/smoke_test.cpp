#include <gtest/gtest.h>

#include "platform/headless/headless.h"

using sabrota::headless::HeadlessWindow;

TEST(Smoke, OverviewRun) {
    HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    EXPECT_EQ(w->Label62.Caption, "C0");
    EXPECT_EQ(w->Label17.Caption, "63");
    EXPECT_EQ(w->Label31.Caption, "4");
    EXPECT_EQ(w->List1.ListCount(), 4);
    EXPECT_TRUE(w->Command3.Enabled);
    EXPECT_TRUE(w.box.shown.empty());
}
