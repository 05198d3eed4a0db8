// A string-table message in a box owned by a dialog, with the application's
// message caption (ShowMessage's boxes have no owner).
#pragma once

class QWidget;

void showOwnedMessage(QWidget* owner, int stringId);
