// SPDX-License-Identifier: MIT
// Which installed face draws the window, with fontconfig shown only a chosen set of fonts. Each
// set needs a process of its own (fontconfig and Qt read the fonts once), so the test runs
// itself as a child with a private fonts.conf.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "gui/look.h"

using namespace sabrota;

namespace {

constexpr const char* kChild = "--print-faces";

// In the child: for each face of the design, the family asked for and the one drawn, and
// whether it has a Japanese character of the window ("ア").
int printFaces() {
    for (const char* name : {"Label22", "Label54", "Label55"}) {
        const ControlDesign* d = nullptr;
        for (const auto& row : designTable())
            if (row.name == name)
                d = &row;
        const QFont f = qt::designFont(*d);
        std::printf("%s|%s|%s|%d\n", name, f.family().toUtf8().constData(),
                    QFontInfo(f).family().toUtf8().constData(),
                    QFontMetrics(f).inFontUcs4(U'ア') ? 1 : 0);
    }
    const QFont w = qt::windowFont();
    std::printf("window|%s|%s|%d\n", w.family().toUtf8().constData(),
                QFontInfo(w).family().toUtf8().constData(),
                QFontMetrics(w).inFontUcs4(U'ア') ? 1 : 0);
    return 0;
}

const char* const kIpaP = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";
const char* const kIpa = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
const char* const kVlP = "/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf";
const char* const kVl = "/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf";
const char* const kDroid = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct FontSet {
    const char* name;
    std::vector<const char*> files;
    QString gothicP;  // drawing ＭＳ Ｐゴシック, the window font and HGP創英角ﾎﾟｯﾌﾟ体
    QString gothic;  // drawing HG創英角ﾎﾟｯﾌﾟ体
};

const FontSet kSets[] = {
    {"IpaFaces", {kIpaP, kIpa, kDejaVu}, "IPAPGothic", "IPAGothic"},
    {"IpaBeforeVlAndAnyOther", {kDroid, kVlP, kVl, kIpaP, kIpa}, "IPAPGothic", "IPAGothic"},
    {"VlBeforeAnyOther", {kDroid, kVl, kVlP, kDejaVu}, "VL PGothic", "VL Gothic"},
    {"OneIpaFaceForBoth", {kIpa, kDejaVu}, "IPAGothic", "IPAGothic"},
    {"OneVlFaceForBoth", {kVl, kDroid}, "VL Gothic", "VL Gothic"},
    {"AnyFaceWithJapanese", {kDejaVu, kDroid}, "Droid Sans Fallback", "Droid Sans Fallback"},
};

struct Child {
    QString out, err;
};

// Runs the child on fontconfig set up with these font files alone.
std::optional<Child> runWith(const std::vector<const char*>& files) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("fonts");
    for (const char* f : files)
        if (!QFile::link(f, dir.filePath("fonts/" + QFileInfo(f).fileName())))
            return std::nullopt;
    QFile conf(dir.filePath("fonts.conf"));
    if (!conf.open(QIODevice::WriteOnly))
        return std::nullopt;
    conf.write(
        QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                       "<fontconfig><dir>%1</dir><cachedir>%2</cachedir></fontconfig>\n")
            .arg(dir.filePath("fonts"), dir.filePath("cache"))
            .toUtf8());
    conf.close();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FONTCONFIG_FILE", conf.fileName());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {kChild});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        p.kill();
        return std::nullopt;
    }
    return Child{QString::fromUtf8(p.readAllStandardOutput()),
                 QString::fromUtf8(p.readAllStandardError())};
}

bool present(const std::vector<const char*>& files, std::string& missing) {
    for (const char* f : files)
        if (!QFile::exists(f))
            missing += std::string(missing.empty() ? "" : ", ") + f;
    return missing.empty();
}

class FontChoice : public ::testing::TestWithParam<FontSet> {};

TEST_P(FontChoice, TheBestInstalledJapaneseFace) {
    const FontSet& s = GetParam();
    std::string missing;
    if (!present(s.files, missing))
        GTEST_SKIP() << "not installed here: " << missing;
    const auto child = runWith(s.files);
    ASSERT_TRUE(child.has_value());
    const QStringList lines = child->out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << child->out.toStdString();
    for (const QString& line : lines) {
        const QStringList f = line.split('|');
        ASSERT_EQ(f.size(), 4);
        const QString& want = f[0] == "Label55" ? s.gothic : s.gothicP;
        EXPECT_EQ(f[1], want) << "asked for, " << f[0].toStdString();
        EXPECT_EQ(f[2], want) << "drawn with, " << f[0].toStdString();
        EXPECT_EQ(f[3], "1") << "no Japanese in " << f[0].toStdString();
    }
    EXPECT_FALSE(child->err.contains("sabrota:")) << child->err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sets, FontChoice, ::testing::ValuesIn(kSets),
                         [](const ::testing::TestParamInfo<FontSet>& set) {
                             return std::string(set.param.name);
                         });

TEST(FontChoiceWithoutJapanese, IsSaidInOneLine) {
    std::string missing;
    if (!present({kDejaVu}, missing))
        GTEST_SKIP() << "not installed: " << missing;
    const auto child = runWith({kDejaVu});
    ASSERT_TRUE(child.has_value());
    QStringList said;
    for (const QString& line : child->err.split('\n', Qt::SkipEmptyParts))
        if (line.startsWith("sabrota:"))
            said << line;
    ASSERT_EQ(said.size(), 1) << child->err.toStdString();
    EXPECT_TRUE(said[0].contains("Japanese"));
    EXPECT_TRUE(said[0].contains("fonts-ipafont-gothic"));
    // The window still comes up, on the face it has.
    EXPECT_EQ(child->out.split('\n', Qt::SkipEmptyParts).size(), 4);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kChild) == 0) {
        QApplication app(argc, argv);
        return printFaces();
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
