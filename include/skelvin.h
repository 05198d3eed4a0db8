/*
 * skelvin — the cloud exam client (libskelvin.so).
 *
 * Eight C exports over the exam web service. Texts are NUL-terminated byte
 * strings in the process code page (the character set of the user's locale,
 * LC_ALL / LC_CTYPE / LANG); lengths are counted in bytes. Buffers are owned
 * by the caller.
 *
 * Data calls (logInWeb, checkStudent, xiaoTi, xiaoTiScore, tongJi) perform one
 * service operation each. On success they return the size in bytes of the
 * service's result text including its terminating NUL (never less than 1);
 * the host allocates that many bytes and calls getRet. On failure they return
 * 0 and the last result stays as it was; the failure's description goes to
 * standard error. A null text argument is refused with 0 before anything is
 * sent.
 *
 * Every exchange is bounded: connect 10 s, send 30 s, receive 30 s, at most
 * 1 MiB received. There is no lock: the host serialises its calls.
 */
#ifndef SKELVIN_H
#define SKELVIN_H

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char SKELVINBOOL; /* byte boolean: 0 false, non-zero true */

/* True when the service answers its "getmsg" operation; never touches the
 * result that getRet yields. */
SKELVINBOOL getMsg(void);

int logInWeb(const char* accountname, const char* pwd);
int checkStudent(const char* account, const char* pwd, const char* schoolname, const char* examname,
                 const char* subjectname, const char* studentnum, const char* datetime);
int xiaoTi(const char* account, const char* pwd, const char* schoolname, const char* examname,
           const char* gradename, const char* subjectname, const char* datetime, const char* kproblem,
           const char* zproblem);
int xiaoTiScore(const char* account, const char* pwd, const char* schoolname, const char* examname,
                const char* gradename, const char* subjectname, const char* datetime,
                const char* studentxiaotiscore);
int tongJi(const char* arg0, const char* arg1, const char* arg2, const char* arg3, const char* arg4,
           const char* arg5);

/* Copies the result text of the last successful data call and its NUL into
 * buffer (which must hold the size that call returned) and returns true;
 * returns false and writes nothing while no data call has succeeded, or when
 * buffer is null. */
SKELVINBOOL getRet(char* buffer);

/* Endpoint URL of all later exchanges; returns its length in bytes.
 * text null: only tells the current endpoint's length.
 * set false: copies the current endpoint and its NUL into text (length + 1
 *            bytes).
 * set true:  makes a copy of text the endpoint. */
int Set_EndPoint(char* text, SKELVINBOOL set);

#ifdef __cplusplus
}
#endif

#endif /* SKELVIN_H */
