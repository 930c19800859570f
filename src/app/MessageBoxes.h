#pragma once

#include <QString>

namespace orv {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Exclamation };
enum class MessageAnswer { Ok, Yes, No };

// Every modal message box of the program goes through this interface, so
// that tests can script the answers and see what a user would have seen.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const QString &text, const QString &title, MessageButtons buttons,
                               MessageIcon icon) = 0;
};

} // namespace orv
