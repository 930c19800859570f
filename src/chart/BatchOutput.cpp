#include "chart/BatchOutput.h"

#include "app/TempFolderLock.h"
#include "chart/ChartPages.h"
#include "chart/XlsxExport.h"
#include "files/Failure.h"
#include "files/FileName.h"
#include "sheet/xlsx/XlsxWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::chart {

namespace {

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw Failure(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), why));
}

bool isBuildFileName(const QString &name)
{
    static const QRegularExpression workbook(QStringLiteral("^kdrave[1-9]{8}\\.xls$"));
    return name == QStringLiteral("template.xlt") || name == QStringLiteral("temp.bmp") ||
           name == TempFolderLock::kFileName || workbook.match(name).hasMatch();
}

QByteArray absoluteName(const QByteArray &name)
{
    if (name.startsWith('/'))
        return name;
    char *here = ::getcwd(nullptr, 0);
    const QByteArray absolute = QByteArray(here ? here : ".") + '/' + name;
    std::free(here);
    return absolute;
}

QByteArray folderName(const QByteArray &path) { return path.left(std::max<qsizetype>(path.lastIndexOf('/'), 1)); }

QByteArray canonicalName(const QByteArray &path)
{
    char *resolved = ::realpath(path.constData(), nullptr);
    const QByteArray canonical(resolved);
    std::free(resolved);
    return canonical;
}

// The file an output link stands for. It is written through only when the
// link and the file it names are the user's own: a link another user made,
// or one to another user's file, would have the build overwrite what the
// user did not choose; and the file a dangling link names is never created.
QByteArray linkedTarget(const QString &path, const QByteArray &link, const struct stat &linkInfo)
{
    if (linkInfo.st_uid != ::geteuid())
        refuse(path, QStringLiteral("it is a symbolic link of another user"));
    const QByteArray canonical = canonicalName(link);
    struct stat info {};
    if (canonical.isEmpty() || ::stat(canonical.constData(), &info) != 0)
        refuse(path, QStringLiteral("it is a symbolic link to nothing, and the file it names is not created"));
    if (info.st_uid != ::geteuid())
        refuse(path, QStringLiteral("it is a symbolic link to a file of another user"));
    return canonical;
}

// The file an output path stands for. The names are the system's bytes
// throughout, whatever their encoding.
QString outputTarget(const QString &path, const QString &tempFolder)
{
    QByteArray target = absoluteName(files::fileNameBytes(path));
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0 && S_ISLNK(info.st_mode))
        target = linkedTarget(path, target, info);
    if (::stat(target.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        refuse(path, QStringLiteral("it exists and is not a regular file"));
    const QByteArray folder = canonicalName(folderName(target));
    const QString name = files::fileNameFromBytes(target.mid(target.lastIndexOf('/') + 1));
    if (!folder.isEmpty() && folder == canonicalName(files::fileNameBytes(tempFolder)) && isBuildFileName(name))
        refuse(path, QStringLiteral("it names one of the chart build's own files in the temporary folder"));
    return files::fileNameFromBytes(target);
}

// A workbook file as a whole: the compound file's signature, and whole
// sectors of 512 bytes after its header.
bool isWholeCompoundFile(const QByteArray &bytes)
{
    static const QByteArray signature = QByteArray::fromHex("d0cf11e0a1b11ae1");
    return bytes.size() >= 1024 && bytes.startsWith(signature) && bytes.size() % 512 == 0;
}

} // namespace

BatchOutputs checkedOutputs(const QString &workbook, const QString &picture, const QString &tempFolder,
                            const QString &pdf)
{
    BatchOutputs outputs;
    outputs.workbook = outputTarget(workbook, tempFolder);
    if (!picture.isEmpty()) {
        outputs.picture = outputTarget(picture, tempFolder);
        if (outputs.picture == outputs.workbook)
            refuse(picture, QStringLiteral("the picture and the workbook would be the same file"));
    }
    if (!pdf.isEmpty()) {
        outputs.pdf = outputTarget(pdf, tempFolder);
        if (outputs.pdf == outputs.workbook || outputs.pdf == outputs.picture)
            refuse(pdf, QStringLiteral("the PDF would be the same file as another output"));
    }
    return outputs;
}

files::StagedFile stageWorkbook(const QString &chartWorkbook, const sheet::Workbook &chart, const QString &out)
{
    const QByteArray bytes = files::readWholeFile(chartWorkbook, files::Links::Refuse);
    if (!isWholeCompoundFile(bytes))
        throw Failure(QStringLiteral("The chart workbook %1 is empty or incomplete and is not copied")
                          .arg(QDir::toNativeSeparators(chartWorkbook)));
    if (!isXlsxPath(out))
        return files::StagedFile(out, bytes);
    QByteArray xlsx;
    try {
        xlsx = sheet::xlsx::writeXlsxFile(chart, QFileInfo(chartWorkbook).absolutePath());
    } catch (const Failure &failure) {
        refuse(out, failure.description());
    }
    return files::StagedFile(out, xlsx);
}

files::StagedFile stagePicture(const QByteArray &picture, const QString &out)
{
    QBuffer buffer;
    buffer.setData(picture);
    buffer.open(QIODevice::ReadOnly);
    if (!QImageReader(&buffer).canRead())
        throw Failure(QStringLiteral("The chart picture is empty or damaged and is not copied to %1")
                          .arg(QDir::toNativeSeparators(out)));
    return files::StagedFile(out, picture);
}

files::StagedFile stagePdf(std::shared_ptr<const sheet::Workbook> chart, const QString &out, const Clock &clock)
{
    try {
        return files::StagedFile(out, ChartPages(std::move(chart), clock).pdf());
    } catch (const Failure &failure) {
        refuse(out, failure.description());
    }
}

} // namespace orv::chart
