#pragma once

#include <QString>

// Where the batch tool writes an export: standard output, or a file that is written under a
// temporary name in its own folder and renamed at the end, so that the file is either complete
// or not there at all. A write error keeps the lines before it, as the window's export does.
class CBatchOutput {
public:
    // path empty: standard output.
    explicit CBatchOutput(QString path);
    ~CBatchOutput();
    CBatchOutput(const CBatchOutput&) = delete;
    CBatchOutput& operator=(const CBatchOutput&) = delete;

    // Creates the temporary file; false when it cannot be created.
    bool Create();
    // The descriptor to write to and the name messages give it.
    int Descriptor() const { return m_descriptor; }
    QString ShownName() const;
    QString Path() const { return m_path; }
    // Gives the written file its name; false when it cannot (the temporary file is removed).
    bool Commit();
    // Removes what was written; nothing is left behind.
    void Discard();
    // Removes a file left at the path by an earlier run, for a command that writes none, so
    // that a script never reads an old result as this one's.
    void RemoveTarget();

private:
    void CloseDescriptor();

    QString m_path;
    QByteArray m_temporaryPath;
    int m_descriptor = -1;
};
