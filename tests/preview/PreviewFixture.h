#pragma once

#include "app/Services.h"
#include "chart/template/CalendarScale.h"
#include "preview/Form2.h"
#include "preview/LazyPreview.h"
#include "preview/MainWindowLink.h"
#include "preview/PictureBox.h"
#include "support/ScriptedServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace orv::preview::test {

// The main window as the preview sees it; saving writes the three lists.
class FakeMainWindow : public MainWindowLink {
public:
    FakeMainWindow(SettingsStore &settings, const orv::test::RecordingExit &exit) : mSettings(settings), mExit(exit) {}
    void showMainWindow() override { ++shown; }
    void rebuildChart(chart::CalendarScale scale) override { rebuilt.push_back(scale); }
    void saveProjectLists() override
    {
        mSettings.write(QStringLiteral("Categories"), QStringLiteral("Design"));
        mSettings.write(QStringLiteral("Tasks"), QString());
        mSettings.write(QStringLiteral("Events"), QString());
        exitCallsAtSave = mExit.calls;
    }

    int shown = 0;
    int exitCallsAtSave = -1;
    std::vector<chart::CalendarScale> rebuilt;

private:
    SettingsStore &mSettings;
    const orv::test::RecordingExit &mExit;
};

// While it lives, the test runs as an ordinary user when it was started as
// root, so that folder permissions hold.
class OrdinaryUser {
public:
    OrdinaryUser() : mWasRoot(geteuid() == 0 && seteuid(65534) == 0) {}
    ~OrdinaryUser()
    {
        if (mWasRoot) {
            EXPECT_EQ(seteuid(0), 0);
        }
    }

private:
    bool mWasRoot;
};

// A picture whose left half is red and right half blue, so that a scaled
// copy can be told from a blank one.
inline QImage chartPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPainter(&picture).fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    return picture;
}

class PreviewTest : public ::testing::Test {
protected:
    QString tempPath(const QString &name) const { return QDir(s.folders.tempFolder()).filePath(name); }

    QString writeFile(const QString &path, const QByteArray &bytes) const
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // The chart builder's hand-over, then the activation that follows showing.
    Form2 &handOver(const QImage &picture, const QString &workbook = QString(), QSize frozen = {})
    {
        preview.assignPicture(picture, frozen);
        preview.setExcelFile(workbook.isEmpty() ? writeFile(tempPath(QStringLiteral("kdrave12345678.xls")), "BIFF")
                                                : workbook);
        preview.show();
        activate();
        return form();
    }

    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&form(), &activation);
    }

    Form2 &form() const { return *preview.loaded(); }

    // Runs `action` as an ordinary user while `folder` cannot be written;
    // the temporary folder and the chart workbook stay readable.
    void whileFolderIsReadOnly(const QString &folder, const QString &workbook, const std::function<void()> &action)
    {
        const auto readable = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        const auto enterable = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
        ASSERT_TRUE(QFile::setPermissions(s.folders.tempFolder(), readable | enterable | QFileDevice::WriteOwner));
        ASSERT_TRUE(QFile::setPermissions(workbook, readable));
        ASSERT_TRUE(QFile::setPermissions(folder, readable | enterable));
        {
            OrdinaryUser user;
            action();
        }
        QFile::setPermissions(folder, readable | enterable | QFileDevice::WriteOwner);
    }

    std::vector<orv::test::ShownMessage> errorReports() const
    {
        std::vector<orv::test::ShownMessage> reports;
        for (const auto &message : s.messages.shown)
            if (message.title == QStringLiteral("Application Error"))
                reports.push_back(message);
        return reports;
    }

    orv::test::ScriptedServices s;
    FakeMainWindow mainWindow{s.settings, s.exit};
    LazyPreview preview{s.services, mainWindow};
};

} // namespace orv::preview::test
