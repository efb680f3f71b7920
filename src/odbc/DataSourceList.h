#pragma once

#include <QStringList>

// The data sources the driver manager knows, for the current user ($ODBCINI) or for the machine
// ($ODBCSYSINI/odbc.ini), each with its driver's name. False when the list cannot be read.
bool ListDataSources(bool system, QStringList& names, QStringList& drivers);

// The driver manager's own dialog to add, change or remove data sources. It is offered only when
// the driver manager can really show it (Debian ships no administration program for unixODBC).
bool CanManageDataSources();
// Shows that dialog and waits for it; false when it is not available or reports failure.
bool ManageDataSources();
