// Writes the user list this system gives, so a test can look at it from a program that
// sees another Windows version. Usage: profile_list.exe <output file> [plain]
// The first line is the family ("NT" or "9x"), then one entry a line.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/WindowsFamily.h"
#include "settings/win32/UserProfiles.h"

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "plain") != 0)) {
        std::fprintf(stderr, "usage: profile_list <output file> [plain]\n");
        return 2;
    }
    TStrings list;
    BuildUserList(list, argc == 2);
    std::ofstream output(argv[1], std::ios::binary);
    output << (IsNtFamily() ? "NT" : "9x") << '\n';
    for (const std::string& entry : list) output << entry << '\n';
    output.close();
    if (!output) {
        std::fprintf(stderr, "profile_list: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
