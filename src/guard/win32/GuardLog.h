// The guard's own log, beside it: a service has no console and no one to tell.
#pragma once

#include <string>

class TGuardLog {
public:
    explicit TGuardLog(std::string path) : Path(std::move(path)) {}
    void Write(const std::string& text) const;

private:
    std::string Path;
};
