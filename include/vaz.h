/*
 * vaz — the device link library of the optical mark reader (libvaz.so).
 *
 * Texts are 8-bit strings in code page 936. Buffers are owned by the caller.
 * Result conventions: -1 not online, 0 failure (the code waits in the error
 * state, see VazGetError), 1 success, 255 accepted / data waiting.
 *
 * Threading: one thread at a time may call the exports; the only exception
 * is VazSetStop, which may be called from another thread to end a running
 * no-card retry.
 *
 * (Each export's contract is documented at its declaration below.)
 */
#ifndef VAZ_H
#define VAZ_H

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char VAZBOOL; /* byte boolean: 0 false, non-zero true */

int VazInit(int mode);
int VazS(const char* command);
int VazG(char* buffer);
int VazSG(const char* command, char* buffer);
int VazGetError(char* buffer);
int VazGetErrorStr(char* buffer);
int VazGetValue(char channel, int* values);
int VazGetOriOrGray(char which, int* values);
int VazGetCurve(char ignored, int* values);
int VazSetTest(int first, int second);
int VazSetPaint(VAZBOOL flag);
VAZBOOL VazCrashReport(void);
VAZBOOL VazBackUp(void);
VAZBOOL VazReset(void);
VAZBOOL VazPotentiometerUP(int up);
VAZBOOL VazGetDevInfo(int kind, char* buffer);
VAZBOOL VazSetStop(void);
int VazGetReadMode(void);
int VazSetReadMode(int mode);
VAZBOOL VazSetPrintMode(VAZBOOL on);

#ifdef __cplusplus
}
#endif

#endif /* VAZ_H */
