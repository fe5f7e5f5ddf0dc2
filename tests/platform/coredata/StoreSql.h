#pragma once

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

#include <sqlite3.h>

namespace storetest {

// Runs statements on a store file straight through SQLite, as another program would.
inline void runSql(const QString& path, const QByteArray& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

} // namespace storetest
