/*
 * The exports of libvaz (declared in vaz.h), listed once. Everything that
 * names them all is built from this list: the library's version script and
 * export test, and the function tables of its hosts (vazctl, the tests, the
 * benchmarks, the demo, kestrin's device function table).
 *
 *     #define ENTRY(name) ...
 *     VAZ_EXPORTS(ENTRY)
 *
 * A new export is declared in vaz.h, defined in devicelink/exports.cpp and
 * added here (the build reads the X(...) entries of this file).
 */
#ifndef VAZ_EXPORTS_H
#define VAZ_EXPORTS_H

#define VAZ_EXPORTS(X)    \
    X(VazInit)            \
    X(VazS)               \
    X(VazG)               \
    X(VazSG)              \
    X(VazGetError)        \
    X(VazGetErrorStr)     \
    X(VazGetValue)        \
    X(VazGetOriOrGray)    \
    X(VazGetCurve)        \
    X(VazSetTest)         \
    X(VazSetPaint)        \
    X(VazCrashReport)     \
    X(VazBackUp)          \
    X(VazReset)           \
    X(VazPotentiometerUP) \
    X(VazGetDevInfo)      \
    X(VazSetStop)         \
    X(VazGetReadMode)     \
    X(VazSetReadMode)     \
    X(VazSetPrintMode)

#endif /* VAZ_EXPORTS_H */
