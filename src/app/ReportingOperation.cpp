#include "app/ReportingOperation.h"

#include "app/ErrorReport.h"
#include "files/Failure.h"

#include <exception>
#include <new>

namespace orv {

ReportingOperation::ReportingOperation(MessageBoxes &messages, QString location)
    : ReportingOperation(
          [&messages](const QString &where, int line, const QString &what) {
              ReportError(messages, where, line, what);
          },
          std::move(location))
{
}

ReportingOperation::ReportingOperation(Reporter reporter, QString location)
    : mReporter(std::move(reporter)), mLocation(std::move(location))
{
}

bool ReportingOperation::operator()(int line, const std::function<void()> &statement)
{
    mLine = line;
    return more(statement);
}

bool ReportingOperation::more(const std::function<void()> &statement)
{
    QString description;
    try {
        statement();
        return true;
    } catch (const Failure &failure) {
        description = failure.description();
    } catch (const std::bad_alloc &) {
        description = QStringLiteral("Out of memory");
    } catch (const std::exception &other) {
        description = QString::fromLocal8Bit(other.what());
    }
    ++mFailures;
    mReporter(mLocation, mLine, description);
    return false;
}

} // namespace orv
