#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <cstdint>

// One root key's keys and values as they lie in the hive file. Key paths and value
// names compare without regard to case, as the registry's do; each keeps the
// spelling it was created with.
class RegistryHive {
public:
    struct Value {
        QString name;
        std::uint32_t type = 0;
        QByteArray data;
        bool operator==(const Value&) const = default;
    };
    struct Key {
        QString path;                 // "" is the root key itself
        bool readOnly = false;        // the player may read the key but not change it
        QMap<QString, Value> values;  // by folded name
        bool operator==(const Key&) const = default;
    };

    // Reads a hive file. Anything it cannot make sense of is left out, so a damaged
    // or foreign file reads as fewer (or no) keys, never as wrong ones.
    static RegistryHive parse(const QByteArray& bytes);
    QByteArray serialize() const;

    // The path in its canonical form: components between backslashes, empty ones dropped.
    static QString normalPath(const QString& path);

    const Key* key(const QString& path) const;
    Key* key(const QString& path);
    // Creates the key and every key above it; returns the key.
    Key& createKey(const QString& path);
    // Removes one key; its values go with it.
    void removeKey(const QString& path);
    bool hasSubKeys(const QString& path) const;
    void setValue(const QString& path, const QString& name, std::uint32_t type, const QByteArray& data);

    const QMap<QString, Key>& keys() const { return m_keys; }
    bool operator==(const RegistryHive&) const = default;

private:
    QMap<QString, Key> m_keys;  // by folded path
};
