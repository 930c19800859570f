#pragma once

#include "app/Services.h"

namespace orv {

// The program folder is the executable's folder; the temporary folder
// follows chooseTempFolder.
class QtFolders final : public Folders {
public:
    QString programFolder() const override;
    QString tempFolder() const override;
    // "orvantis" in the user's data folder ($XDG_DATA_HOME, else ~/.local/share).
    QString rescueFolder() const override;
};

} // namespace orv
