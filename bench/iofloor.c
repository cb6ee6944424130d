/* The I/O floor: what a plain C program needs to read the inputs and write the same
 * number of files with the same total bytes as a documentation run produced.
 *
 * Usage: iofloor OUTPUT_DIRECTORY FILES TOTAL_BYTES INPUT...
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char *slurp(const char *name, size_t *size) {
    FILE *f = fopen(name, "rb");
    if (!f) {
        perror(name);
        exit(1);
    }
    size_t capacity = 1 << 20, used = 0;
    char *data = malloc(capacity);
    size_t n;
    while (data && (n = fread(data + used, 1, capacity - used, f)) > 0) {
        used += n;
        if (used == capacity)
            data = realloc(data, capacity *= 2);
    }
    fclose(f);
    if (!data) {
        fputs("out of memory\n", stderr);
        exit(1);
    }
    *size = used;
    return data;
}

int main(int argc, char **argv) {
    if (argc < 5) {
        fputs("usage: iofloor OUTPUT_DIRECTORY FILES TOTAL_BYTES INPUT...\n", stderr);
        return 2;
    }
    const char *directory = argv[1];
    long files = atol(argv[2]);
    long long total = atoll(argv[3]);
    long long written = 0;
    long file = 0;
    char path[4096];
    for (int i = 4; i < argc; ++i) {
        size_t size;
        char *data = slurp(argv[i], &size);
        /* This input's share of the files and bytes, written from its own text. */
        int inputs = argc - 4;
        long myFiles = files / inputs + (i - 4 < files % inputs ? 1 : 0);
        long long myBytes = total / inputs + (i == argc - 1 ? total % inputs : 0);
        for (long k = 0; k < myFiles; ++k, ++file) {
            long long bytes = myBytes / myFiles + (k == myFiles - 1 ? myBytes % myFiles : 0);
            snprintf(path, sizeof path, "%s/f%ld.htm", directory, file);
            FILE *out = fopen(path, "wb");
            if (!out) {
                perror(path);
                return 1;
            }
            long long left = bytes;
            size_t offset = (size_t)(k * 4099) % (size ? size : 1);
            while (left > 0 && size > 0) {
                size_t chunk = size - offset;
                if ((long long)chunk > left)
                    chunk = (size_t)left;
                fwrite(data + offset, 1, chunk, out);
                left -= (long long)chunk;
                offset = 0;
            }
            fclose(out);
            written += bytes;
        }
        free(data);
    }
    printf("%ld files, %lld bytes\n", file, written);
    return 0;
}
