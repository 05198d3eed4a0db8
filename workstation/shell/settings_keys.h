// Keys of the workstation's settings (QSettings under the organisation
// "ZELK_"), each spelled once.
#pragma once

#include <QString>

namespace settingkey {
inline constexpr char kApplicationLook[] = "ApplicationLook";  // the visual style's command
inline constexpr char kRecentFileList[] = "Recent File List";  // group of File1..File4
inline constexpr char kWorkspaceGeometry[] = "Workspace/Geometry";
inline constexpr char kWorkspaceState[] = "Workspace/State";
inline constexpr char kLastSaveFolder[] = "Forms/LastSaveFolder";  // where the forms' save dialogs start

// "Recent File List/FileN", N counted from 1.
inline QString recentFile(int n) {
    return QString("%1/File%2").arg(kRecentFileList).arg(n);
}
}  // namespace settingkey
