#include "chart/PictureHandOff.h"

#include <QDateTime>
#include <QFileInfo>
#include <utility>

namespace orv::chart {

namespace {

// The file as it was right after the picture was written to it.
struct FileStamp {
    QString path;
    qint64 size = -1;
    QDateTime modified;

    static FileStamp of(const QString &path)
    {
        const QFileInfo file(path);
        return {file.absoluteFilePath(), file.exists() ? file.size() : -1, file.lastModified()};
    }
    bool operator==(const FileStamp &) const = default;
};

struct Kept {
    bool wanted = false;
    FileStamp stamp;
    QImage picture;
};

Kept &kept()
{
    static Kept state;
    return state;
}

} // namespace

void PictureHandOff::keepPictures(bool keep)
{
    kept().wanted = keep;
    if (!keep)
        kept().picture = QImage();
}

bool PictureHandOff::keepsPictures() { return kept().wanted; }

void PictureHandOff::remember(const QString &path, const QImage &picture)
{
    if (!kept().wanted)
        return;
    kept().stamp = FileStamp::of(path);
    kept().picture = picture;
}

std::optional<QImage> PictureHandOff::take(const QString &path)
{
    QImage picture = std::exchange(kept().picture, QImage());
    if (picture.isNull() || !(FileStamp::of(path) == kept().stamp) || kept().stamp.size < 0)
        return std::nullopt;
    return picture;
}

} // namespace orv::chart
