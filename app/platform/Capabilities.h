// Capabilities: the small interfaces through which one window calls another.
//
// A document window implements the interfaces of the methods it offers; a
// caller finds them with dynamic_cast (kx::platform::Require in Forms.h),
// and a window without the method raises kx::Error(MethodNotSupported) into
// the caller's error trap. These headers use no Qt, so the logic that works
// on them is tested without windows.
#pragma once

#include <string>

namespace kx::platform {

// A text window: the full path of the document it shows ("" when untitled).
class HasMePath {
public:
    virtual ~HasMePath() = default;
    virtual std::string MePath() const = 0;
};

// A results window: the path of the solver file it shows.
class HasSolverFilePath {
public:
    virtual ~HasSolverFilePath() = default;
    virtual std::string SolverFilePath() const = 0;
};

// A chart window's plotted values. Subsets and points are counted from 0;
// a missing point holds -99999.
class ChartDataSource {
public:
    virtual ~ChartDataSource() = default;
    virtual int Subsets() const = 0;
    virtual int Points() const = 0;
    virtual double XDataII(int subset, int point) const = 0;
    virtual double YDataII(int subset, int point) const = 0;
};

}  // namespace kx::platform
