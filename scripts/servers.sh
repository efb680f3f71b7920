# Private PostgreSQL and MariaDB servers for the tests, sourced by scripts/test.
# start_servers DIR writes the servers' data sources into DIR/odbc.ini's caller-provided file
# (the variable SERVER_ODBC_INI) and loads the fixtures under tests/fixtures. stop_servers stops
# whatever was started, also after a failure.

pg_bin=/usr/lib/postgresql/15/bin
pg_data="" ; pgv_data="" ; maria_pid=""

free_port() {
    local port
    while :; do
        port=$((20000 + RANDOM % 30000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
    done
}

# Runs a command as the given system user when we are root, as ourselves otherwise.
as_user() {
    local user=$1; shift
    if [ "$(id -u)" -eq 0 ]; then runuser -u "$user" -- "$@"; else "$@"; fi
}

# A new PostgreSQL cluster in FOLDER/data with its socket folder FOLDER/sockets.
init_postgres_cluster() {
    local folder=$1
    mkdir -p "$folder/data" "$folder/sockets"
    [ "$(id -u)" -ne 0 ] || chown -R postgres:postgres "$folder"
    as_user postgres "$pg_bin/initdb" -D "$folder/data" -A trust -U postgres -E UTF8 \
        --locale=C --no-sync >"$folder/initdb.log" 2>&1
}

# Creates the database "quorvix" on a running server and loads a fixture into it.
load_quorvix_database() {
    local sockets=$1 port=$2 fixture=$3
    psql -q -v ON_ERROR_STOP=1 -h "$sockets" -p "$port" -U postgres -d postgres \
        -c "CREATE DATABASE quorvix" >/dev/null
    psql -q -v ON_ERROR_STOP=1 -h "$sockets" -p "$port" -U postgres -d quorvix \
        -f "$fixture" >/dev/null
}

start_postgres() {
    local dir=$1 fixtures=$2
    pg_data="$dir/pg/data"
    local sockets="$dir/pg/sockets" port
    port=$(free_port)
    init_postgres_cluster "$dir/pg"
    # Every statement is logged with its user, so that a test can prove that a session of the
    # program sent nothing but catalogue queries and SELECTs.
    as_user postgres "$pg_bin/pg_ctl" -D "$pg_data" -l "$dir/pg/server.log" -w -t 60 \
        -o "-k $sockets -p $port -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off -c log_statement=all -c log_line_prefix=user:%u:" \
        start >/dev/null
    load_quorvix_database "$sockets" "$port" "$fixtures/postgres.sql"
    # A second database whose only schema is off the search path.
    psql -q -v ON_ERROR_STOP=1 -h "$sockets" -p "$port" -U postgres -d postgres \
        -c "CREATE DATABASE quorvix_erp" >/dev/null
    psql -q -v ON_ERROR_STOP=1 -h "$sockets" -p "$port" -U postgres -d quorvix_erp \
        -f "$fixtures/postgres-one-schema.sql" >/dev/null
    cat >>"$SERVER_ODBC_INI" <<INI
[QuorvixPostgres]
Description=Private PostgreSQL test server
Driver=PostgreSQL Unicode
Servername=$sockets
Port=$port
Database=quorvix
Username=postgres

[QuorvixPostgresErp]
Description=The private PostgreSQL test server's database whose one schema is off the search path
Driver=PostgreSQL Unicode
Servername=$sockets
Port=$port
Database=quorvix_erp
Username=postgres

[QuorvixPostgresAudit]
Description=The private PostgreSQL test server, as the user whose statements are audited
Driver=PostgreSQL Unicode
Servername=$sockets
Port=$port
Database=quorvix
Username=quorvix_audit

[QuorvixPostgresDown]
Description=A PostgreSQL server that does not run
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$(free_port)
Database=quorvix
Username=postgres

INI
    export QUORVIX_POSTGRES_LOG="$dir/pg/server.log"
    export QUORVIX_PG_SOCKETS="$sockets" QUORVIX_PG_PORT="$port"
}

# A second PostgreSQL server that tests may stop and start (scripts/volatile-postgres), so that
# failures in the middle of a run are tried without disturbing the other tests.
start_volatile_postgres() {
    local dir=$1 fixtures=$2
    pgv_data="$dir/pgv/data"
    local sockets="$dir/pgv/sockets" port
    port=$(free_port)
    init_postgres_cluster "$dir/pgv"
    # The options live in the configuration, so that a plain restart finds them.
    as_user postgres tee -a "$pgv_data/postgresql.conf" >/dev/null <<CONF
port = $port
unix_socket_directories = '$sockets'
listen_addresses = '127.0.0.1'
fsync = off
full_page_writes = off
CONF
    export QUORVIX_VOLATILE_PG="$pgv_data"
    "$(dirname "${BASH_SOURCE[0]}")/volatile-postgres" start
    load_quorvix_database "$sockets" "$port" "$fixtures/postgres-volatile.sql"
    cat >>"$SERVER_ODBC_INI" <<INI
[QuorvixPostgresVolatile]
Description=Private PostgreSQL test server that tests stop and start
Driver=PostgreSQL Unicode
Servername=$sockets
Port=$port
Database=quorvix
Username=postgres

INI
}

start_mariadb() {
    local dir=$1 fixtures=$2
    local data="$dir/maria/data" socket="$dir/maria/mariadb.sock" port user_args=()
    port=$(free_port)
    mkdir -p "$data"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R mysql:mysql "$dir/maria"
        user_args=(--user=mysql)
    fi
    mariadb-install-db --no-defaults "${user_args[@]}" --datadir="$data" --skip-test-db \
        --auth-root-authentication-method=socket >"$dir/maria/install.log" 2>&1
    mariadbd --no-defaults "${user_args[@]}" --datadir="$data" --socket="$socket" \
        --port="$port" --bind-address=127.0.0.1 --skip-log-bin --innodb-flush-log-at-trx-commit=0 \
        --log-error="$dir/maria/server.log" --pid-file="$dir/maria/mariadbd.pid" \
        >>"$dir/maria/console.log" 2>&1 &
    maria_pid=$!
    local tries=0
    until mariadb --no-defaults --socket="$socket" -u root -e "SELECT 1" >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 120 ] || ! kill -0 "$maria_pid" 2>/dev/null; then
            echo "MariaDB did not start:" >&2; tail -20 "$dir/maria/server.log" >&2; return 1
        fi
        sleep 0.5
    done
    mariadb --no-defaults --socket="$socket" -u root <"$fixtures/mariadb.sql"
    cat >>"$SERVER_ODBC_INI" <<INI
[QuorvixMariaDB]
Description=Private MariaDB test server
Driver=MariaDB Unicode
Socket=$socket
User=root

INI
}

stop_servers() {
    local data
    for data in "$pg_data" "$pgv_data"; do
        if [ -n "$data" ] && [ -f "$data/postmaster.pid" ]; then
            as_user postgres "$pg_bin/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
        fi
    done
    if [ -n "$maria_pid" ] && kill -0 "$maria_pid" 2>/dev/null; then
        kill "$maria_pid" 2>/dev/null || true
        wait "$maria_pid" 2>/dev/null || true
    fi
    pg_data="" ; pgv_data="" ; maria_pid=""
}
