#include "batch/ConsoleProgress.h"

namespace {
// Terminals narrower than this still get one line: the table name is cut to fit.
constexpr int kLineWidth = 79;
constexpr auto kDrawInterval = std::chrono::milliseconds(100);
} // namespace

CConsoleProgress::CConsoleProgress(std::FILE* stream, bool shown)
    : m_stream(stream), m_shown(shown) {}

void CConsoleProgress::Progress(int range) {
    if (range > 0) {
        m_range = range;
        m_position = 0;
    } else if (range == 0 && m_position < m_range) {
        ++m_position;
    }
    Draw(range > 0);
}

void CConsoleProgress::SetItemText(const QString& text) {
    m_item = text;
    Draw(false);
}

void CConsoleProgress::Draw(bool force) {
    if (!m_shown)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_drawn && now - m_lastDraw < kDrawInterval)
        return;
    m_lastDraw = now;
    const int percent = m_range > 0 ? int(qint64(m_position) * 100 / m_range) : 0;
    QString line = QStringLiteral("[%1%] %2/%3 ").arg(percent, 3).arg(m_position).arg(m_range);
    line += m_item.left(std::max(kLineWidth - int(line.size()), 0));
    // Rewritten in place: back to the line's start, the text, the rest of the old line erased.
    std::fprintf(m_stream, "\r%s\033[K", line.toLocal8Bit().constData());
    std::fflush(m_stream);
    m_drawn = true;
}

void CConsoleProgress::Finish() {
    if (!m_drawn)
        return;
    std::fprintf(m_stream, "\r\033[K");
    std::fflush(m_stream);
    m_drawn = false;
}
