#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace orv {

class ProgramExit;

// The ways the program is told to end other than the closing of its main
// window: SIGTERM, SIGHUP and SIGINT, the end of the desktop session (Qt 6
// closes no window then) and the application quitting. Each of them stores
// the project once, as closing does, and then ends the program.
//
// A signal handler may do almost nothing, so it only writes one byte into a
// socket pair; the event loop reads it and does the storing. One watch at a
// time; it restores the signals' default actions when it goes.
class ShutdownWatch final : public QObject {
public:
    ShutdownWatch(std::function<void()> store, ProgramExit &exit, QObject *parent = nullptr);
    ~ShutdownWatch() override;

private:
    void finish();

    std::function<void()> mStore;
    ProgramExit &mExit;
    bool mStored = false;
    QSocketNotifier *mNotifier = nullptr;
};

} // namespace orv
