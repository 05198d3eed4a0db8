// Where the workstation's files live.
//   init.ini, config.ini  beside the program for a kit run where it was built
//                         or unpacked; in $XDG_CONFIG_HOME/kestrin/
//                         (~/.config/kestrin/) for an installed kit, and
//                         whenever the program's folder is not writable.
//                         A kit counts as installed when it is not a build
//                         tree (<program>/../CMakeCache.txt) and its program
//                         sits in a system folder (below /usr, /bin or /sbin)
//                         or has shipped data beside it (<prefix>/share/kestrin).
//                         So root, for whom /usr/bin is writable, never
//                         writes settings into it, while build/bin/kestrin
//                         (which has build/share/kestrin too) keeps its own.
//   shipped config.ini    <program folder>/../share/kestrin/config.ini: read
//                         while no config.ini of the user's exists; the
//                         first write starts from a copy of it.
//   eva.dat               in the working folder, as project files stored
//                         by earlier versions expect.
// Paths written inside config.ini (format files) may use "\" or "/".
#pragma once

#include <QString>

struct FileLocations {
    QString programFolder;  // folder of the running program
    QString configHome;     // the user's folder for the settings files
    QString shippedFolder;  // data shipped with the kit
    QString workingFolder;  // the current directory

    // The locations of the running program (QCoreApplication when there is
    // one, else /proc/self/exe) and of its environment, as they are now.
    static FileLocations current();

    // True when the program is an installed one (see above).
    bool installed() const;
    // programFolder when the kit is not installed and the folder is
    // writable, else configHome.
    QString settingsFolder() const;
    QString initIni() const;           // where init.ini is read and written
    QString configIni() const;         // where config.ini is read and written
    QString shippedConfigIni() const;  // the read fallback of config.ini
    QString evaDat() const;

    // A file named inside config.ini: an absolute path as it is; a relative
    // one beside the program, else beside the config.ini that named it
    // (`configFolder`), else among the shipped data, whichever exists first.
    // When none exists, the path beside the program (for the message).
    QString resolveConfigPath(const QString& written, const QString& configFolder) const;
};
