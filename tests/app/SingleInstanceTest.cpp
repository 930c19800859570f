// Two starts with one settings file: the later hands its file to the first
// and ends; a start after the first has gone becomes the one instance.
#include "app/qt/SingleInstance.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <future>
#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(SingleInstance, ALaterStartHandsItsFileToTheRunningOneAndEnds)
{
    QTemporaryDir runtime;
    QTemporaryDir config;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString settings = config.filePath(QStringLiteral("Varnholt.ini"));
    const QString other = config.filePath(QStringLiteral("Other.ini"));
    {
        SingleInstance first(settings);
        ASSERT_FALSE(first.handOver(QString()));
        QStringList handed;
        first.onLaterStart([&](const QString &file) { handed << file; });

        const auto later = [](const QString &path, const QString &file) {
            return std::async(std::launch::async, [=] { return SingleInstance(path).handOver(file); });
        };
        std::future<bool> second = later(settings, QString::fromUtf8("/plans/caf\xc3\xa9.ini"));
        while (second.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        EXPECT_TRUE(second.get());
        std::future<bool> third = later(settings, QString());
        while (third.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        EXPECT_TRUE(third.get());
        EXPECT_EQ(handed, (QStringList{QString::fromUtf8("/plans/caf\xc3\xa9.ini"), QString()}));
        EXPECT_FALSE(SingleInstance(other).handOver(QString()));
    }
    EXPECT_FALSE(SingleInstance(settings).handOver(QString()));
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

} // namespace
} // namespace orv
