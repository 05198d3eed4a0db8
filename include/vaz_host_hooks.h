// Hooks a host process may offer to libvaz. They are not exports of the
// library: the library looks them up in the host's own dynamic symbol table
// (dlsym(RTLD_DEFAULT, ...)), so only a program linked with -rdynamic (CMake
// ENABLE_EXPORTS) that defines them is seen.
//
//  - vaz_host_message_box: the workstation shows the library's message boxes
//    as Qt dialogs through it; the library's tests record and answer them.
//    Without it the library writes "CAPTION: TEXT" to standard error and
//    takes the first button.
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

struct VazTestTiming {
    int usbRecoveryPauseMs;  // < 0: the real 5000 ms
    int noCardLimitMs;       // < 0: the real 10000 ms
};
typedef const struct VazTestTiming* (*VazTestTimingFn)(void);

#define VAZ_HOST_MESSAGE_BOX_SYMBOL "vaz_host_message_box"
#define VAZ_TEST_TIMING_SYMBOL "vaz_test_timing"

#ifdef __cplusplus
}
#endif
