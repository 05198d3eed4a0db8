/* A stand-in for the device library that lacks five of the exports the
 * workstation binds (VazFindDev, VazClose, VazSetDevType, VazUpdateFlash,
 * VazSetTest) and answers from the environment, so the workstation's side of
 * the boundary can be driven with results the real library cannot produce. */
#include <stdlib.h>
#include <string.h>

static int calls;
static char last_command[256];

static const char* env_or(const char* name, const char* fallback) {
    const char* v = getenv(name);
    return v ? v : fallback;
}

int fake_vaz_calls(void) { return calls; }
const char* fake_vaz_last_command(void) { return last_command; }

int VazInit(int mode) {
    (void)mode;
    ++calls;
    return (int)strtol(env_or("FAKE_VAZ_INIT", "1"), NULL, 0);
}

int VazS(const char* command) {
    ++calls;
    strncpy(last_command, command, sizeof last_command - 1);
    return (int)strtol(env_or("FAKE_VAZ_S", "1"), NULL, 0);
}

int VazG(char* buffer) {
    ++calls;
    buffer[0] = 0;
    return 0;
}

int VazGetError(char* buffer) {
    ++calls;
    strncpy(buffer, env_or("FAKE_VAZ_ERROR", "00"), 2);
    buffer[2] = 0;
    return 255;
}

int VazGetErrorStr(char* buffer) {
    ++calls;
    strcpy(buffer, env_or("FAKE_VAZ_ERROR_TEXT", "No error"));
    return 255;
}

/* "N/": a two-byte counter 0x10 0x27. "v/": a short identification, or with
 * FAKE_VAZ_LONG_REPLY the longest reply a 4-digit length field allows. */
int VazSG(const char* command, char* buffer) {
    ++calls;
    strncpy(last_command, command, sizeof last_command - 1);
    if (strcmp(command, "N/") == 0) {
        buffer[0] = 0x10;
        buffer[1] = 0x27;
        buffer[2] = 0;
        return 2;
    }
    if (strcmp(command, "v/") == 0) {
        if (getenv("FAKE_VAZ_LONG_REPLY")) {
            memset(buffer, 'X', 9998);
            buffer[9998] = '/';
            buffer[9999] = 0;
            return 9999;
        }
        strcpy(buffer, "R6KTM1234/");
        return 10;
    }
    return 0;
}

int VazGetValue(char channel, int* values) {
    (void)channel;
    (void)values;
    ++calls;
    return 0;
}

int VazGetOriOrGray(char which, int* values) {
    (void)which;
    (void)values;
    ++calls;
    return 0;
}

int VazGetCurve(char ignored, int* values) {
    (void)ignored;
    (void)values;
    ++calls;
    return 0;
}
