#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QUuid>
#include <QVariantMap>

#include <array>
#include <cstdint>
#include <optional>

// An immutable 16-byte identifier with text forms chosen by flags.
class Guid {
public:
    // Text format flags, combinable.
    enum Format : unsigned {
        Hyphens = 1, // groups of 8-4-4-4-12 digits
        Braces = 2, // enclosed in "{" and "}"
        Parentheses = 4, // enclosed in "(" and ")" unless Braces is set
        UpperCase = 8, // "A"-"F" instead of "a"-"f"
    };

    // The empty GUID.
    Guid();
    explicit Guid(const uint8_t* bytes); // 16 bytes, copied (initWithBytes / initWithBytePointer)
    explicit Guid(const QUuid& uuid); // initWithCFUUIDBytes
    // Parses the text; raises "Guid wrong format" when it is not one of the accepted forms.
    explicit Guid(const QString& text);

    // The bytes under "data" when exactly 16 are stored, otherwise the empty GUID.
    static Guid initWithCoder(const QVariantMap& coder);
    void encodeWithCoder(QVariantMap& coder) const;

    static const Guid& emptyGuid();
    static Guid randomGuid();
    [[nodiscard]] static std::optional<Guid> guidFromString(const QString& text);
    // Accepts 32 digits or the 36-character hyphenated form, bare or in braces or
    // parentheses, either case. Fills `bytes` (zeroed first) and answers whether it parsed.
    [[nodiscard]] static bool guidBytesFromString(const QString& text, uint8_t* bytes);

    QString stringValueWithFormat(unsigned format) const;
    QString stringValue() const; // 36 lower-case characters with hyphens
    QString description() const; // the same
    QString compactStringValue() const; // 32 lower-case digits

    QUuid uuidBytes() const;
    void byteDataToBuffer(uint8_t* buffer) const;
    QByteArray data() const;

    bool isEqual(const Guid& other) const { return m_bytes == other.m_bytes; }
    // True only for a Guid value with the same bytes (a text form is not equal).
    bool isEqual(const QVariant& other) const;
    bool operator==(const Guid& other) const { return isEqual(other); }
    bool operator!=(const Guid& other) const { return !isEqual(other); }
    // The four 32-bit little-endian words of the bytes, combined by exclusive or.
    uint32_t hash() const;
    bool isEmpty() const;

    // Archive key of the bytes.
    static const QString DataKey;

private:
    std::array<uint8_t, 16> m_bytes {};
};

inline size_t qHash(const Guid& guid, size_t seed = 0)
{
    return size_t(guid.hash()) ^ seed;
}

Q_DECLARE_METATYPE(Guid)
