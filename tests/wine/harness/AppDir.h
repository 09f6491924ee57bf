// A fresh, empty folder of its own for each test, where a program under test is started
// and keeps its files. Declare it before the processes that use it, so they end first.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "harness/CallSite.h"

namespace harness {

// The folder of the running test program (bin/, beside the programs under test).
std::string ExeDir();

// The run's scratch folder: $HALVEX_WINE_SCRATCH (a Unix path is taken as Z:), else %TEMP%\halvex-wine.
std::string ScratchRoot();

// Name the folder and a file name joined with a backslash.
std::string JoinPath(const std::string& folder, const std::string& name);

class AppDir {
public:
    // Named after the running test, under ScratchRoot(); a failure to make it fails the test.
    explicit AppDir(CallSite at = CallSite::Here());
    // Removed with its content, unless the test failed: then it stays to be looked at.
    ~AppDir();
    AppDir(const AppDir&) = delete;
    AppDir& operator=(const AppDir&) = delete;

    // Empty when the folder could not be made.
    const std::string& Path() const { return Folder; }
    std::string PathOf(const std::string& name) const { return JoinPath(Folder, name); }

    bool WriteFile(const std::string& name, const std::string& content, CallSite at = CallSite::Here()) const;
    // name empty: the source's own file name.
    bool CopyIn(const std::string& sourcePath, const std::string& name = "", CallSite at = CallSite::Here()) const;
    // nullopt when the file cannot be read (for example because it does not exist).
    std::optional<std::string> ReadFile(const std::string& name) const;
    bool Contains(const std::string& name) const;
    // The names of files and folders in it, sorted.
    std::vector<std::string> List() const;

private:
    std::string Folder;
};

}  // namespace harness
