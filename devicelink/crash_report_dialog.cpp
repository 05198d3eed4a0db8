// VazCrashReport's feedback dialog: the host's own (vaz_host_feedback_dialog)
// when it offers one, else the terminal's.
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "crash_report.h"
#include "terminal_feedback.h"
#include "vaz_device.h"

namespace vazhost {

namespace {
int SubmitReport(void* context, const char* text) {
    return static_cast<vazmail::CCrashReport*>(context)->Submit(text) ? 1 : 0;
}
}  // namespace

void RunFeedbackDialog(const char* identification, const char* cardCounter) {
    vazmail::MailSettings settings = vazmail::CurrentMailSettings();
    vazmail::CCrashReport report(identification, cardCounter, settings, time(nullptr));
    VazHostFeedbackFn hook = FeedbackHook();
    if (!hook) {
        vazmail::RunTerminalFeedback(report, settings, std::cin, std::cerr);
        return;
    }
    std::vector<std::string> lines = vazmail::FeedbackDialogLines(settings);
    VazFeedbackDialog dialog{};
    dialog.caption = vazmail::kFeedbackCaption;
    for (int i = 0; i < VAZ_FEEDBACK_LINES; ++i) dialog.lines[i] = lines[static_cast<size_t>(i)].c_str();
    dialog.submitText = vazmail::kSubmitButton;
    dialog.cancelText = vazmail::kCancelButton;
    dialog.failedText = vazmail::kSubmitFailed;
    dialog.submit = SubmitReport;
    dialog.context = &report;
    hook(&dialog);
}

}  // namespace vazhost
