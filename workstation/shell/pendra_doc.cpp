#include "pendra_doc.h"

#include "commands.h"
#include "pendra_app.h"
#include "string_table.h"

QString CPendraDoc::formTitle(int formId) {
    switch (formId) {
        case form::kStart:
        case form::kEvaluation:
            return strings::text(135);
        case form::kValue:
            return strings::text(136);
        case form::kGray:
            return strings::text(137);
        case form::kLine:
            return strings::text(138);
        case form::kConsist:
            return strings::text(139);
        case form::kWave:
            return strings::text(140);
        case form::kReadCard:
            return strings::text(141);
        case form::kTestManager:
            return strings::text(4339);
        case form::kAddTest:
            return strings::text(4340);
        default:
            return {};
    }
}

bool CPendraDoc::OnNewDocument() {
    CPendraApp* app = theApp();
    title_ = formTitle(app ? app->currentForm : form::kStart);
    return true;
}
