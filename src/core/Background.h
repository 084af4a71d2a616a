#pragma once
#include <functional>
#include <future>
#include <type_traits>

// Runs blocking work on a worker thread and waits for its value or its exception.
template <class F>
auto background(F&& work) -> std::invoke_result_t<F>
{
    return std::async(std::launch::async, std::forward<F>(work)).get();
}

// Runs f on the main (GUI) thread and waits; runs it directly when already there.
void onMain(const std::function<void()>& f);
