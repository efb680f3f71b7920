#pragma once

#include <QString>

#include <memory>

class COdbcConnection;

// What a comparison run tells the progress dialog and asks of it. The dialog answers on the
// user-interface thread; a test answers directly.
class IComparisonProgress {
public:
    virtual ~IComparisonProgress() = default;
    // A positive range sets the bar to 0..range at position 0; 0 advances it one step.
    virtual void Progress(int range) = 0;
    // Nonzero once the user has asked to cancel.
    virtual int QueryCancel() = 0;
    // The name of the table being compared.
    virtual void SetItemText(const QString& text) = 0;
    // A step whose length is not known (a side's whole catalogue being read): what is read, and
    // a bar that shows work going on, until the next range is set.
    virtual void ShowBusy(const QString& what) { SetItemText(what); }
};

// A connection given up while a run's driver call on it did not return (see
// CSide::AbandonStuckConnection), with its data source's name for the message that
// says so. Whoever keeps it lets it go once that call has returned.
struct CAbandonedConnection {
    QString dataSource;
    std::shared_ptr<COdbcConnection> connection;
};
