#pragma once

#include <string>

// A child process for tests on Windows: this test program started again with one disabled
// case of its own (--gtest_filter), which a test then ends with TerminateProcess.
namespace vb::test {

class ChildProcess {
  public:
    // The exit code TerminateProcess gives the child.
    static constexpr unsigned kKilledCode = 9;

    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Ends a child still running and waits for it.
    ~ChildProcess();

    // Starts this test program on the one case named (Suite.DISABLED_Case), with this
    // program's environment. The child is in a job that ends it when this program ends in
    // any way (an assertion that returns, a crash, ctest's timeout), so that no child
    // outlives the test holding ctest's output pipe open. Returns 0 or the system's error.
    unsigned long StartCase(const std::string& disabledCase);

    // The child's process id (0: none started).
    unsigned long Id() const;
    bool Running() const;
    // Waits up to the given time for the child to end by itself; returns its exit code, or
    // STILL_ACTIVE (259) when it is still running.
    unsigned long Wait(unsigned long milliseconds);
    // Ends the child at once and waits until it has ended; returns its exit code.
    unsigned long Kill();

  private:
    unsigned long TryStartCase(const std::string& disabledCase);

    void* job_ = nullptr;
    void* process_ = nullptr;
};

}  // namespace vb::test
