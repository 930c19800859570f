// A later start of the real program hands a file to this window while a
// category typed here is not yet stored: the question it raises comes from
// the main loop, is answered with real keys, and what closing stores shows
// which lists won. With the preview open, taking the file leads back to the
// main window.
#include "Form1Fixture.h"

#include "app/qt/IniSettingsStore.h"
#include "app/qt/QtMessageBoxes.h"
#include "app/qt/SingleInstance.h"
#include "preview/Form2.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "project/LaterStarts.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

namespace orv::test {
namespace {

struct HandOverCase {
    const char *name;
    const char *file;
    Qt::Key answer;
    const char *question; // a part of the box's text
    QString storedCategories;
    bool previewOpen = false;
};

class MainWindowOfTest : public preview::MainWindowLink {
public:
    explicit MainWindowOfTest(Form1 &form) : mForm(form) {}
    void showMainWindow() override { mForm.show(); }
    void saveProjectLists() override { mForm.Form_QueryUnload(); }

private:
    Form1 &mForm;
};

class HandOver : public Form1Test, public ::testing::WithParamInterface<HandOverCase> {
protected:
    HandOver() : mSavedRuntime(qgetenv("XDG_RUNTIME_DIR"))
    {
        QDir().mkpath(home.filePath("config"));
        QDir().mkpath(home.filePath("runtime"));
        QFile::setPermissions(home.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                              QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath("runtime")));
        write("plan.csv", "Task,% Compl.,Start,End,Category,Sub Task\nA,5,,,Build,\n");
        // A damaged workbook: the compound file's signature and nothing after it.
        write("junk.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
        scripted.services.messages = &boxes;
        scripted.services.settings = &settings;
    }
    ~HandOver() override { qputenv("XDG_RUNTIME_DIR", mSavedRuntime); }

    void write(const char *name, const QByteArray &bytes) const
    {
        QFile file(home.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString settingsPath() const { return home.filePath("config/Varnholt.ini"); }

    // The later start: the program itself, with the same settings file.
    int startLater(const QString &file)
    {
        QProcess later;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        later.setProcessEnvironment(env);
        later.setWorkingDirectory(home.path());
        later.start(QStringLiteral(ORVANTIS_PROGRAM), {file});
        EXPECT_TRUE(later.waitForStarted(10000));
        // This window answers from its event loop.
        EXPECT_TRUE(QTest::qWaitFor([&] { return later.state() == QProcess::NotRunning; }, 30000));
        return later.exitCode();
    }

    // Answers the next message box with `key`, once it shows.
    void answerNextBox(Qt::Key key)
    {
        auto *poll = new QTimer(&form());
        QObject::connect(poll, &QTimer::timeout, [this, poll, key] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            asked << box->text();
            poll->deleteLater();
            QTest::keyClick(box, key);
        });
        poll->start(20);
    }

    QTemporaryDir home;
    QtMessageBoxes boxes;
    IniSettingsStore settings{settingsPath()};
    QStringList asked;

private:
    QByteArray mSavedRuntime;
};

TEST_P(HandOver, AnswersFromTheMainLoopAndKeepsTheUnsavedEditUnlessReplaced)
{
    Form1 &window = loaded();
    window.show();
    SingleInstance instance(settingsPath());
    ASSERT_FALSE(instance.handOver(QString()));
    LaterStarts laterStarts(window, instance);
    QTest::keyClicks(window.txtCat, "Typed");
    QTest::mouseClick(window.PushButton1, Qt::LeftButton);
    ASSERT_EQ(rows(window.ListView1), ListRecords{{"Typed"}});

    MainWindowOfTest mainWindow(window);
    preview::LazyPreview preview(scripted.services, mainWindow);
    window.setChartPreview(preview);
    const QString workbook = home.filePath("kdrave12345678.xls");
    if (GetParam().previewOpen) {
        write("kdrave12345678.xls", "BIFF");
        preview.assignPicture(QImage(40, 30, QImage::Format_RGB32));
        preview.setExcelFile(workbook);
        preview.show();
        window.hide();
    }

    answerNextBox(GetParam().answer);
    EXPECT_EQ(startLater(GetParam().file), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asked.isEmpty() && !QApplication::activeModalWidget(); }, 10000));
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.first().contains(QLatin1String(GetParam().question))) << asked.first().toStdString();
    if (GetParam().previewOpen) {
        EXPECT_FALSE(preview.loaded()->isVisible());
        EXPECT_FALSE(QFile::exists(workbook));
    }
    EXPECT_TRUE(window.isVisible());

    window.close();
    QSettings stored(settingsPath(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Orvantis/Categories").toString(), GetParam().storedCategories);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HandOver,
    ::testing::Values(HandOverCase{"Yes", "plan.csv", Qt::Key_Y, "Replace the categories", "Build"},
                      HandOverCase{"No", "plan.csv", Qt::Key_N, "Replace the categories", "Typed"},
                      HandOverCase{"Refused", "junk.xls", Qt::Key_Return, "cannot be read as a plan", "Typed"},
                      HandOverCase{"YesWithPreviewOpen", "plan.csv", Qt::Key_Y, "Replace the categories", "Build",
                                   true}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace orv::test
