/* A customer's host program, built against the installed kit with
 * `pkg-config --cflags --libs vaz`: connects over USB and prints the
 * reader's identification and card counter on one line. */
#include <stdio.h>
#include <vaz.h>

int main(void) {
    char id[VAZ_DEV_INFO_SIZE] = {0};
    char counter[VAZ_DEV_INFO_SIZE] = {0};
    int r = VazInit(1);
    if (VAZ_LINK_OF(r) != VAZ_LINK_USB) {
        fprintf(stderr, "vaz_host: no reader on USB (VazInit gave %d)\n", r);
        return 1;
    }
    if (!VazGetDevInfo(VAZ_DEV_INFO_IDENTIFICATION, id) || !VazGetDevInfo(VAZ_DEV_INFO_COUNTER, counter)) {
        char code[VAZ_ERROR_CODE_SIZE] = {0};
        VazGetError(code);
        fprintf(stderr, "vaz_host: no identification (code %s)\n", code);
        return 1;
    }
    printf("type 0x%02X id %s counter %s\n", VAZ_DEVICE_TYPE_OF(r), id, counter);
    VazInit(-1);
    return 0;
}
