#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <cstdint>
#include <optional>

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

    // The registry's own bounds: deeper keys and longer names are refused.
    static constexpr qsizetype MaxKeyDepth = 512;
    static constexpr qsizetype MaxKeyNameLength = 255;
    static constexpr qsizetype MaxValueNameLength = 16383;

    // Reads a hive file, in time linear in its size. Anything it cannot make sense
    // of is left out, so a damaged or foreign file reads as fewer (or no) keys,
    // never as wrong ones; *complete then tells that something was left out. An
    // empty file is a complete empty hive: it holds nothing that could be lost.
    static RegistryHive parse(const QByteArray& bytes, bool* complete = nullptr);
    QByteArray serialize() const;
    // The one key parse(bytes).key(path) would give, read without building the rest
    // of the hive: what a reader that wants a single key needs.
    static std::optional<Key> findKey(const QByteArray& bytes, const QString& path);

    // The path in its canonical form: components between backslashes, empty ones dropped.
    static QString normalPath(const QString& path);
    // Whether a canonical key path, or a value name, keeps within the bounds above.
    static bool keyPathFits(const QString& path);
    static bool valueNameFits(const QString& name);

    const Key* key(const QString& path) const;
    Key* key(const QString& path);
    // Creates the key and every missing key above it; returns the key.
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
