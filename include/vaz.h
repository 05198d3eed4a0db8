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
 * Loading and order. The library creates its one device context when it is
 * loaded and destroys it when it is unloaded (leaving print mode first when
 * it is on). A host calls VazInit with mode 0, 1 or 2 before any gated
 * export; a gated export returns -1 at once, transferring nothing, while the
 * library is offline. Reply data of a command is fetched with VazG (or the
 * copy-out exports) after the VazS that produced it and before the next
 * command of the same kind.
 *
 * Links. USB: the reader is the HID device with vendor 0x6816 and product
 * 0x2001 among the hidraw nodes, then among the virtual devices listed in the
 * environment variable VAZ_HID_DEVICES
 *     PATH[,vid=6816][,pid=2001][,release=0100][,product=TEXT]   (";" between entries)
 * where PATH is an AF_UNIX SOCK_SEQPACKET socket carrying one 65-byte report
 * per datagram. Serial: COM1..COM5 are the paths of VAZ_SERIAL_PORTS
 * (separated by ":", first = COM1; set but empty = no ports), otherwise the
 * system's /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS* in that order; 115200 baud,
 * even parity, 8 data bits, 1 stop bit. Both variables are read at every
 * discovery (every VazInit and every USB recovery).
 *
 * Message boxes. When the host process defines vaz_host_message_box (see
 * vaz_host_hooks.h), every box of the library goes there; otherwise
 * "CAPTION: TEXT" is written to standard error and the first button (OK or
 * Yes) is taken. Setting VAZ_TRACE=1 writes the line "%d:\t%s\r\n" (transfer
 * result, bytes with non-printable ones escaped) for every transfer to
 * standard error.
 *
 * Buffer sizes below are the least the caller must pass.
 */
#ifndef VAZ_H
#define VAZ_H

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char VAZBOOL; /* byte boolean: 0 false, non-zero true */

/* Results of the int exports. */
#define VAZ_NOT_ONLINE (-1) /* a gated export while the library is offline */
#define VAZ_FAILED 0        /* the code waits in the error state */
#define VAZ_DONE 1          /* the reader answered "EN" */
#define VAZ_ACCEPTED 255    /* accepted; data waits for VazG or was read in */

/* The reader on USB: the HID device with these ids. */
#define VAZ_USB_VENDOR 0x6816
#define VAZ_USB_PRODUCT 0x2001

/* Link kinds in the low byte of VazInit's result. */
#define VAZ_LINK_NONE 0
#define VAZ_LINK_USB 1
#define VAZ_LINK_SERIAL 2
#define VAZ_LINK_OF(init_result) ((init_result)&0xFF)
#define VAZ_DEVICE_TYPE_OF(init_result) (((init_result) >> 8) & 0xFF)

/* What VazGetDevInfo reports. */
#define VAZ_DEV_INFO_IDENTIFICATION 1
#define VAZ_DEV_INFO_COUNTER 2

/* Error codes (two-digit texts) that hosts and the library single out. */
#define VAZ_CODE_NO_ERROR "00"
#define VAZ_CODE_NO_SHEET "16"
#define VAZ_CODE_COMMUNICATION "18" /* garbled or missing status, bad reply */
#define VAZ_CODE_NO_CARD "23"       /* the reader answered "NO" */

/* Buffer sizes hosts pass. */
#define VAZ_ERROR_CODE_SIZE 4   /* VazGetError writes 3 bytes */
#define VAZ_ERROR_TEXT_SIZE 100 /* VazGetErrorStr writes at most 53 bytes */
#define VAZ_DEV_INFO_SIZE 65    /* VazGetDevInfo: identification text and a zero */
#define VAZ_REPLY_SIZE 10000    /* VazG / VazSG: a reader's 4-digit length field, data and a zero */

/* Connects or disconnects. Not gated.
 * mode < 0: goes offline (USB handle closed, serial port left open); returns
 *   the link kind (0 none, 1 USB, 2 serial) and changes nothing else.
 * mode 0 (USB, then COM1..COM5), 1 (USB only), 2 (serial only): while online
 *   first asks "Vaz device has connected,whether or not to connect?" (Yes/No;
 *   No returns the link kind and keeps the connection). Then runs the
 *   handshake ("ONLINE/", "v/", "N/") on each candidate. Returns
 *   device type code * 256 + link kind (1 USB, 2 serial) when connected;
 *   otherwise shows "Not find Vaz device,make sure Vaz device has been
 *   connected!" and returns the last identified type code * 256 (0 if none).
 *   Another mode goes straight to that message. The low byte is the link. */
int VazInit(int mode);

/* Sends a command ("K 1/", "R/", "I 2 73/", "S path/", ...) through the
 * dispatcher. Gated. Results: 1 the reader answered "EN"; 0 any other answer
 * (code in the error state); 255 accepted, data waits for VazG or was read
 * into the library (I 4, I 6, "r ..." commands, a loaded format file);
 * "T ..." commands: the transfer result (USB 0 or 4, serial 1, -1 failure).
 * In print mode every text is sent in pieces of 4 bytes + 0x04, 50 ms
 * apart, and the text's length is returned (0 when a piece failed).
 * An "X" command without any digit is not sent and returns 0. */
