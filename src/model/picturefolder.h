// The folder of the photo loaded last, kept across runs in the program's state file (section
// "picture", key "folder"), so that the picture dialog opens where the user's photos are.
#pragma once

#include <QString>

/// The folder remembered for the program whose folder is `appPath`; empty when none is.
QString RememberedPictureFolder(const QString& appPath);

/// Remembers `folder` (written only when it differs from the one remembered). A state file
/// that cannot be written is no error for loading a photo: false, and nothing is remembered.
bool RememberPictureFolder(const QString& appPath, const QString& folder);
