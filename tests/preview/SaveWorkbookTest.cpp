#include "PreviewFixture.h"
#include "support/TestFiles.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace orv::preview::test {
namespace {

using orv::test::fileContents;

using orv::test::ShownMessage;

class PreviewSave : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        // Every byte value, and more than one read chunk.
        workbookBytes.resize(200 * 1024);
        for (qsizetype i = 0; i < workbookBytes.size(); ++i)
            workbookBytes[i] = static_cast<char>(QRandomGenerator::global()->bounded(256));
        workbook = writeFile(tempPath(QStringLiteral("kdrave45678912.xls")), workbookBytes);
        handOver(chartPicture(300, 200), workbook);
    }

    QString target(const QString &name) const { return QDir(targets.path()).filePath(name); }

    void save(const QString &answer)
    {
        s.saveDialog.answerNext(answer);
        form().PushButton6->click();
    }

    static ShownMessage done()
    {
        return {QStringLiteral("Done."), QStringLiteral("Orvantis"), MessageButtons::Ok, MessageIcon::None};
    }

    static void expectMessages(const std::vector<ShownMessage> &shown, const std::vector<ShownMessage> &expected)
    {
        ASSERT_EQ(shown.size(), expected.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].text, expected[i].text);
            EXPECT_EQ(shown[i].title, expected[i].title);
            EXPECT_EQ(shown[i].buttons, expected[i].buttons);
            EXPECT_EQ(shown[i].icon, expected[i].icon);
        }
    }

    QByteArray workbookBytes;
    QString workbook;
    QTemporaryDir targets;
};

TEST_F(PreviewSave, CancellingCopiesNothingAndStillSaysDone)
{
    save(QString());
    EXPECT_EQ(s.saveDialog.titles, QStringList{QStringLiteral("Save File")});
    EXPECT_EQ(s.saveDialog.filters,
              QStringList{QStringLiteral("Excel Files (*.xls)|*.xls|Excel Workbook (*.xlsx)|*.xlsx|")});
    expectMessages(s.messages.shown, {done()});
    EXPECT_TRUE(QDir(targets.path()).isEmpty());
}

TEST_F(PreviewSave, ANewNameGetsAByteForByteCopyWithoutAQuestion)
{
    save(target(QStringLiteral("plan.xls")));
    expectMessages(s.messages.shown, {done()});
    EXPECT_EQ(fileContents(target(QStringLiteral("plan.xls"))), workbookBytes);
    EXPECT_EQ(fileContents(workbook), workbookBytes);
    EXPECT_EQ(QDir(targets.path()).entryList(QDir::Files), QStringList{QStringLiteral("plan.xls")});
}

TEST_F(PreviewSave, ANameWithoutExtensionIsUsedAsTyped)
{
    save(target(QStringLiteral("plan")));
    EXPECT_EQ(fileContents(target(QStringLiteral("plan"))), workbookBytes);
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("plan.xls"))));
}

TEST_F(PreviewSave, SavingTwiceAsksAnewEachTime)
{
    save(target(QStringLiteral("one.xls")));
    save(target(QStringLiteral("two.xls")));
    EXPECT_EQ(s.saveDialog.titles.size(), 2);
    expectMessages(s.messages.shown, {done(), done()});
    EXPECT_EQ(fileContents(target(QStringLiteral("one.xls"))), workbookBytes);
    EXPECT_EQ(fileContents(target(QStringLiteral("two.xls"))), workbookBytes);
}

struct OverwriteCase {
    MessageAnswer answer;
    bool replaced;
};

class PreviewOverwrite : public PreviewSave, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(PreviewOverwrite, AnExistingFileIsReplacedOnlyAfterYes)
{
    const QString existing = writeFile(target(QStringLiteral("chart.xls")), "old plan");
    s.messages.answerNext(GetParam().answer);
    save(existing);
    const ShownMessage question{QStringLiteral("Are you sure you wish to overwrite ") + existing + QStringLiteral(" ?"),
                                QStringLiteral("Orvantis"), MessageButtons::YesNo, MessageIcon::None};
    expectMessages(s.messages.shown, {question, done()});
    EXPECT_EQ(fileContents(existing), GetParam().replaced ? workbookBytes : QByteArray("old plan"));
    EXPECT_EQ(QDir(targets.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, PreviewOverwrite,
                         ::testing::Values(OverwriteCase{MessageAnswer::No, false},
                                           OverwriteCase{MessageAnswer::Yes, true}));

TEST_F(PreviewSave, AFolderThatCannotBeWrittenKeepsTheOldFileAndEndsWithTheReport)
{
    const QString existing = writeFile(target(QStringLiteral("chart.xls")), "old plan");
    whileFolderIsReadOnly(targets.path(), workbook, [&] { save(existing); });

    EXPECT_EQ(fileContents(existing), QByteArray("old plan"));
    EXPECT_EQ(QDir(targets.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    ASSERT_EQ(s.messages.shown.size(), 2u); // the question, then the report
    EXPECT_EQ(s.messages.shown[1].title, QStringLiteral("Application Error"));
    EXPECT_TRUE(s.messages.shown[1].text.startsWith(QStringLiteral("Cannot write ") + existing));
    EXPECT_TRUE(s.messages.shown[1].text.contains(
        QStringLiteral("\r\nin Orvantis2021/08/31.Form2.PushButton6_Click at line 130\r\r")));
}

TEST_F(PreviewSave, AWorkbookAlreadyGoneIsReportedAndNothingIsWritten)
{
    QFile::remove(workbook);
    save(target(QStringLiteral("plan.xls")));
    ASSERT_EQ(s.messages.shown.size(), 1u);
    EXPECT_TRUE(s.messages.shown[0].text.contains(QStringLiteral("PushButton6_Click at line 130")));
    EXPECT_TRUE(QDir(targets.path()).isEmpty());
}

TEST_F(PreviewSave, AFailedCopyOverAnExistingFileLeavesItUntouched)
{
    const QString existing = writeFile(target(QStringLiteral("chart.xls")), "old plan");
    QFile::remove(workbook);
    save(existing); // answered Yes
    EXPECT_EQ(fileContents(existing), QByteArray("old plan"));
    ASSERT_EQ(s.messages.shown.size(), 2u);
    EXPECT_EQ(s.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(s.messages.shown[1].text.startsWith(QStringLiteral("Cannot read ") + workbook));
}

} // namespace
} // namespace orv::preview::test
