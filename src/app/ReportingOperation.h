#pragma once

#include <QString>
#include <functional>

namespace orv {

class MessageBoxes;

// Runs the numbered statements of a reporting operation. A statement that
// throws is reported with the operation's location and the statement's line,
// and the operation goes on with its next statement:
//
//     ReportingOperation op(messages, "in Orvantis2021/08/31.Form1.PushButton1_Click ");
//     op(100, [&] { ListView1->append(txtCat->text()); });
//     op(102, [&] { txtCat->clear(); });
//
// A statement without a number of its own runs under the current line with
// op.more(...).
class ReportingOperation {
public:
    using Reporter = std::function<void(const QString &location, int line, const QString &description)>;

    ReportingOperation(MessageBoxes &messages, QString location);
    ReportingOperation(Reporter reporter, QString location);

    // Makes `line` the current line and runs the statement; returns false
    // when it failed (and was reported).
    bool operator()(int line, const std::function<void()> &statement);
    // Runs a statement under the current line.
    bool more(const std::function<void()> &statement);

    int line() const { return mLine; }
    const QString &location() const { return mLocation; }
    int failures() const { return mFailures; }

private:
    Reporter mReporter;
    QString mLocation;
    int mLine = 0;
    int mFailures = 0;
};

} // namespace orv
