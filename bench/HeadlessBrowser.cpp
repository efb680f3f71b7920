#include "HeadlessBrowser.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// A page of a few hundred thousand rows loads in seconds; nothing should take a minute.
constexpr int kAnswerLimitMs = 60000;
// The protocol's own descriptors in the browser: it reads commands on 3 and answers on 4.
constexpr int kCommandDescriptor = 3;
constexpr int kAnswerDescriptor = 4;

// A descriptor moved above the protocol's, closed on exec, so that spawning can place the pipe
// ends on 3 and 4 whatever numbers they had.
int MovedAbove(int descriptor) {
    const int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 10);
    ::close(descriptor);
    return moved;
}

// Writes all of bytes; false when the browser has gone. A browser gone must not end the caller
// by SIGPIPE: the signal is held back during the write and taken away if it came.
bool WriteAll(int descriptor, const QByteArray& bytes) {
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    bool written = true;
    for (qsizetype sent = 0; sent < bytes.size() && written;) {
        const ssize_t count =
            ::write(descriptor, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (count < 0 && errno == EINTR)
            continue;
        written = count > 0;
        sent += written ? count : 0;
    }
    if (!written && errno == EPIPE) {
        const timespec now{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return written;
}

} // namespace

CHeadlessBrowser::~CHeadlessBrowser() {
    Stop();
}

bool CHeadlessBrowser::Start(int width, int height) {
    if (!m_profile.isValid()) {
        m_error = QStringLiteral("no folder for the browser's profile");
        return false;
    }
    int commands[2];
    int answers[2];
    if (::pipe(commands) != 0 || ::pipe(answers) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    for (int* end : {&commands[0], &commands[1], &answers[0], &answers[1]})
        *end = MovedAbove(*end);

    const QByteArray profile = "--user-data-dir=" + QFile::encodeName(m_profile.path());
    const QByteArray size =
        "--window-size=" + QByteArray::number(width) + ',' + QByteArray::number(height);
    const char* arguments[] = {"chromium",
                               "--headless",
                               "--no-sandbox",
                               "--disable-gpu",
                               "--no-first-run",
                               "--no-default-browser-check",
                               "--disable-extensions",
                               "--disable-background-networking",
                               "--hide-scrollbars",
                               "--mute-audio",
                               "--remote-debugging-pipe",
                               profile.constData(),
                               size.constData(),
                               "about:blank",
                               nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, commands[0], kCommandDescriptor);
    posix_spawn_file_actions_adddup2(&actions, answers[1], kAnswerDescriptor);
    // The browser's chatter about its own set-up says nothing to a test.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that its helper processes end with it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int spawned = ::posix_spawnp(&m_process, "chromium", &actions, &attributes,
                                       const_cast<char* const*>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(commands[0]);
    ::close(answers[1]);
    m_toBrowser = commands[1];
    m_fromBrowser = answers[0];
    if (spawned != 0) {
        m_process = -1;
        m_error = QStringLiteral("chromium cannot be started: %1")
                      .arg(QString::fromLocal8Bit(std::strerror(spawned)));
        return false;
    }
    m_width = width;

    const QJsonObject targets = Call(QStringLiteral("Target.getTargets"), {}, true);
    QString page;
    for (const QJsonValue& target : targets.value(QStringLiteral("targetInfos")).toArray()) {
        if (target[QStringLiteral("type")].toString() == QLatin1String("page"))
            page = target[QStringLiteral("targetId")].toString();
    }
    if (page.isEmpty()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("chromium shows no page");
        return false;
    }
    const QJsonObject attached =
        Call(QStringLiteral("Target.attachToTarget"),
             {{QStringLiteral("targetId"), page}, {QStringLiteral("flatten"), true}}, true);
    m_session = attached.value(QStringLiteral("sessionId")).toString();
    if (m_session.isEmpty())
        return false;
    Call(QStringLiteral("Page.enable"));
    Call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
         {{QStringLiteral("width"), width},
          {QStringLiteral("height"), height},
          {QStringLiteral("deviceScaleFactor"), 1},
          {QStringLiteral("mobile"), false}});
    return m_error.isEmpty();
}

double CHeadlessBrowser::Open(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    m_events.clear();
    const QJsonObject navigated = Call(
        QStringLiteral("Page.navigate"),
        {{QStringLiteral("url"),
          QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)}});
    if (!m_error.isEmpty())
        return -1;
    if (navigated.contains(QStringLiteral("errorText"))) {
        m_error = navigated.value(QStringLiteral("errorText")).toString();
        return -1;
    }
    if (!WaitForEvent(QStringLiteral("Page.loadEventFired")))
        return -1;
    // The page counts as open once a frame has been laid out and drawn after the load. Without
    // scripts no frame callback runs: the layout alone is waited for.
    const QJsonValue laidOut = Evaluate(
        m_scriptsEnabled
            ? QStringLiteral(
                  "new Promise(r => requestAnimationFrame(() => r(document.body.offsetHeight)))")
            : QStringLiteral("document.body.offsetHeight"));
    return laidOut.isUndefined() ? -1 : timer.nsecsElapsed() / 1e9;
}

QJsonValue CHeadlessBrowser::Evaluate(const QString& expression) {
    const QJsonObject answer =
        Call(QStringLiteral("Runtime.evaluate"), {{QStringLiteral("expression"), expression},
                                                  {QStringLiteral("returnByValue"), true},
                                                  {QStringLiteral("awaitPromise"), true}});
    if (answer.contains(QStringLiteral("exceptionDetails"))) {
        m_error = QString::fromUtf8(
            QJsonDocument(answer.value(QStringLiteral("exceptionDetails")).toObject()).toJson());
        return QJsonValue(QJsonValue::Undefined);
    }
    const QJsonObject result = answer.value(QStringLiteral("result")).toObject();
    if (!result.contains(QStringLiteral("value")))
        return result.isEmpty() ? QJsonValue(QJsonValue::Undefined) : QJsonValue();
    return result.value(QStringLiteral("value"));
}

bool CHeadlessBrowser::SetScriptsEnabled(bool enabled) {
    Call(QStringLiteral("Emulation.setScriptExecutionDisabled"),
         {{QStringLiteral("value"), !enabled}});
    m_scriptsEnabled = enabled;
    return m_error.isEmpty();
}

bool CHeadlessBrowser::Screenshot(const QString& path, int maxHeight) {
    const int height =
        std::min(maxHeight,
                 Evaluate(QStringLiteral("Math.ceil(document.body.getBoundingClientRect().height)"))
                     .toInt());
    const QJsonObject shot =
        Call(QStringLiteral("Page.captureScreenshot"),
             {{QStringLiteral("format"), QStringLiteral("png")},
              {QStringLiteral("captureBeyondViewport"), true},
              {QStringLiteral("clip"), QJsonObject{{QStringLiteral("x"), 0},
                                                   {QStringLiteral("y"), 0},
                                                   {QStringLiteral("width"), m_width},
                                                   {QStringLiteral("height"), std::max(height, 1)},
                                                   {QStringLiteral("scale"), 1}}}});
    const QByteArray png =
        QByteArray::fromBase64(shot.value(QStringLiteral("data")).toString().toLatin1());
    QFile file(path);
    return !png.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(png) == png.size();
}

QJsonObject CHeadlessBrowser::Call(const QString& method, const QJsonObject& params,
                                   bool toBrowser) {
    m_error.clear();
    if (m_process < 0) {
        m_error = QStringLiteral("the browser is not running");
        return {};
    }
    const int id = ++m_nextId;
    QJsonObject command{{QStringLiteral("id"), id},
                        {QStringLiteral("method"), method},
                        {QStringLiteral("params"), params}};
    if (!toBrowser)
        command.insert(QStringLiteral("sessionId"), m_session);
    if (!WriteAll(m_toBrowser, QJsonDocument(command).toJson(QJsonDocument::Compact) + '\0')) {
        m_error = QStringLiteral("the browser stopped listening");
        return {};
    }
    QJsonObject message;
    while (Receive(message)) {
        if (message.value(QStringLiteral("id")).toInt() == id) {
            if (message.contains(QStringLiteral("error"))) {
                m_error = QString::fromUtf8(
                    QJsonDocument(message.value(QStringLiteral("error")).toObject()).toJson());
                return {};
            }
            return message.value(QStringLiteral("result")).toObject();
        }
        if (message.contains(QStringLiteral("method")))
            m_events.append(message.value(QStringLiteral("method")).toString());
    }
    return {};
}

bool CHeadlessBrowser::WaitForEvent(const QString& method) {
    if (m_events.contains(method))
        return true;
    QJsonObject message;
    while (Receive(message)) {
        if (message.value(QStringLiteral("method")).toString() == method)
            return true;
    }
    return false;
}

bool CHeadlessBrowser::Receive(QJsonObject& message) {
    QElapsedTimer timer;
    timer.start();
    qsizetype end = m_pending.indexOf('\0');
    while (end < 0) {
        const qint64 left = kAnswerLimitMs - timer.elapsed();
        pollfd answer{m_fromBrowser, POLLIN, 0};
        const int ready = left > 0 ? ::poll(&answer, 1, int(left)) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            m_error =
                QStringLiteral("the browser did not answer within %1 s").arg(kAnswerLimitMs / 1000);
            return false;
        }
        char buffer[1 << 16];
        const ssize_t got = ::read(m_fromBrowser, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            m_error = QStringLiteral("the browser ended");
            return false;
        }
        m_pending.append(buffer, got);
        end = m_pending.indexOf('\0');
    }
    message = QJsonDocument::fromJson(m_pending.left(end)).object();
    m_pending.remove(0, end + 1);
    return true;
}

void CHeadlessBrowser::Stop() {
    if (m_process > 0) {
        if (m_toBrowser >= 0)
            WriteAll(m_toBrowser, QByteArrayLiteral(R"({"id":0,"method":"Browser.close"})") + '\0');
        // Waited for without reaping it: until it is reaped its number, and so its group's,
        // cannot be given to another process.
        bool ended = false;
        for (int wait = 0; wait < 100 && !ended; ++wait) {
            siginfo_t info{};
            ended = ::waitid(P_PID, id_t(m_process), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                    info.si_pid == m_process;
            if (!ended)
                ::usleep(50000);
        }
        // What did not close by itself goes with its group, which this object made.
        ::kill(-m_process, SIGKILL);
        int status = 0;
        ::waitpid(m_process, &status, 0);
        m_process = -1;
    }
    for (int* end : {&m_toBrowser, &m_fromBrowser}) {
        if (*end >= 0)
            ::close(*end);
        *end = -1;
    }
}
