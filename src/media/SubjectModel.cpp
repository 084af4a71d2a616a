#include "media/SubjectModel.h"

#include "core/Errors.h"

#include <QThread>

#include <opencv2/core/utility.hpp>
#include <opencv2/dnn.hpp>

#include <chrono>
#include <cstring>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace SubjectModel {

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto idleLimit = std::chrono::minutes(3);
const char* const missingModel = "Remove Background needs its subject model — run scripts/setup again";

class SharedNet {
public:
    ~SharedNet()
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (reaper_.joinable()) reaper_.join();
    }

    bool failed(const Path& model)
    {
        const std::lock_guard lock(mutex_);
        return failed_.count(model) > 0;
    }

    cv::Mat forward(const Path& model, const cv::Mat& blob)
    {
        std::unique_lock lock(mutex_);
        if (!net_ || loaded_ != model) load(model);
        cv::Mat out;
        try {
            net_->setInput(blob, "input");
            out = net_->forward("output").clone();
        } catch (const cv::Exception&) {
            out.release();
        }
        // A model that loads but cannot map the picture to one mask is no subject model.
        if (out.type() != CV_32F || out.total() != size_t(side) * side) {
            net_.reset();
            failed_.insert(model);
            throw KError(missingModel);
        }
        lastUse_ = Clock::now();
        if (!reaper_.joinable()) reaper_ = std::thread([this] { reap(); });
        lock.unlock();
        wake_.notify_all();
        return out;
    }

private:
    void load(const Path& model)
    {
        net_.reset();
        try {
            cv::setNumThreads(QThread::idealThreadCount());
            cv::dnn::Net net = cv::dnn::readNetFromONNX(model.string());
            if (net.empty()) throw cv::Exception(0, "empty network", __func__, __FILE__, __LINE__);
            net_ = std::move(net);
            loaded_ = model;
        } catch (const cv::Exception&) {
            // A damaged or foreign file: the option goes away instead of failing every time.
            failed_.insert(model);
            throw KError(missingModel);
        }
    }

    // Frees the model once it has not been used for idleLimit.
    void reap()
    {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (!net_) {
                wake_.wait(lock);
            } else if (Clock::now() - lastUse_ >= idleLimit) {
                net_.reset();
            } else {
                wake_.wait_until(lock, lastUse_ + idleLimit);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<cv::dnn::Net> net_;
    Path loaded_;
    std::set<Path> failed_;
    Clock::time_point lastUse_;
    bool stopping_ = false;
    std::thread reaper_;
};

SharedNet& shared()
{
    static SharedNet net;
    return net;
}
}

bool usable(const Path& model)
{
    // An ONNX model is a protocol buffer that opens with its IR version (field 1, a varint).
    std::ifstream file(model, std::ios::binary);
    char first = 0;
    if (!file.get(first) || first != 0x08) return false;
    return !shared().failed(model);
}

cv::Mat foreground(const Path& model, const cv::Mat& rgb)
{
    // The model was trained on RGB scaled to (v − 128) / 256, squeezed to its square input.
    const cv::Mat blob = cv::dnn::blobFromImage(rgb, 1 / 256.0, cv::Size(side, side), cv::Scalar(128, 128, 128), false, false);
    const cv::Mat out = shared().forward(model, blob);
    cv::Mat mask(side, side, CV_32F);
    std::memcpy(mask.data, out.ptr<float>(), mask.total() * sizeof(float));
    return mask;
}

}