int VazS(const char* command);

/* Fetches the reply data of the last command. Gated.
 * 1. An error is pending: copies the two-digit code and a zero (3 bytes),
 *    clears the pending mark, returns 255.
 * 2. After "r %c/": 4 bytes as text (5 bytes), returns 4.
 * 3. After I 3: 1 byte and a zero (2 bytes); returns 1 or 0 by the status.
 * 4. After "r C start count/": the card data text (count + 1 bytes, plus the
 *    "G/" supplement's byte count when the format had an "f" line, plus 1);
 *    returns its length, 0 on failure.
 * 5. After I 1: 2 bytes, no terminator; returns 1 or 0 by the status.
 * 6. After "X 2/": the print settings text and a zero (at most 10000
 *    bytes); returns its length, once.
 * Nothing pending: returns 0 and writes nothing. */
int VazG(char* buffer);

/* Sends a command and reads its reply text in one call. Gated; the error
 * state is not reset first. "N/": the 4 counter bytes and a zero (5 bytes).
 * "v/": the identification text with its "/" and a zero — on USB the first
 * 15 bytes of it (16 bytes), on a serial port at most 64 characters (65
 * bytes; the rest up to "/" is read and dropped). Other commands read
 * nothing into the buffer, which must then hold a zero-terminated text.
 * Returns the length of the text in the buffer when the final status was
 * "EN", else 0. */
int VazSG(const char* command, char* buffer);

/* Copies the two-digit error code and a zero (3 bytes) and clears the
 * pending mark. Not gated; always 255. "00" means no error. */
int VazGetError(char* buffer);

/* Copies the English text of the error code (at most 53 bytes; pass 100).
 * Codes 00..23 clear the pending mark; other codes give the GBK text
 * "未定义的错误" and leave the mark set. Not gated; always 255. */
int VazGetErrorStr(char* buffer);

/* Values of data block A (after I 4) as ints: channel 'A' the first half
 * when the block has 96 bytes or more (else all of it), 'B' the second
 * half. values must hold as many ints as the block has bytes. Returns the
 * block's whole byte count (0 without a block). Gated. */
int VazGetValue(char channel, int* values);

/* Raw ('A', data block A) or gray ('B', data block B) data of the last area
 * read (I 2, I 7) as ints; returns the count. 0 while an error is pending or
 * without the block. values: as many ints as the block has bytes. Gated. */
int VazGetOriOrGray(char which, int* values);

/* Curve samples of the last I 6 (data block A without its last 4 bytes);
 * returns the block's count - 4, 0 without a block. Gated. */
int VazGetCurve(char ignored, int* values);

/* Enters test mode with "I 0 %03d %02d/"; 1 when the reader confirmed, 0
 * otherwise (after the box "Test cmd sent error."). Gated. */
int VazSetTest(int first, int second);

/* "X 0 0 0 0 3/" when flag is non-zero, else "X 0 0 0 0 0/"; 1 or 0. Gated. */
int VazSetPaint(VAZBOOL flag);

/* The feedback mailer is not part of this build: always false, no dialog. */
VAZBOOL VazCrashReport(void);

/* "H/", "Y/": true when the reader accepted. Not gated (without any link a
 * box "error 1024:An unknown error." is shown and the result is false). */
VAZBOOL VazBackUp(void);
VAZBOOL VazReset(void);

/* "K 1/" when up is non-zero, else "K 0/"; true when accepted. Not gated. */
VAZBOOL VazPotentiometerUP(int up);

/* kind 1: the identification text without its final "/" (65 bytes; also
 * kept by the library); false when the reader did not answer "EN".
 * kind 2: the card counter as decimal text (12 bytes), 0 when the reader
 * did not answer; true. Other kinds: false, nothing written. Not gated. */
VAZBOOL VazGetDevInfo(int kind, char* buffer);

/* Sets the stop flag (atomic) and resets the error state; a no-card retry
 * running on another thread ends after its current exchange. May be called
 * from any thread. Always true. */
VAZBOOL VazSetStop(void);

/* The read mode: 0 no retry on "NO" (and a second status after "R/");
 * 1 every command retried for up to 10 s, "R" commands until VazSetStop;
 * 2 only "R" commands retried, until VazSetStop. Not gated. */
int VazGetReadMode(void);

/* Sends "L 1/" for mode 2, "L 0/" otherwise; returns the previous mode, or
 * -1 (mode kept) when the reader refused. Any value is accepted; values
 * other than 0 and 2 behave like 1. Not gated. */
int VazSetReadMode(int mode);

/* on: "t/", then the bytes 1B 63 00 04; off: the pieces 0A 04 and 18.
 * False when the mode is already as asked (nothing sent) or the reader
 * refused. Not gated. */
VAZBOOL VazSetPrintMode(VAZBOOL on);

#ifdef __cplusplus
}
#endif

#endif /* VAZ_H */
