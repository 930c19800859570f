#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QAbstractItemModel;
class QTimer;

namespace orv {

class MessageBoxes;

// Keeps the stored lists as they are typed: a change to any of the watched
// lists is stored within half a second, and a run of changes (an opened
// plan, a paste, a held key) is stored once. A crash, a kill or a power cut
// then costs at most the last moment's work; closing still stores as well.
// A store that fails is told once, until one succeeds again.
class ListAutosave : public QObject {
public:
    ListAutosave(const QList<QAbstractItemModel *> &lists, std::function<void()> store, MessageBoxes &messages,
                 QObject *parent = nullptr);

    static constexpr int kDelayMs = 500;

private:
    void storeNow();

    std::function<void()> mStore;
    MessageBoxes &mMessages;
    QTimer *mTimer;
    bool mFailing = false;
};

} // namespace orv
