// The skin, the hand cursor file and the hover pointer on real widgets.
#include "app/CursorFile.h"
#include "app/qt/ApplySkin.h"
#include "app/qt/QtSaveFileDialog.h"
#include "app/qt/SkinFramework.h"
#include "files/Failure.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtEndian>
#include <gtest/gtest.h>

namespace orv {
namespace {

// Records the calls the skin receives, in order.
class RecordingSkin : public SkinFramework {
public:
    void loadSkin(const QString &path, const QString &iniText) override
    {
        calls << QStringLiteral("load %1 [%2]").arg(QFileInfo(path).fileName(), iniText);
        SkinFramework::loadSkin(path, iniText);
    }
    int optionFlags() const override
    {
        const_cast<RecordingSkin *>(this)->calls << "read flags";
        return SkinFramework::optionFlags();
    }
    void setOptionFlags(int flags) override
    {
        calls << QStringLiteral("write flags %1").arg(flags);
        SkinFramework::setOptionFlags(flags);
    }
    void setPolishChildren(bool on) override { calls << QStringLiteral("switch 5 %1").arg(on); }
    void setRepaintWindow(bool on) override { calls << QStringLiteral("switch 10 %1").arg(on); }
    void applyToWindow(QWidget &window) override
    {
        calls << "apply";
        SkinFramework::applyToWindow(window);
    }
    QStringList calls;
};

class Skin : public ::testing::Test {
protected:
    Skin()
    {
        label = new QLabel("Label:", &window);
        frame = new QGroupBox(&window);
        check = new QCheckBox("Sub Task", frame);
        button = new QPushButton("Add", frame);
        edit = new QLineEdit(frame);
        list = new QTreeWidget(frame);
    }
    void writeSkin(const QByteArray &sheet)
    {
        ASSERT_TRUE(QDir(folder.path()).mkpath("x"));
        QFile file(skinFilePath(folder.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(sheet);
    }
    bool hasButtonFace(const QWidget *widget) const
    {
        return widget->autoFillBackground()
               && widget->palette().color(QPalette::Window) == QApplication::palette().color(QPalette::Button);
    }

    QTemporaryDir folder;
    QWidget window;
    QLabel *label;
    QGroupBox *frame;
    QCheckBox *check;
    QPushButton *button;
    QLineEdit *edit;
    QTreeWidget *list;
    RecordingSkin skin;
};

TEST_F(Skin, PresentSkinColoursPlainControlsAndIsAppliedInOrder)
{
    writeSkin("QPushButton { color: #123456; }");
    ApplySkin(window, folder.path(), skin);
    EXPECT_EQ(skin.calls, (QStringList{"load o.cjs []", "read flags", "write flags 1", "switch 5 1", "switch 10 1",
                                       "apply"}));
    EXPECT_EQ(window.styleSheet(), "QPushButton { color: #123456; }");
    for (const QWidget *widget : std::initializer_list<const QWidget *>{&window, label, frame, check})
        EXPECT_TRUE(hasButtonFace(widget)) << widget->metaObject()->className();
    for (const QWidget *widget : std::initializer_list<const QWidget *>{button, edit, list})
        EXPECT_FALSE(widget->autoFillBackground()) << widget->metaObject()->className();
}

TEST_F(Skin, FlagsAlreadySetAreKept)
{
    writeSkin("");
    skin.SkinFramework::setOptionFlags(6);
    ApplySkin(window, folder.path(), skin);
    EXPECT_EQ(skin.optionFlags(), 7);
}

TEST_F(Skin, AbsentSkinOrFolderOfThatNameChangesNothing)
{
    ApplySkin(window, folder.path(), skin);
    ASSERT_TRUE(QDir(folder.path()).mkpath("x/o.cjs"));
    ApplySkin(window, folder.path(), skin);
    ASSERT_TRUE(QDir(folder.path()).mkpath("x/.o.cjs"));
    EXPECT_TRUE(skin.calls.isEmpty());
    EXPECT_TRUE(window.styleSheet().isEmpty());
    EXPECT_FALSE(hasButtonFace(label));
}

TEST_F(Skin, FailingLoadPassesUpAfterTheColours)
{
    class UnreadableSkin : public RecordingSkin {
        void loadSkin(const QString &, const QString &) override { throw Failure("Cannot read the skin file"); }
    } failing;
    writeSkin("x");
    EXPECT_THROW(ApplySkin(window, folder.path(), failing), Failure);
    EXPECT_TRUE(hasButtonFace(label));
    EXPECT_TRUE(failing.calls.isEmpty()) << "nothing after the load runs";
}

TEST(SkinComponent, InactiveSkinIsNotApplied)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("s.qss"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QWidget { color: red; }");
    file.close();
    SkinFramework skin;
    QWidget window;
    skin.loadSkin(file.fileName(), QString());
    skin.applyToWindow(window);
    EXPECT_TRUE(window.styleSheet().isEmpty());
    skin.setOptionFlags(SkinFramework::kSkinActive);
    skin.applyToWindow(window);
    EXPECT_EQ(window.styleSheet(), "QWidget { color: red; }");
    EXPECT_THROW(skin.loadSkin(folder.filePath("missing.qss"), QString()), Failure);
}

class CursorFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QByteArray &bytes)
    {
        const QString path = dir.filePath("c.cur");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    static QByteArray shipped()
    {
        QFile file(QStringLiteral(ORVANTIS_SOURCE_DIR "/resources/HAND-M.CUR"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(CursorFileTest, ShippedHandHasItsHotspotAndImage)
{
    const CursorImage cursor = readCursorFile(write(shipped()));
    EXPECT_EQ(cursor.hotspot, QPoint(6, 0));
    EXPECT_EQ(cursor.image.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(cursor.image.pixel(0, 31)), 0);               // transparent corner
    EXPECT_EQ(cursor.image.pixel(5, 0) | 0xff000000u, 0xff000000u); // outline of the fingertip
    EXPECT_EQ(cursor.image.pixel(6, 2), 0xffffffffu);               // white fill
}

TEST_F(CursorFileTest, HotspotIsReadFromTheDirectoryEntry)
{
    QByteArray bytes = shipped();
    qToLittleEndian<quint16>(20, bytes.data() + 10);
    qToLittleEndian<quint16>(9, bytes.data() + 12);
    EXPECT_EQ(readCursorFile(write(bytes)).hotspot, QPoint(20, 9));
}

TEST_F(CursorFileTest, BrokenFilesFail)
{
    QByteArray icon = shipped();
    qToLittleEndian<quint16>(1, icon.data() + 2);
    QByteArray truncated = shipped().left(100);
    QByteArray farOffset = shipped();
    qToLittleEndian<quint32>(0x7fffffff, farOffset.data() + 18);
    for (const QByteArray &bytes : {icon, truncated, farOffset, QByteArray("junk")})
        EXPECT_THROW(readCursorFile(write(bytes)), Failure);
    EXPECT_THROW(readCursorFile(dir.filePath("missing.cur")), Failure);
}

struct FilterCase {
    QString program;
    QString qt;
};

class SaveFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SaveFilter, BecomesQtFilter)
{
    EXPECT_EQ(qtFileFilter(GetParam().program), GetParam().qt);
}

INSTANTIATE_TEST_SUITE_P(Filters, SaveFilter,
                         ::testing::Values(FilterCase{"Excel Files (*.xls)|*.xls|", "Excel Files (*.xls)"},
                                           FilterCase{"Workbooks|*.xls;*.xlt|All|*.*", "Workbooks (*.xls *.xlt);;All (*.*)"}));

} // namespace
} // namespace orv
