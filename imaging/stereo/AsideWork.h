#pragma once

#include <atomic>
#include <functional>
#include <thread>

// Work done on a thread of its own while the main loop goes on; its owner looks from time to
// time whether it is done, and reads what it left only then.
class AsideWork {
public:
    explicit AsideWork(std::function<void()> work);
    ~AsideWork(); // waits for the work to end
    AsideWork(const AsideWork&) = delete;
    AsideWork& operator=(const AsideWork&) = delete;

    bool done() const { return finished; }

private:
    std::atomic<bool> finished{false};
    std::thread worker;
};
