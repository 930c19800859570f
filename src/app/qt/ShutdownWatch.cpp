#include "app/qt/ShutdownWatch.h"

#include "app/Services.h"
#include "files/Failure.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr int kWatchedSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The two ends of the socket pair: the handler writes into [0], the event
// loop reads from [1]. -1 while no watch exists.
int gSignalSockets[2] = {-1, -1};

extern "C" void noteSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSignalSockets[0], &byte, 1);
    errno = saved;
}

void setSignalAction(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kWatchedSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

ShutdownWatch::ShutdownWatch(std::function<void()> store, ProgramExit &exit, QObject *parent)
    : QObject(parent), mStore(std::move(store)), mExit(exit)
{
    if (gSignalSockets[0] != -1)
        throw Failure(QStringLiteral("Only one shutdown watch can exist"));
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gSignalSockets) != 0)
        throw Failure(QStringLiteral("Cannot create the signal sockets"));
    mNotifier = new QSocketNotifier(gSignalSockets[1], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(gSignalSockets[1], bytes, sizeof bytes) > 0) {
        }
        finish();
    });
    setSignalAction(noteSignal);

    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &ShutdownWatch::finish);
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { finish(); });
}

ShutdownWatch::~ShutdownWatch()
{
    setSignalAction(SIG_DFL);
    delete mNotifier;
    for (int &socket : gSignalSockets) {
        ::close(socket);
        socket = -1;
    }
}

void ShutdownWatch::finish()
{
    if (!mStored) {
        mStored = true;
        mStore();
    }
    mExit.endProgram();
}

} // namespace orv
