// Small workbook streams that state far more than they hold: each is read,
// or refused, in a child process under a CPU-time and an address-space
// limit, so that a reader that grows with what is stated fails the test.
#include "files/Failure.h"
#include "HostileStreams.h"
#include "sheet/xls/XlsReader.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orv::sheet;
using namespace orv::sheet::xls;
using namespace orv::sheet::xls::hostile;

namespace {

constexpr rlim_t kMemoryAllowed = 200u << 20;
constexpr rlim_t kCpuSecondsAllowed = 1;
// What a plan file is read with: its task columns and the cells they hold.
constexpr std::size_t kPlanCells = 500'000;

std::size_t addressSpaceInUse()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toULongLong() << 10;
    return 0;
}

struct HostileCase {
    const char *name;
    QByteArray stream;
    const char *refusal; // empty: read
};

class HostileWorkbook : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileWorkbook, IsReadOrRefusedWithinTheLimits)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit memory{addressSpaceInUse() + kMemoryAllowed, addressSpaceInUse() + kMemoryAllowed};
        const rlimit cpu{kCpuSecondsAllowed, kCpuSecondsAllowed + 1};
        ::setrlimit(RLIMIT_AS, &memory);
        ::setrlimit(RLIMIT_CPU, &cpu);
        try {
            const Workbook book = readWorkbookStream(GetParam().stream, {.columns = 6, .cells = kPlanCells});
            ::_exit(*GetParam().refusal == '\0' ? 0 : 10);
        } catch (const orv::Failure &failure) {
            ::_exit(failure.description().contains(QLatin1String(GetParam().refusal)) ? 0 : 11);
        } catch (const std::bad_alloc &) {
            ::_exit(12);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status) << " (SIGXCPU: over the time)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: read instead of refused, 11: another failure, 12: out of memory";
}

INSTANTIATE_TEST_SUITE_P(
    Streams, HostileWorkbook,
    ::testing::Values(
        HostileCase{"EightThousandEntriesOfOneSheet", workbookStream(8000, 1, "Plan", 200, 250), "more than 255 sheets"},
        HostileCase{"TwoHundredEntriesOfOneSheet", workbookStream(200, 1, "Plan", 200, 250), "share the same records"},
        HostileCase{"ThousandSixHundredSheetsOfOneName", workbookStream(1600, 1600, "Plan", 1, 1),
                    "more than 255 sheets"},
        HostileCase{"TwoHundredFiftySheetsOfOneName", workbookStream(250, 250, "Plan", 1, 1), ""},
        HostileCase{"CellsRightOfTheTasksAreSkipped", workbookStream(1, 1, "Plan", 4100, 250), ""},
        HostileCase{"MoreCellsThanRead", workbookStream(3, 3, "Plan", 65536, 6), "more cells"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
