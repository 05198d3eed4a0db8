// vaz-demo: connects to the reader through libvaz.so (found through the
// RUNPATH $ORIGIN/../lib or the library path) and prints what it says.
//   vaz-demo [MODE]   MODE 0 (default: USB, then COM1..COM5), 1 USB, 2 serial
// Exit status 0 when connected, 1 when not, 2 when the library cannot be used.
#include <cstdio>
#include <cstdlib>

#include "vaz_loader.h"

int main(int argc, char** argv) {
    int mode = argc > 1 ? atoi(argv[1]) : 0;
    std::string error;
    void* lib = vazload::OpenLibrary(vazload::kLibraryFile, error);
    if (!lib) {
        fprintf(stderr, "vaz-demo: %s\n", error.c_str());
        return 2;
    }
    vazload::VazApi vaz;
    if (const char* missing = vazload::Bind(lib, vaz)) {
        fprintf(stderr, "vaz-demo: libvaz.so lacks the export %s\n", missing);
        return 2;
    }
    int result = vaz.VazInit(mode);
    printf("VazInit(%d) = 0x%04X\n", mode, static_cast<unsigned>(result));
    int link = VAZ_LINK_OF(result);
    if (link != VAZ_LINK_USB && link != VAZ_LINK_SERIAL) {
        char code[VAZ_ERROR_CODE_SIZE] = {}, text[VAZ_ERROR_TEXT_SIZE] = {};
        vaz.VazGetError(code);
        vaz.VazGetErrorStr(text);
        printf("not connected (last error %s: %s)\n", code, text);
        return 1;
    }
    printf("link:           %s\n", link == VAZ_LINK_USB ? "USB" : "serial port");
    printf("device type:    0x%02X\n", VAZ_DEVICE_TYPE_OF(result));
    char buffer[VAZ_REPLY_SIZE] = {};
    if (vaz.VazGetDevInfo(1, buffer)) printf("identification: %s\n", buffer);
    if (vaz.VazGetDevInfo(2, buffer)) printf("card counter:   %s\n", buffer);
    vaz.VazInit(-1);
    return 0;
}
