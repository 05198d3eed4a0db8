// The document behind every form window. It only carries the window title,
// taken from the application's current form when it is created.
#pragma once

#include <QObject>
#include <QString>

class CPendraDoc : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool OnNewDocument();
    QString title() const { return title_; }

    // The title of a form's window.
    static QString formTitle(int formId);

private:
    QString title_;
};
