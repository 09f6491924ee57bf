// Rewrites a settings file for ever, alternating between two contents, so a
// test can end it at any moment of a write and look at what is left.
// Usage: storage_writer.exe <file>
#include <cstdio>

#include "StorageWriterContent.h"
#include "settings/DStorage.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: storage_writer <file>\n");
        return 2;
    }
    try {
        TDStorage store(argv[1], true);
        for (unsigned i = 0;; ++i) WriteWriterContent(store, i % 2);
    } catch (const EInOutError& error) {
        std::fprintf(stderr, "storage_writer: %s\n", error.what());
        return 1;
    }
}
