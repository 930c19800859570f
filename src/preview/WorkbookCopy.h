#pragma once

#include <QString>

namespace orv::preview {

// Copies a file byte for byte to `target`, replacing any file there, through
// a files::StagedFile: a failed copy leaves an old target untouched.
// Throws a Failure describing what went wrong.
void copyFileReplacing(const QString &source, const QString &target);

} // namespace orv::preview
