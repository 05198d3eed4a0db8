/**
 * @file skelvin.h
 * @brief skelvin — the cloud exam client (libskelvin.so).
 *
 * Eight C exports over the exam web service. Texts are NUL-terminated byte
 * strings in the process code page (the character set of the user's locale,
 * LC_ALL / LC_CTYPE / LANG); lengths are counted in bytes. Buffers are owned
 * by the caller.
 *
 * @par Data calls
 * logInWeb, checkStudent, xiaoTi, xiaoTiScore and tongJi perform one service
 * operation each. On success they return the size in bytes of the service's
 * result text including its terminating NUL (never less than 1); the host
 * allocates that many bytes and calls getRet. On failure they return 0 and
 * the last result stays as it was; the failure's description goes to
 * standard error. A null text argument is refused with 0 before anything is
 * sent.
 *
 * @par Limits and threads
 * Every exchange is bounded: connect 10 s, send 30 s, receive 30 s, at most
 * 1 MiB received. There is no lock: the host serialises its calls.
 */
#ifndef SKELVIN_H
#define SKELVIN_H

#ifdef __cplusplus
extern "C" {
#endif

/** Byte boolean: 0 false, non-zero true. */
typedef unsigned char SKELVINBOOL;

/**
 * @brief Asks the service's "getmsg" operation whether it answers.
 * @return true when it does; never touches the result that getRet yields.
 */
SKELVINBOOL getMsg(void);

/**
 * @brief Logs an account in ("loginweb").
 * @param accountname the account's name.
 * @param pwd         its password.
 * @return the result's size including its NUL (fetch it with getRet), or 0.
 */
int logInWeb(const char* accountname, const char* pwd);

/**
 * @brief Checks a student of an exam, creating it when the service lacks it
 * ("checkstudentcreate2").
 * @param account, pwd          the account.
 * @param schoolname, examname  the school and the exam.
 * @param subjectname           the subject.
 * @param studentnum            the student's number.
 * @param datetime              the exam's date and time.
 * @return the result's size including its NUL (fetch it with getRet), or 0.
 */
int checkStudent(const char* account, const char* pwd, const char* schoolname, const char* examname,
                 const char* subjectname, const char* studentnum, const char* datetime);

/**
 * @brief Uploads the per-question answers of a subject ("xiaoti2").
 * @param account, pwd                      the account.
 * @param schoolname, examname, gradename   the school, the exam, the grade.
 * @param subjectname                       the subject.
 * @param datetime                          the exam's date and time.
 * @param kproblem                          the objective questions' text.
 * @param zproblem                          the subjective questions' text.
 * @return the result's size including its NUL (fetch it with getRet), or 0.
 */
int xiaoTi(const char* account, const char* pwd, const char* schoolname, const char* examname,
           const char* gradename, const char* subjectname, const char* datetime, const char* kproblem,
           const char* zproblem);

/**
 * @brief Uploads a student's per-question scores ("xiaotiscore2").
 * @param account, pwd                      the account.
 * @param schoolname, examname, gradename   the school, the exam, the grade.
 * @param subjectname                       the subject.
 * @param datetime                          the exam's date and time.
 * @param studentxiaotiscore                the scores' text.
 * @return the result's size including its NUL (fetch it with getRet), or 0.
 */
int xiaoTiScore(const char* account, const char* pwd, const char* schoolname, const char* examname,
                const char* gradename, const char* subjectname, const char* datetime,
                const char* studentxiaotiscore);

/**
 * @brief Requests statistics ("tongji2"); the six texts are the operation's
 * arg0..arg5.
 * @return the result's size including its NUL (fetch it with getRet), or 0.
 */
int tongJi(const char* arg0, const char* arg1, const char* arg2, const char* arg3, const char* arg4,
           const char* arg5);

/**
 * @brief Copies the result text of the last successful data call and its NUL.
 * @param buffer must hold the size that call returned.
 * @return true; false (nothing written) while no data call has succeeded, or
 *         when buffer is null.
 */
SKELVINBOOL getRet(char* buffer);

/**
 * @brief Reads or sets the endpoint URL of all later exchanges.
 * @param text null: only tells the current endpoint's length. Otherwise, with
 *             set false, receives the current endpoint and its NUL (length
 *             + 1 bytes); with set true, a copy of it becomes the endpoint.
 * @param set  whether text is the new endpoint.
 * @return the endpoint's length in bytes.
 */
int Set_EndPoint(char* text, SKELVINBOOL set);

#ifdef __cplusplus
}
#endif

#endif /* SKELVIN_H */
