#include "snapshot/SqliteDatabase.h"

#include <QFile>

#include <sqlite3.h>

CSqliteDatabase::~CSqliteDatabase() {
    Close();
}

bool CSqliteDatabase::Open(const QString& path, Mode mode) {
    Close();
    m_openError.clear();
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    // No URI parsing: a file named "file:..." is that file.
    sqlite3* handle = nullptr;
    const int result =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, flags, nullptr);
    if (result == SQLITE_OK) {
        const std::lock_guard lock(m_handleGuard);
        m_handle = handle;
        return true;
    }
    m_openError = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                         : QString::fromUtf8(sqlite3_errstr(result));
    sqlite3_close_v2(handle);
    return false;
}

void CSqliteDatabase::Close() {
    const std::lock_guard lock(m_handleGuard);
    if (m_handle)
        sqlite3_close_v2(m_handle);
    m_handle = nullptr;
}

bool CSqliteDatabase::Execute(const char* sql) {
    return m_handle && sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString CSqliteDatabase::ErrorText() const {
    if (!m_handle)
        return m_openError;
    return QString::fromUtf8(sqlite3_errmsg(m_handle));
}

void CSqliteDatabase::Interrupt() {
    const std::lock_guard lock(m_handleGuard);
    if (m_handle)
        sqlite3_interrupt(m_handle);
}
