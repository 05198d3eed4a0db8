// vaz-demo: connects to the reader through libvaz.so (found through the
// RUNPATH $ORIGIN/../lib or the library path) and prints what it says.
//   vaz-demo [MODE]   MODE 0 (default: USB, then COM1..COM5), 1 USB, 2 serial
// Exit status 0 when connected, 1 when not, 2 when the library cannot be used.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "vaz.h"

int main(int argc, char** argv) {
    int mode = argc > 1 ? atoi(argv[1]) : 0;
    void* lib = dlopen("libvaz.so", RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "vaz-demo: %s\n", dlerror());
        return 2;
    }
    auto init = reinterpret_cast<decltype(&VazInit)>(dlsym(lib, "VazInit"));
    auto devInfo = reinterpret_cast<decltype(&VazGetDevInfo)>(dlsym(lib, "VazGetDevInfo"));
    auto getError = reinterpret_cast<decltype(&VazGetError)>(dlsym(lib, "VazGetError"));
    auto getErrorStr = reinterpret_cast<decltype(&VazGetErrorStr)>(dlsym(lib, "VazGetErrorStr"));
    if (!init || !devInfo || !getError || !getErrorStr) {
        fprintf(stderr, "vaz-demo: libvaz.so lacks an export\n");
        return 2;
    }
    int result = init(mode);
    printf("VazInit(%d) = 0x%04X\n", mode, static_cast<unsigned>(result));
    int link = result & 0xFF;
    if (link != 1 && link != 2) {
        char code[4] = {}, text[100] = {};
        getError(code);
        getErrorStr(text);
        printf("not connected (last error %s: %s)\n", code, text);
        return 1;
    }
    printf("link:           %s\n", link == 1 ? "USB" : "serial port");
    printf("device type:    0x%02X\n", (result >> 8) & 0xFF);
    char buffer[300] = {};
    if (devInfo(1, buffer)) printf("identification: %s\n", buffer);
    if (devInfo(2, buffer)) printf("card counter:   %s\n", buffer);
    init(-1);
    return 0;
}
