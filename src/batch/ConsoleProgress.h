#pragma once

#include "runs/ComparisonProgress.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdio>

// The progress dialog of the batch tool: the same steps and table names as the dialog shows, on
// one line of standard error that is rewritten in place, and only when standard error is a
// terminal. The cancel flag is set by the signal handling thread.
class CConsoleProgress final : public IComparisonProgress {
public:
    // shown: draw the line (a terminal, not quiet).
    CConsoleProgress(std::FILE* stream, bool shown);

    void Progress(int range) override;
    int QueryCancel() override { return m_cancelled.load() ? 1 : 0; }
    void SetItemText(const QString& text) override;

    void Cancel() { m_cancelled.store(true); }
    bool IsCancelled() const { return m_cancelled.load(); }
    // Clears the line, so that what follows starts on a clean line.
    void Finish();

private:
    void Draw(bool force);

    std::FILE* m_stream;
    const bool m_shown;
    std::atomic<bool> m_cancelled{false};
    int m_range = 0;
    int m_position = 0;
    QString m_item;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
};
