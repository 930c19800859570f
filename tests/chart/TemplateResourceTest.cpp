#include "TemplateUnderTest.h"
#include "files/Failure.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::chart::testing {
namespace {

const QString kTool = QStringLiteral(ORVANTIS_BINARY_DIR "/src/chart/template/orvantis_write_chart_template");

QByteArray runTool(const QString &path)
{
    QProcess tool;
    tool.start(kTool, {path});
    EXPECT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(TemplateResource, IsA97To2003CompoundFileMarkedAsTemplate)
{
    const QByteArray bytes = loadCustomResource(101);
    ASSERT_GE(bytes.size(), 512);
    EXPECT_EQ(bytes.left(8), QByteArray::fromHex("D0CF11E0A1B11AE1"));
    EXPECT_EQ(bytes.size() % 512, 0);
    EXPECT_TRUE(chartTemplate().isTemplate());
}

TEST(TemplateResource, IsWhatTheToolWritesAndTheSameOnEveryRun)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray first = runTool(folder.filePath(QStringLiteral("first.xlt")));
    const QByteArray second = runTool(folder.filePath(QStringLiteral("second.xlt")));
    EXPECT_FALSE(first.isEmpty());
    EXPECT_TRUE(first == second) << "two runs of the tool differ";
    EXPECT_TRUE(first == loadCustomResource(101)) << "the program carries another template than the tool writes";
}

TEST(TemplateResource, ToolRefusesAMissingOrUnwritablePath)
{
    QProcess tool;
    tool.start(kTool, {});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_NE(tool.exitCode(), 0);
    tool.start(kTool, {QStringLiteral("/nonexistent-folder/template.xlt")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_NE(tool.exitCode(), 0);
}

TEST(CustomResource, OtherNumbersAreNotCarried)
{
    for (int number : {0, 100, 102}) {
        try {
            loadCustomResource(number);
            FAIL() << number;
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.description(), QStringLiteral("The program has no resource CUSTOM %1").arg(number));
        }
    }
}

} // namespace
} // namespace orv::chart::testing
