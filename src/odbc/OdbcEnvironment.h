#pragma once

#include <sql.h>

#include <memory>

// The one ODBC environment that both sides' connections share. It is allocated with the first
// connection and freed when the last connection that holds it is closed.
class COdbcEnvironment {
public:
    // The shared environment, allocated if no connection holds it; nullptr when the driver
    // manager cannot allocate one.
    static std::shared_ptr<COdbcEnvironment> Acquire();

    ~COdbcEnvironment();
    COdbcEnvironment(const COdbcEnvironment&) = delete;
    COdbcEnvironment& operator=(const COdbcEnvironment&) = delete;

    SQLHENV Handle() const { return m_handle; }

private:
    explicit COdbcEnvironment(SQLHENV handle) : m_handle(handle) {}

    SQLHENV m_handle;
};
