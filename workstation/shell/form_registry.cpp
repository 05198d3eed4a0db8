#include "form_registry.h"

#include <QMdiArea>
#include <map>

#include "child_frame.h"
#include "pendra_doc.h"
#include "placeholder_view.h"

namespace {

std::map<int, ViewFactory>& viewFactories() {
    static std::map<int, ViewFactory> m;
    return m;
}

std::map<int, DialogFactory>& dialogFactories() {
    static std::map<int, DialogFactory> m;
    return m;
}

}  // namespace

bool registerFormView(int formId, ViewFactory factory) {
    viewFactories()[formId] = std::move(factory);
    return true;
}

ViewFactory formViewFactory(int formId) {
    auto it = viewFactories().find(formId);
    return it == viewFactories().end() ? ViewFactory() : it->second;
}

bool registerCommandDialog(int command, DialogFactory factory) {
    dialogFactories()[command] = std::move(factory);
    return true;
}

DialogFactory commandDialogFactory(int command) {
    auto it = dialogFactories().find(command);
    return it == dialogFactories().end() ? DialogFactory() : it->second;
}

const FormTemplate* FormRegistry::templateFor(int formId) const {
    if (formId < 0 || formId >= form::kCount) return nullptr;
    return templates_[formId].get();
}

void FormRegistry::createTemplate(int formId) {
    if (formId < 0 || formId >= form::kCount || templates_[formId]) return;
    templates_[formId] = std::make_unique<FormTemplate>();
    templates_[formId]->formId = formId;
}

CChildFrame* FormRegistry::showForm(int formId, QMdiArea* area, int& currentForm) {
    if (formId < 0 || formId >= form::kCount || !area) return nullptr;
    currentForm = formId;
    auto& t = templates_[formId];
    if (!t) {
        createTemplate(formId);
        return openDocument(*t, area);
    }
    // A closed window leaves the area at once but is deleted later.
    if (!t->window || !area->subWindowList().contains(t->window)) return openDocument(*t, area);
    area->setActiveSubWindow(t->window);
    return t->window;
}

CChildFrame* FormRegistry::openDocument(FormTemplate& t, QMdiArea* area) {
    auto doc = std::make_unique<CPendraDoc>();
    doc->OnNewDocument();
    ViewFactory factory = formViewFactory(t.formId);
    QWidget* view = factory ? factory(nullptr) : new CPlaceholderView(doc->title());
    if (!view) return nullptr;
    auto* frame = new CChildFrame(std::move(doc), view);  // the tab area's child
    area->addSubWindow(frame);
    frame->showMaximized();
    area->setActiveSubWindow(frame);
    t.window = frame;
    return frame;
}
