/**
 * @file vaz.h
 * @brief vaz — the device link library of the optical mark reader (libvaz.so).
 *
 * Texts are 8-bit strings in code page 936. Every buffer is owned by the
 * caller; the sizes named below (VAZ_*_SIZE) are what a host passes, and
 * each export says how much of it the library writes. No export throws.
 *
 * @par Results
 * The int exports answer VAZ_NOT_ONLINE (-1: a gated export while the library
 * is offline; nothing was transferred), VAZ_FAILED (0: the error code waits
 * in the error state, see VazGetError), VAZ_DONE (1: the reader answered
 * "EN") or VAZ_ACCEPTED (255: accepted, data waits for VazG or was read into
 * the library); the exceptions are stated per export. The VAZBOOL exports
 * answer 0 for false.
 *
 * @par Threads
 * One thread at a time may call the exports: the library has no lock. The
 * only exception is VazSetStop, which another thread may call to end a
 * running no-card retry.
 *
 * @par Loading and order
 * The library creates its one device context when it is loaded and destroys
 * it when it is unloaded (leaving print mode first when it is on). A host
 * calls VazInit with mode 0, 1 or 2 before any gated export. Reply data of a
 * command is fetched with VazG (or the copy-out exports) after the VazS that
 * produced it and before the next command of the same kind.
 *
 * @par Links
 * USB: the reader is the HID device VAZ_USB_VENDOR:VAZ_USB_PRODUCT among the
 * hidraw nodes, then among the virtual devices listed in the environment
 * variable VAZ_HID_DEVICES
 *     PATH[,vid=6816][,pid=2001][,release=0100][,product=TEXT]   (";" between entries)
 * where PATH is an AF_UNIX SOCK_SEQPACKET socket carrying one 65-byte report
 * per datagram. Serial: COM1..COM5 are the paths of VAZ_SERIAL_PORTS
 * (separated by ":", first = COM1; set but empty = no ports), otherwise the
 * system's /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS* in that order; 115200 baud,
 * even parity, 8 data bits, 1 stop bit. Both variables are read at every
 * discovery (every VazInit and every USB recovery). Before a command goes out,
 * bytes that wait unread from an earlier reply are discarded on both links
 * (serial: the input is purged; USB: the waiting reports are read and
 * dropped), so a late or surplus reply is never taken for the command's own.
 * After a reply the library could not read as sent (code
 * VAZ_CODE_COMMUNICATION), the next command on the serial link first waits
 * until the line has been quiet for 100 ms (at most 10 s) and drops what
 * came, the rest of that reply still on its way.
 *
 * @par A silent or unplugged reader
 * Every wait is bounded. Serial: a read waits at most 1000 ms for the next
 * byte once bytes flow, and at most 1000 + 1000 ms a byte, never more than
 * 10 s, in all; a write returns once its bytes have left the host (the
 * output queue is empty), within the same bound. USB: every report read or
 * write waits at most 2 s, and a transfer ends at its first report that does
 * not go or come. Once one element of a reply has not come, the rest of that
 * reply is not waited for (it reads as zeros, the code becomes
 * VAZ_CODE_COMMUNICATION), and no further command of the same export is
 * sent to that reader. The longest any export blocks after the reader fell
 * silent is therefore, serial: 10 s, plus the time its own command bytes
 * need on the line (about 0.1 s per 1,000 bytes) and the 400 ms pause of
 * "J", "M" and "m"; USB: 9 s (a report write of 2 s, a report read of 2 s and
 * the 5 s pause of the recovery that follows a missing status), plus the
 * rediscovery of the device. An unplugged reader ends every transfer at once
 * (serial: the hang-up; USB: the vanished device, then the recovery pause).
 * VazInit tries its candidates in turn, each with its own bound (USB 9 s, a
 * serial port 3 s for the missing "ONLINE/" status); a no-card retry of read
 * modes 1 and 2 is not a silent reader: it ends as VazGetReadMode says.
 *
 * @par Message boxes and trace
 * When the host process defines vaz_host_message_box (see vaz_host_hooks.h),
 * every box of the library goes there; otherwise "CAPTION: TEXT" is written
 * to standard error and the first button (OK or Yes) is taken. Setting
 * VAZ_TRACE=1 writes the line "%d:\t%s\r\n" (transfer result, bytes with
 * non-printable ones escaped) for every transfer to standard error.
 *
 * The exports are listed once more, by name only, in vaz_exports.h.
 */
