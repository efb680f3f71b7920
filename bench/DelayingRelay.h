#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A TCP relay on the loopback that holds every byte for a fixed time in each direction before
// passing it on, so that a local server answers as one across a slow link would: a round trip
// costs twice the delay, however much each direction carries. It listens on a port of its own
// and serves each client with a connection of its own to the target, until it is destroyed.
class CDelayingRelay {
public:
    CDelayingRelay(quint16 targetPort, int delayMilliseconds);
    ~CDelayingRelay();
    CDelayingRelay(const CDelayingRelay&) = delete;
    CDelayingRelay& operator=(const CDelayingRelay&) = delete;

    // The port to connect to; 0 when the relay could not listen.
    quint16 Port() const { return m_port; }

private:
    struct Direction;
    struct Link;

    void Accept();
    void Serve(int client);

    quint16 m_targetPort;
    int m_delayMilliseconds;
    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_acceptor;
    std::mutex m_linksGuard;
    std::vector<std::unique_ptr<Link>> m_links;
};
