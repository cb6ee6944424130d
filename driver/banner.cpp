#include "driver/banner.h"

#include "docgen/product.h"

#include <cstdio>

void printBanner(const char *toolName) {
    std::fprintf(stderr, "%s: documentation generator for %s %s\n%s\n%s\n", toolName, product::name,
                 product::release, product::copyrightNotice, product::secondCopyrightNotice);
    std::fflush(stderr);
}

void printUsage(const char *toolName) {
    printBanner(toolName);
    std::fputs("\n"
               "usage: quillgen [options] input_source_files...\n"
               "\n"
               "options:\n"
               "  -o directory  -  specify output directory\n"
               "  -v            -  verbose output\n",
               stderr);
    std::fflush(stderr);
}
