#pragma once

#include <QString>

namespace qvr {

// The user's and the system's standard folders and a few facts about the system, gathered when
// the record is made (the session makes it once, at start-up). Folder paths carry no trailing
// separator. On Linux the folders come from the XDG base and user directories; what has no
// counterpart stays empty.
struct TWindowsInfo {
    TWindowsInfo();

    QString DesktopDir;
    QString FavoritesDir;
    QString FontsDir;
    QString NetHoodDir;
    QString PersonalDir;  // the documents folder
    QString ProgramFilesSpecialDir;
    QString RecentDir;
    QString SendToDir;
    QString StartMenuDir;
    QString StartupDir;
    QString TemplatesDir;
    QString InternetCacheDir;
    QString LogonUserName;
    QString SystemRoot;
    QString WindowsVersionName;
    QString ProgramFilesDir;
    QString CommonFilesDir;
    QString MediaPath;
    QString TempPath;
    QString AddressBookFile;
    QString AppDataDir;  // $XDG_DATA_HOME, normally ~/.local/share
    QString CommonAppDataDir;
    bool IsGermanSystem = false;  // the system locale is German (Germany)
};

}  // namespace qvr
