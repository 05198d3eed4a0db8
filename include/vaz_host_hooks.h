// Hooks a host process may offer to libvaz. They are not exports of the
// library: the library looks them up in the host's own dynamic symbol table
// (dlsym(RTLD_DEFAULT, ...)), so only a program linked with -rdynamic (CMake
// ENABLE_EXPORTS) that defines them is seen.
//
//  - vaz_host_message_box: the workstation shows the library's message boxes
//    as Qt dialogs through it; the library's tests record and answer them.
//    Without it the library writes "CAPTION: TEXT" to standard error and
//    takes the first button.
//  - vaz_host_feedback_dialog: the workstation shows VazCrashReport's
//    feedback dialog as a Qt dialog through it. Without it the library runs
//    the dialog on the terminal: the texts on standard error, the message
//    read from standard input up to its end (an empty message cancels).
//  - vaz_test_timing: lets the library's tests shorten the 5 s USB recovery
//    pause and the 10 s no-card limit. Production hosts never define it.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

enum VazBoxButtons { VAZ_BOX_OK = 0, VAZ_BOX_YESNO = 1 };
enum VazBoxAnswer { VAZ_ANSWER_OK = 1, VAZ_ANSWER_YES = 6, VAZ_ANSWER_NO = 7 };
enum VazBoxIcon { VAZ_ICON_NONE = 0, VAZ_ICON_INFORMATION = 1, VAZ_ICON_ERROR = 2, VAZ_ICON_QUESTION = 3 };

// caption and text are zero-terminated code page 936 texts. Returns a
// VazBoxAnswer. Called on the thread that called the export.
typedef int (*VazHostMessageBoxFn)(const char* caption, const char* text, int buttons, int icon);

// The feedback dialog: its texts (zero-terminated code page 936) and the
// submit. submit(context, text) appends a line with `text` (code page 936) to
// the report's message and mails the whole message; 1 when the server
// accepted it, 0 when not (the dialog then shows failedText and stays open).
// Each press of the submit button calls it once; it blocks for as long as the
// mail takes (bounded by the mailer's time-outs), so a host with an event loop
// calls it off that loop's thread, one call at a time. Valid until the hook
// returns.
#define VAZ_FEEDBACK_LINES 6
struct VazFeedbackDialog {
    const char* caption;                   // "feedback"
    const char* lines[VAZ_FEEDBACK_LINES];  // the static texts from the top
    const char* submitText;                // "确定"
    const char* cancelText;                // "取消"
    const char* failedText;                // "提交失败"
    int (*submit)(void* context, const char* text);
    void* context;
};
// Runs the dialog modally and returns when it has closed (sent or cancelled).
// Called on the thread that called VazCrashReport.
typedef void (*VazHostFeedbackFn)(const struct VazFeedbackDialog* dialog);

struct VazTestTiming {
    int usbRecoveryPauseMs;  // < 0: the real 5000 ms
    int noCardLimitMs;       // < 0: the real 10000 ms
};
typedef const struct VazTestTiming* (*VazTestTimingFn)(void);

#define VAZ_HOST_MESSAGE_BOX_SYMBOL "vaz_host_message_box"
#define VAZ_TEST_TIMING_SYMBOL "vaz_test_timing"
#define VAZ_HOST_FEEDBACK_SYMBOL "vaz_host_feedback_dialog"

#ifdef __cplusplus
}
#endif
