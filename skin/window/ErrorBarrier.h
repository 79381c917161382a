// The barrier at the library's edges: code that the system or a program calls
// (exported functions, window and hook procedures, enumeration callbacks) runs
// its body through it, so that no C++ exception unwinds into frames that were
// not built for it. Running out of memory is the usual one.
#pragma once

namespace Velmora {

// The body's result, or failure when the body threw.
template <class Result, class Body> Result CallGuarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// For bodies without a result: a throw just ends the body.
template <class Body> void CallGuarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

} // namespace Velmora
