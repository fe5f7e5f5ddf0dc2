#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;

namespace platform::xls {

// A compound file (version 3, 512-byte sectors) holding named streams side by side in
// its root storage. Streams below 4096 bytes live in the mini stream; a file whose
// allocation table outgrows the header's 109 entries gets DIFAT sectors.
class CompoundFile {
public:
    void addStream(const QString& name, QByteArray data);

    // Writes the whole file; false when the device refuses a write.
    bool write(QIODevice& out) const;

private:
    struct Stream {
        QString name;
        QByteArray data;
    };
    std::vector<Stream> m_streams;
};

} // namespace platform::xls
