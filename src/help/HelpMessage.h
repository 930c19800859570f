#pragma once

#include <QString>

namespace orv {

class MessageBoxes;

inline constexpr char kContactPage[] = "https://www.orvantis.example.com/contact";

QString helpText();

// Shows the help text with OK only, no icon and the application title.
void showHelpMessage(MessageBoxes &messages);

} // namespace orv
