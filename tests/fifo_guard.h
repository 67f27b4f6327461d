// Runs a call that is handed a FIFO in a thread of its own and tells whether it returned within a
// second. A call still waiting on the FIFO after that is freed by opening and closing the FIFO's
// other end until it returns, so a failing test ends instead of hanging the suite.
#pragma once

#include <chrono>
#include <future>
#include <string>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace spirelo::test {

template <typename Call>
bool ReturnsWithinASecond(const std::string& fifo, Call&& call) {
    std::future<void> done = std::async(std::launch::async, std::forward<Call>(call));
    if (done.wait_for(std::chrono::seconds(1)) == std::future_status::ready) {
        done.get();
        return true;
    }
    // A writer lets a blocked open return; its close gives a blocked read the end of the file.
    while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        done.wait_for(std::chrono::milliseconds(20));
        if (fd >= 0) ::close(fd);
    }
    done.get();
    return false;
}

}  // namespace spirelo::test
