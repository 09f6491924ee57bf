// Waits for a top-level window to be shown, for scripts that run a program under Wine;
// optionally closes it. Exit code 0 when it was found (and closed), 1 on timeout, 2 on bad use.
//
// wait_window.exe [--class NAME] [--title TEXT] [--timeout-ms N] [--close]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness/TopWindows.h"
#include "harness/Wait.h"

namespace {

constexpr harness::Timeout DefaultWait{30000};

struct Options {
    harness::WindowQuery Query;
    harness::Timeout Wait = DefaultWait;
    bool Close = false;
};

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        bool hasValue = i + 1 < argc;
        if (option == "--class" && hasValue) {
            options.Query.ClassName = argv[++i];
        } else if (option == "--title" && hasValue) {
            options.Query.Title = argv[++i];
        } else if (option == "--timeout-ms" && hasValue) {
            options.Wait = harness::Timeout(std::atol(argv[++i]));
        } else if (option == "--close") {
            options.Close = true;
        } else {
            return false;
        }
    }
    return !options.Query.ClassName.empty() || !options.Query.Title.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: wait_window.exe [--class NAME] [--title TEXT] [--timeout-ms N] [--close]\n");
        return 2;
    }
    HWND window = nullptr;
    bool shown = harness::PollUntil(
        [&] {
            window = harness::FindTopWindow(options.Query);
            return window && IsWindowVisible(window);
        },
        options.Wait);
    if (!shown) {
        std::fprintf(stderr, "wait_window: no visible %s after %ld ms\n", options.Query.Describe().c_str(),
                     static_cast<long>(options.Wait.count()));
        return 1;
    }
    // Paint what is pending now, so that a screenshot taken next shows the window drawn.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (!options.Close) return 0;
    PostMessageA(window, WM_CLOSE, 0, 0);
    bool closed = harness::PollUntil([&] { return !IsWindow(window); }, options.Wait);
    if (!closed) std::fprintf(stderr, "wait_window: %s did not close\n", options.Query.Describe().c_str());
    return closed ? 0 : 1;
}
