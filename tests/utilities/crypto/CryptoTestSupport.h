#pragma once

#include "common/TestSupport.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

// Helpers of the encryption tests: repeatable random input and the outside tools that check
// our bytes.
namespace cryptotest {

inline QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(generator.bounded(256));
    return bytes;
}

// Runs the tool and fails the test when it does not exit with 0.
inline QByteArray tool(
    const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    int code = -1;
    const QByteArray out = testsupport::runTool(program, arguments, input, &code);
    EXPECT_EQ(code, 0) << program.toStdString() << ' ' << arguments.join(' ').toStdString();
    return out;
}

} // namespace cryptotest