#ifndef VAZ_H
#define VAZ_H

#ifdef __cplusplus
extern "C" {
#endif

/** Byte boolean: 0 false, non-zero true. */
typedef unsigned char VAZBOOL;

/** @name Results of the int exports */
/** @{ */
#define VAZ_NOT_ONLINE (-1) /**< a gated export while the library is offline */
#define VAZ_FAILED 0        /**< the code waits in the error state */
#define VAZ_DONE 1          /**< the reader answered "EN" */
#define VAZ_ACCEPTED 255    /**< accepted; data waits for VazG or was read in */
/** @} */

/** @name The reader on USB: the HID device with these ids */
/** @{ */
#define VAZ_USB_VENDOR 0x6816
#define VAZ_USB_PRODUCT 0x2001
/** @} */

/** @name Link kinds in the low byte of VazInit's result; the next byte is the device type code */
/** @{ */
#define VAZ_LINK_NONE 0
#define VAZ_LINK_USB 1
#define VAZ_LINK_SERIAL 2
#define VAZ_LINK_OF(init_result) ((init_result)&0xFF)
#define VAZ_DEVICE_TYPE_OF(init_result) (((init_result) >> 8) & 0xFF)
/** @} */

/** @name What VazGetDevInfo reports */
/** @{ */
#define VAZ_DEV_INFO_IDENTIFICATION 1
#define VAZ_DEV_INFO_COUNTER 2
/** @} */

/** @name Error codes (two-digit texts) that hosts and the library single out */
/** @{ */
#define VAZ_CODE_NO_ERROR "00"
#define VAZ_CODE_NO_SHEET "16"
#define VAZ_CODE_COMMUNICATION "18" /**< garbled or missing status, bad reply */
#define VAZ_CODE_NO_CARD "23"       /**< the reader answered "NO" */
/** @} */

/** @name Buffer sizes hosts pass */
/** @{ */
#define VAZ_ERROR_CODE_SIZE 4   /**< VazGetError writes 3 bytes */
#define VAZ_ERROR_TEXT_SIZE 100 /**< VazGetErrorStr writes at most 53 bytes */
#define VAZ_DEV_INFO_SIZE 65    /**< VazGetDevInfo: identification text and a zero */
#define VAZ_REPLY_SIZE 10000    /**< VazG / VazSG: a reader's 4-digit length field, data and a zero */
/** @} */

/** @name Card data limits (VazG after "r C start count/") */
/** @{ */
#define VAZ_CARD_DATA_MAX 4992  /**< card data bytes of one block read, the reader's zero byte included */
#define VAZ_SUPPLEMENT_MAX 5007 /**< "G/" supplement bytes an "f" line may ask for (its fifth number) */
/** @} */

/**
 * @brief Connects to the reader or disconnects. Not gated.
 *
 * While online, a connecting mode first asks "Vaz device has
 * connected,whether or not to connect?" (Yes/No; No returns the link kind and
 * keeps the connection). Each candidate then runs the handshake ("ONLINE/",
 * "v/", "N/"). When no reader answers, the box "Not find Vaz device,make sure
 * Vaz device has been connected!" is shown.
 *
 * @param mode < 0 goes offline (USB handle closed, serial port left open);
 *             0 tries USB, then COM1..COM5; 1 USB only; 2 serial only; any
 *             other value goes straight to the "Not find" box.
 * @return mode < 0: the link kind (VAZ_LINK_*), nothing else changed.
 *         Connected: device type code * 256 + link kind. Not connected: the
 *         last identified type code * 256 (0 if none), link byte
 *         VAZ_LINK_NONE; the library is then offline.
 */
int VazInit(int mode);

/**
 * @brief Sends a command ("K 1/", "R/", "I 2 73/", "S path/", ...) through
 * the dispatcher. Gated.
 *
 * In print mode every text is sent in pieces of 4 bytes + 0x04, 50 ms apart.
 *
 * @param command zero-terminated command text ending in "/".
 * @return VAZ_DONE when the reader answered "EN"; VAZ_FAILED for any other
 *         answer (code in the error state); VAZ_ACCEPTED when data waits for
 *         VazG or was read into the library (I 4, I 6, "r ..." commands, a
 *         loaded format file); "T ..." commands: the transfer result (USB 0
 *         or 4, serial 1, -1 failure, also for a USB device that vanished
 *         or a serial port that hung up during the write); print mode: the text's length (0 when a piece failed).
 *         An "X" command without any digit is not sent and returns
 *         VAZ_FAILED. A format download ("S path/", "s path/") returns
 *         VAZ_FAILED, after the box "Fomat cmd LINEdefined error or load
 *         error", when a line is longer than 1023 characters or an "f" line's
 *         fifth number (the "G/" supplement's byte count) exceeds
 *         VAZ_SUPPLEMENT_MAX; the download is closed with "EN/" all the same.
 */
int VazS(const char* command);

/**
 * @brief Fetches the reply data of the last command. Gated.
 *
 * The first rule that applies decides:
 *  1. An error is pending: copies the two-digit code and a zero (3 bytes),
 *     clears the pending mark, returns VAZ_ACCEPTED.
 *  2. After "r %c/": 4 bytes as text (5 bytes), returns 4.
 *  3. After I 3: 1 byte and a zero (2 bytes); returns 1 or 0 by the status.
 *  4. After "r C start count/": the card data text (count + 1 bytes, at
 *     most VAZ_CARD_DATA_MAX, plus the "G/" supplement's byte count, at most
 *     VAZ_SUPPLEMENT_MAX, when the format had an "f" line, plus 1); returns
 *     its length, 0 on failure. A reader that falls silent during the block
 *     read is not asked for the supplement: 0 and an empty text.
 *  5. After I 1: 2 bytes, no terminator; returns 1 or 0 by the status.
 *  6. After "X 2/": the print settings text and a zero (at most 10000
 *     bytes); returns its length, once.
 *  7. Nothing pending: returns 0 and writes nothing.
 *
 * @param buffer receives the reply; VAZ_REPLY_SIZE bytes hold any of them.
 * @return as listed; 0 for a null buffer.
 */
int VazG(char* buffer);

/**
 * @brief Sends a command and reads its reply text in one call. Gated; the
 * error state is not reset first.
 *
 * @param command "N/": the 4 counter bytes (least significant first) and a
 *                zero (5 bytes) are read; any of them may be zero.
 *                "v/": the identification text with its "/" and a zero — on
 *                USB the first 15 bytes of it (16 bytes), on a serial port at
 *                most 64 characters (65 bytes; the rest up to "/" is read and
 *                dropped). Other commands read nothing into the buffer.
 * @param buffer  receives the reply; for other commands it must already hold
 *                a zero-terminated text.
 * @return "N/": 4 when the final status was "EN"; other commands: the
 *         length of the text in the buffer when the final status was "EN";
 *         else 0 (also for a null argument).
 */
int VazSG(const char* command, char* buffer);

/**
 * @brief Copies the two-digit error code and a zero and clears the pending
 * mark. Not gated. VAZ_CODE_NO_ERROR ("00") means no error.
 *
 * @param buffer at least 3 bytes; hosts pass VAZ_ERROR_CODE_SIZE.
 * @return always VAZ_ACCEPTED.
 */
int VazGetError(char* buffer);

/**
 * @brief Copies the English text of the error code. Not gated.
 *
 * Codes 00..23 clear the pending mark; other codes give the GBK text
 * "未定义的错误" and leave the mark set.
 *
 * @param buffer at most 53 bytes are written; hosts pass VAZ_ERROR_TEXT_SIZE.
 * @return always VAZ_ACCEPTED.
 */
int VazGetErrorStr(char* buffer);

/**
 * @brief Values of data block A (after I 4) as ints. Gated.
 *
 * @param channel 'A': the first half when the block has 96 bytes or more
 *                (else all of it); 'B': the second half.
 * @param values  as many ints as the block has bytes.
 * @return the block's whole byte count (0 without a block).
 */
int VazGetValue(char channel, int* values);

/**
 * @brief Raw or gray data of the last area read (I 2, I 7) as ints. Gated.
 *
 * @param which  'A' raw data (data block A), 'B' gray data (data block B).
 * @param values as many ints as the block has bytes.
 * @return the count; 0 while an error is pending or without the block (an
 *         area read that failed at any step leaves neither block).
 */
int VazGetOriOrGray(char which, int* values);

/**
 * @brief Curve samples of the last I 6 (data block A without its last 4
 * bytes). Gated.
 *
 * @param ignored not used.
 * @param values  as many ints as the samples.
 * @return the block's count - 4; 0 without a block.
 */
int VazGetCurve(char ignored, int* values);

/**
 * @brief Enters test mode with "I 0 %03d %02d/". Gated.
 *
 * @return 1 when the reader confirmed, 0 otherwise (after the box "Test cmd
 *         sent error.").
 */
int VazSetTest(int first, int second);

/**
 * @brief Sends "X 0 0 0 0 3/" when flag is non-zero, else "X 0 0 0 0 0/".
 * Gated.
 *
 * @return 1 or 0 by the reader's status.
 */
int VazSetPaint(VAZBOOL flag);

/**
 * @brief Lets the user mail a feedback report: runs the feedback dialog
 * modally on the calling thread (the host's vaz_host_feedback_dialog, else the
 * terminal) and mails "I have readed N sheet card" (N: the card counter) and
 * the user's lines, From the reader's identification.
 * @return false at once, showing nothing, while not online; true when the
 * dialog has closed, whether or not a mail was sent.
 */
VAZBOOL VazCrashReport(void);

/**
 * @brief Sends "H/". Not gated (without any link the box "error 1024:An
 * unknown error." is shown).
 * @return true when the reader accepted.
 */
VAZBOOL VazBackUp(void);

/**
 * @brief Sends "Y/". Not gated, like VazBackUp.
 * @return true when the reader accepted.
 */
VAZBOOL VazReset(void);

/**
 * @brief Sends "K 1/" when up is non-zero, else "K 0/". Not gated.
 * @return true when the reader accepted.
 */
VAZBOOL VazPotentiometerUP(int up);

/**
 * @brief The reader's identification or card counter. Not gated.
 *
 * @param kind   VAZ_DEV_INFO_IDENTIFICATION: the identification text without
 *               its final "/" (also kept by the library);
 *               VAZ_DEV_INFO_COUNTER: the card counter as decimal text, 0
 *               when the reader did not answer.
 * @param buffer VAZ_DEV_INFO_SIZE bytes (the counter needs 12).
 * @return identification: false when the reader did not answer "EN";
 *         counter: true; other kinds: false, nothing written.
 */
VAZBOOL VazGetDevInfo(int kind, char* buffer);

/**
 * @brief Sets the stop flag (atomic) and resets the error state; a no-card
 * retry running on another thread ends after its current exchange. May be
 * called from any thread.
 * @return always true.
 */
VAZBOOL VazSetStop(void);

/**
 * @brief The read mode. Not gated.
 * @return 0 no retry on "NO" (and a second status after "R/"); 1 every
 *         command retried for up to 10 s, "R" commands until VazSetStop; 2
 *         only "R" commands retried, until VazSetStop.
 */
int VazGetReadMode(void);

/**
 * @brief Sends "L 1/" for mode 2, "L 0/" otherwise. Not gated.
 *
 * @param mode any value; values other than 0 and 2 behave like 1.
 * @return the previous mode, or -1 (mode kept) when the reader refused.
 */
int VazSetReadMode(int mode);

/**
 * @brief Enters or leaves print mode. Not gated.
 *
 * @param on non-zero: "t/", then the bytes 1B 63 00 04; zero: the pieces
 *           0A 04 and 18.
 * @return false when the mode is already as asked (nothing sent) or the
 *         reader refused.
 */
VAZBOOL VazSetPrintMode(VAZBOOL on);

#ifdef __cplusplus
}
#endif

#endif /* VAZ_H */
