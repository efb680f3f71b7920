#include "DelayingRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

using Clock = std::chrono::steady_clock;

// One way of a link: a reader that stamps what arrives, and a writer that passes each piece
// on once its delay is over, so that pieces overtake no one and wait no longer than the delay.
struct CDelayingRelay::Direction {
    int from = -1;
    int to = -1;
    std::chrono::milliseconds delay{0};
    std::mutex guard;
    std::condition_variable arrived;
    std::deque<std::pair<Clock::time_point, std::string>> pieces;
    bool ended = false;
    std::thread reader;
    std::thread writer;

    void Read() {
        char buffer[65536];
        for (;;) {
            const ssize_t read = ::recv(from, buffer, sizeof(buffer), 0);
            const std::lock_guard lock(guard);
            if (read <= 0) {
                ended = true;
                arrived.notify_one();
                return;
            }
            pieces.emplace_back(Clock::now() + delay, std::string(buffer, size_t(read)));
            arrived.notify_one();
        }
    }

    void Write() {
        for (;;) {
            std::pair<Clock::time_point, std::string> piece;
            {
                std::unique_lock lock(guard);
                arrived.wait(lock, [this] { return ended || !pieces.empty(); });
                if (pieces.empty()) {
                    ::shutdown(to, SHUT_WR); // the other side's end, passed on
                    return;
                }
                piece = std::move(pieces.front());
                pieces.pop_front();
            }
            std::this_thread::sleep_until(piece.first);
            for (size_t sent = 0; sent < piece.second.size();) {
                const ssize_t written = ::send(to, piece.second.data() + sent,
                                               piece.second.size() - sent, MSG_NOSIGNAL);
                if (written <= 0) {
                    ::shutdown(from, SHUT_RDWR);
                    return;
                }
                sent += size_t(written);
            }
        }
    }

    void Start(int source, int target, int delayMilliseconds) {
        from = source;
        to = target;
        delay = std::chrono::milliseconds(delayMilliseconds);
        reader = std::thread([this] { Read(); });
        writer = std::thread([this] { Write(); });
    }

    void Join() {
        reader.join();
        writer.join();
    }
};

struct CDelayingRelay::Link {
    int client = -1;
    int server = -1;
    Direction up;
    Direction down;

    ~Link() {
        ::shutdown(client, SHUT_RDWR);
        ::shutdown(server, SHUT_RDWR);
        up.Join();
        down.Join();
        ::close(client);
        ::close(server);
    }
};

namespace {

sockaddr_in Loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

void NoDelay(int socket) {
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
}

} // namespace

CDelayingRelay::CDelayingRelay(quint16 targetPort, int delayMilliseconds)
    : m_targetPort(targetPort), m_delayMilliseconds(delayMilliseconds) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof(address);
    if (m_listener < 0 ||
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { Accept(); });
}

CDelayingRelay::~CDelayingRelay() {
    if (m_listener >= 0)
        ::shutdown(m_listener, SHUT_RDWR); // wakes the acceptor
    if (m_acceptor.joinable())
        m_acceptor.join();
    if (m_listener >= 0)
        ::close(m_listener);
    const std::lock_guard lock(m_linksGuard);
    m_links.clear();
}

void CDelayingRelay::Accept() {
    for (;;) {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0)
            return;
        Serve(client);
    }
}

void CDelayingRelay::Serve(int client) {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in target = Loopback(m_targetPort);
    if (server < 0 ||
        ::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) != 0) {
        if (server >= 0)
            ::close(server);
        ::close(client);
        return;
    }
    NoDelay(client);
    NoDelay(server);
    auto link = std::make_unique<Link>();
    link->client = client;
    link->server = server;
    link->up.Start(client, server, m_delayMilliseconds);
    link->down.Start(server, client, m_delayMilliseconds);
    const std::lock_guard lock(m_linksGuard);
    m_links.push_back(std::move(link));
}
