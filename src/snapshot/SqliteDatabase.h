#pragma once

#include <QString>

#include <mutex>

struct sqlite3;

// An SQLite database file opened through libsqlite3, closed with the object. A snapshot is
// written into one and read from one; names and values only ever reach it as bound parameters.
class CSqliteDatabase {
public:
    enum class Mode { ReadOnly, Create };

    CSqliteDatabase() = default;
    ~CSqliteDatabase();
    CSqliteDatabase(const CSqliteDatabase&) = delete;
    CSqliteDatabase& operator=(const CSqliteDatabase&) = delete;

    // ReadOnly never creates the file nor writes to it; Create makes or opens it for writing.
    // False (with ErrorText) when it cannot be opened.
    bool Open(const QString& path, Mode mode);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }
    // Runs statements that take no parameters and return no rows.
    bool Execute(const char* sql);
    // SQLite's message for the last failure on this database.
    QString ErrorText() const;
    // Asks a running statement to stop; safe from another thread while the database is open.
    void Interrupt();

    sqlite3* Handle() const { return m_handle; }

private:
    sqlite3* m_handle = nullptr;
    QString m_openError;
    // Orders an interrupt from another thread with the opening and closing of the handle.
    std::mutex m_handleGuard;
};
