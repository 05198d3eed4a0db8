// Form views and maintenance dialogs, and the rule that keeps at most one
// window per form.
//
// Form and dialog libraries register their classes here from a static
// initialiser:
//     static const bool registered = registerFormView(form::kGray,
//         [](QWidget* parent) { return new CFormGray(parent); });
// A form without a registered view opens a placeholder view with its title;
// a command without a registered dialog opens a placeholder dialog.
#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <memory>

#include "commands.h"

class QDialog;
class QMdiArea;
class QWidget;
class CChildFrame;

using ViewFactory = std::function<QWidget*(QWidget* parent)>;
using DialogFactory = std::function<QDialog*(QWidget* parent)>;

bool registerFormView(int formId, ViewFactory factory);
ViewFactory formViewFactory(int formId);
bool registerCommandDialog(int command, DialogFactory factory);
DialogFactory commandDialogFactory(int command);

// One form's template: its view class and the one document window it has
// open, if any.
struct FormTemplate {
    int formId = 0;
    QPointer<CChildFrame> window;
};

class FormRegistry {
public:
    // Sets `currentForm` to `formId`, then activates the form's window or
    // opens a new one in `area`. Returns the window, null when the view
    // could not be created.
    CChildFrame* showForm(int formId, QMdiArea* area, int& currentForm);

    // The template of a form; null before the form's first use.
    const FormTemplate* templateFor(int formId) const;
    // Creates the start page's template (done at start-up).
    void createTemplate(int formId);

private:
    CChildFrame* openDocument(FormTemplate& t, QMdiArea* area);
    std::array<std::unique_ptr<FormTemplate>, form::kCount> templates_;
};
