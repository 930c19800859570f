#pragma once

#include <QString>
#include <stdexcept>

namespace orv {

// The one exception type of the program. Its description is what the user
// reads in the error report, exactly as it stands, so it must be written for
// a person ("Overflow", "File not found: /tmp/x.xls"), never as a code.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString &description)
        : std::runtime_error(description.toStdString()), mDescription(description) {}

    const QString &description() const noexcept { return mDescription; }

private:
    QString mDescription;
};

} // namespace orv
