#pragma once
// The window's push to the chain's server: a thread of its own with its own connections, woken
// after every operation and every few minutes, so that neither a slow nor a stopped server
// ever holds the window up. What it could not send waits in the local file for the next time.

#include "HistoryServer.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class THistoryPusher : public QObject {
    Q_OBJECT
public:
    THistoryPusher(std::string localPath, THistoryServer server, QString shop,
                   int everySeconds = 300, QObject* parent = nullptr);
    // Waits for a push under way to finish its batch.
    ~THistoryPusher() override;

    // Pushes as soon as the thread is free; many calls meanwhile make one push.
    void PushSoon();

signals:
    // After each push, in the receiver's thread: rows sent, and why not all when not.
    void Pushed(qint64 rows, const QString& problem);

private:
    void Run();

    const std::string localPath_;
    const THistoryServer server_;
    const QString shop_;
    const int everySeconds_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = true; // the first push goes at once
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
