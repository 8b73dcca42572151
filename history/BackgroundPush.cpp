#include "BackgroundPush.h"

#include "HistoryPush.h"
#include "HistoryStore.h"

#include <chrono>

THistoryPusher::THistoryPusher(std::string localPath, THistoryServer server, QString shop,
                               int everySeconds, QObject* parent)
    : QObject(parent), localPath_(std::move(localPath)), server_(std::move(server)),
      shop_(std::move(shop)), everySeconds_(everySeconds), thread_([this] { Run(); }) {}

THistoryPusher::~THistoryPusher() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void THistoryPusher::PushSoon() {
    {
        std::lock_guard lock(mutex_);
        pending_ = true;
    }
    wake_.notify_all();
}

void THistoryPusher::Run() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::seconds(everySeconds_),
                           [this] { return pending_ || stop_; });
            if (stop_)
                return;
            pending_ = false;
        }
        TPushResult result;
        {
            // Connections belong to the thread that made them: these are this thread's.
            THistoryStore local;
            if (local.Open(localPath_)) {
                local.SetShop(shop_);
                TPushOptions options;
                options.stop = &stop_;
                result = PushToServer(local, server_, 0, options);
            } else {
                result.error = local.Problem();
            }
        }
        if (!stop_)
            emit Pushed(result.sent.Rows(), result.error);
    }
}
