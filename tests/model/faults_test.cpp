// SPDX-License-Identifier: MIT
// Faults from below the model end in the program's own failure paths, never in a crash.
#include <gtest/gtest.h>

#include "headless/headless.h"
#include "support/texts.h"

using namespace sabrota;

namespace {

TEST(Faults, AnExceptionWhileExportingIsTheExportsFailureBox) {
    headless::HeadlessWindow w;
    w.calculate("192.168.1.130", 26);
    w.files.files["ip-file.csv"] = "the previous export";
    w.files.throwing = true;
    w->Command3_Click();
    ASSERT_TRUE(w.clock.runUntilIdle());
    ASSERT_FALSE(w.box.shown.empty());
    EXPECT_EQ(w.box.shown.back(), (headless::Shown{test::kExportFailure, 0, "Sabrota"}));
    EXPECT_EQ(w.files.files["ip-file.csv"], "the previous export");
    EXPECT_TRUE(w->Command3.Enabled);

    w.files.throwing = false;
    EXPECT_FALSE(w.exportCsv().empty());
    EXPECT_EQ(w.box.shown.back().prompt, test::kExportSuccess);
}

}  // namespace
