/* A host of the cloud exam client, built with `pkg-config --cflags --libs
 * skelvin`: logs an account in at the endpoint given and prints the result. */
#include <stdio.h>
#include <stdlib.h>
#include <skelvin.h>

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: skelvin_host ENDPOINT ACCOUNT PASSWORD\n");
        return 2;
    }
    Set_EndPoint(argv[1], 1);
    int size = logInWeb(argv[2], argv[3]);
    if (size < 1) return 1;
    char* text = malloc((size_t)size);
    if (!text || !getRet(text)) return 1;
    printf("%s\n", text);
    free(text);
    return 0;
}
