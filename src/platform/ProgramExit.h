// The seam that ends the program. The real one closes every window and ends the process;
// a test implementation records the call and returns, so callers must return at once
// after calling it.
#pragma once

namespace tavoro::platform {

class ProgramExit {
public:
    virtual ~ProgramExit() = default;
    virtual void exit(int code) = 0;
    virtual bool exitRequested() const = 0;
};

class ProcessExit final : public ProgramExit {
public:
    void exit(int code) override;
    bool exitRequested() const override { return m_requested; }

private:
    bool m_requested = false;
};

} // namespace tavoro::platform
