#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>

// Runs work on a thread of its own and waits at most `limit` for its result:
// nullopt when it did not finish, so that a test fails instead of hanging.
// A thread that never ends is left behind; the test process exits all the same.
template <typename T>
std::optional<T> runWithDeadline(std::function<T()> work,
                                 std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    auto promise = std::make_shared<std::promise<T>>();
    std::future<T> result = promise->get_future();
    std::thread([promise, work = std::move(work)] { promise->set_value(work()); }).detach();
    if (result.wait_for(limit) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}
