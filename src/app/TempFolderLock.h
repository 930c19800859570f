#pragma once

#include <QString>
#include <functional>

namespace orv {

// One chart build at a time per temporary folder: an advisory lock (flock)
// on the file "orvantis.lock" in it, held while the object lives and
// removed with it. Runs of any program sharing the folder wait for each
// other instead of sharing `template.xlt` or `temp.bmp`.
class TempFolderLock {
public:
    static const QString kFileName;

    // Waits until no other run holds the folder; `whileWaiting` runs between
    // the attempts (to let window events through). Throws a Failure naming
    // the system's cause when the lock file cannot be opened or locked.
    TempFolderLock(const QString &folder, const std::function<void()> &whileWaiting);
    TempFolderLock(const TempFolderLock &) = delete;
    TempFolderLock &operator=(const TempFolderLock &) = delete;
    ~TempFolderLock();

private:
    bool tryLock();

    QString mPath;
    int mFd = -1;
};

// Removes what dead runs left in the folder: chart workbooks ("kdrave" and
// eight digits, ".xls") that no running program marks in use and the picture
// file `temp.bmp` (what saves cut short leave, the next save into the folder
// clears). Only to be called while holding the lock; links are removed
// themselves, never followed. Failures are ignored.
void removeLeftovers(const QString &folder);

} // namespace orv
