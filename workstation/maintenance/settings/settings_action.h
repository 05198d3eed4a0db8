// One handler of a settings dialog: an operation on the reader and init.ini
// with the message it ends in.
#pragma once

#include <QString>
#include <functional>

class CIni;
class ReaderPort;

// `initIni`, or where FileLocations puts init.ini when it is empty.
QString initIniOr(QString initIni);

// Runs `action` against the application's reader (its device function table
// behind the connected flag, held for the whole action so that no other
// thread's command comes between a command and its reply) and the settings
// file `initIni`, then shows the
// message whose string id `action` returns. A settings file that could not be
// written is logged: the reader has the settings, only the PC forgets them.
// Does nothing without a running application.
void runSettingsAction(const QString& initIni, const std::function<int(ReaderPort&, CIni&)>& action);
