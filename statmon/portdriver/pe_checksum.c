/* Build tool: stores the PE image checksum in a linked driver image (the
 * kernel's image loader checks it; the GNU linker leaves it 0). */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    FILE* f;
    long size;
    unsigned char* image;
    unsigned long peOffset, checksumOffset, sum = 0, i;

    if (argc != 2) {
        fprintf(stderr, "usage: %s image\n", argv[0]);
        return 2;
    }
    f = fopen(argv[1], "r+b");
    if (!f || fseek(f, 0, SEEK_END) != 0 || (size = ftell(f)) < 0x40) {
        fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    image = malloc((size_t)size + 1);
    rewind(f);
    if (!image || fread(image, 1, (size_t)size, f) != (size_t)size) return 1;
    image[size] = 0;
    peOffset = image[0x3C] | image[0x3D] << 8 | (unsigned long)image[0x3E] << 16 |
               (unsigned long)image[0x3F] << 24;
    checksumOffset = peOffset + 4 + 20 + 64; /* signature, file header, CheckSum */
    if (checksumOffset + 4 > (unsigned long)size || image[peOffset] != 'P' ||
        image[peOffset + 1] != 'E') {
        fprintf(stderr, "%s: %s is not a PE image\n", argv[0], argv[1]);
        return 1;
    }
    for (i = 0; i < 4; ++i) image[checksumOffset + i] = 0;
    for (i = 0; i < (unsigned long)size; i += 2) {
        sum += image[i] | (unsigned long)image[i + 1] << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    sum += (unsigned long)size;
    for (i = 0; i < 4; ++i) image[checksumOffset + i] = (unsigned char)(sum >> (8 * i));
    if (fseek(f, (long)checksumOffset, SEEK_SET) != 0 ||
        fwrite(image + checksumOffset, 1, 4, f) != 4 || fclose(f) != 0)
        return 1;
    free(image);
    return 0;
}
