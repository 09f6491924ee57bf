// The system calls our callbacks (enumerations, hooks, window and dialog procedures) from
// its own frames, through which no exception may unwind. A callback runs its work here; an
// exception is kept and thrown again by our own code once the system has returned.
#pragma once

#include <exception>
#include <utility>

class TCallbackBoundary {
public:
    template <typename Result, typename Work>
    Result Run(Result onFailure, Work&& work) noexcept
    {
        try {
            return std::forward<Work>(work)();
        } catch (...) {
            if (!Caught) Caught = std::current_exception();
            return onFailure;
        }
    }

    void RethrowCaught()
    {
        if (Caught) std::rethrow_exception(std::exchange(Caught, nullptr));
    }

private:
    std::exception_ptr Caught;
};
