// SPDX-License-Identifier: MIT
// Octet texts read the same under a locale whose decimal point is a comma. QApplication puts
// the process into the user's locale, so the reading is tried inside one, the way the program
// runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "headless/headless.h"
#include "platform/number_parse.h"

namespace {

using sabrota::headless::HeadlessWindow;
using sabrota::headless::Shown;
namespace numeric = sabrota::numeric;

constexpr const char* kCommaLocale = "de_DE.UTF-8";

bool commaDecimalPoint() {
    const std::lconv* c = std::localeconv();
    return c && std::strcmp(c->decimal_point, ",") == 0;
}

struct LocaleCase {
    std::string text;
    bool numeric;
    int value16;  // where numeric
};

const LocaleCase kCases[] = {
    {"3.5", true, 4},  {"129.7", true, 130}, {"0.9", true, 1},
    {"2.5", true, 2},  {"1.5e2", true, 150}, {" 7.6 ", true, 8},
    {"2,5", false, 0}, {"129,7", false, 0},  {"1,5e2", false, 0},
};

class CommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!commaDecimalPoint())
            GTEST_SKIP() << "the locale " << kCommaLocale
                         << " is not installed here (scripts/setup.sh generates it), so the "
                            "process kept a point as its decimal point";
    }
};

TEST_F(CommaLocale, NumbersReadWithAPointOnly) {
    for (const LocaleCase& c : kCases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(numeric::isNumeric(c.text), c.numeric);
        const auto v = numeric::toInteger16(c.text);
        if (c.numeric) {
            EXPECT_EQ(v.status, numeric::Conversion::Ok);
            EXPECT_EQ(v.value, c.value16);
        } else {
            EXPECT_EQ(v.status, numeric::Conversion::NotNumeric);
        }
    }
}

// The second address stage shows an octet in 0 … 255 in hexadecimal and refuses the rest.
TEST_F(CommaLocale, TheAddressStageReadsThePoint) {
    const Shown notNumeric{"半角の0～255で指定してください。", 48,
                           "第２オクテット：数字ではありません"};
    for (const LocaleCase& c : kCases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        HeadlessWindow w;
        w.calculate("192", c.text, "1", "1", w->Combo1.items[16]);
        if (c.numeric && c.value16 <= 255) {
            EXPECT_TRUE(w.box.shown.empty());
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", c.value16);
            EXPECT_EQ(w->Label63.Caption, hex);
        } else if (!c.numeric) {
            ASSERT_EQ(w.box.shown.size(), 1u);
            EXPECT_EQ(w.box.shown[0], notNumeric);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // QApplication takes the locale from the environment, as it does for a user's session.
    setenv("LC_ALL", kCommaLocale, 1);
    setenv("LANG", kCommaLocale, 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
