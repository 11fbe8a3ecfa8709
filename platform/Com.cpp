#include "Com.h"

#include "LogCategories.h"
#include "Registry.h"
#include "RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMetaMethod>

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The default value of a key under HKEY_CLASSES_ROOT, empty when there is none.
// Library paths are stored as the file system's own bytes.
QByteArray defaultValue(const QString& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    QByteArray data;
    DWORD size = 4096;
    const LONG status = RegQueryValueExA(key, QString(), nullptr, &type, &data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return {};
    const qsizetype end = data.indexOf('\0');
    return end < 0 ? data : data.left(end);
}

// Every way a component fails to appear ends in the same error 429; the reason
// is only told to the log.
RuntimeError cannotCreate(const QString& progId, const QString& reason)
{
    qCDebug(lcComponent, "%s cannot be created: %s", qUtf8Printable(progId), qUtf8Printable(reason));
    return cannotCreateObject();
}

RuntimeError callRefused(const QObject* object, const char* method, const RuntimeError& error, const char* reason)
{
    qCDebug(lcComponent, "%s.%s refused: %s", object ? object->metaObject()->className() : "(no object)", method,
            reason);
    return error;
}
}

QFunctionPointer resolveComponentEntry(const QString& libraryPath, const char* entry, QString* problem)
{
    const QString path = QFileInfo(libraryPath).absoluteFilePath();
    // The loader opens the file with a plain, blocking open(), which never returns
    // on a pipe nobody writes to. So the file is opened first without blocking and
    // its kind checked on what was opened.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    const int openError = errno;
    struct stat st {};
    const bool regular = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (fd >= 0)
        ::close(fd);
    if (!regular) {
        if (problem)
            *problem = fd < 0 ? QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(openError)))
                              : QStringLiteral("%1 is not a regular file").arg(path);
        return nullptr;
    }
    // QLibrary leaves the library loaded when it goes: objects it made may outlive
    // the call by far.
    QLibrary library(path);
    const QFunctionPointer function = library.resolve(entry);
    if (!function && problem)
        *problem = library.errorString();
    return function;
}

std::unique_ptr<QObject> CreateObject(const QString& progId)
{
    if (progId.trimmed().isEmpty())
        throw cannotCreate(progId, QStringLiteral("no name"));
    const QByteArray clsid = defaultValue(progId + QStringLiteral("\\CLSID"));
    if (clsid.isEmpty())
        throw cannotCreate(progId, QStringLiteral("the name is not registered (HKEY_CLASSES_ROOT\\%1\\CLSID)")
                                       .arg(progId));
    const QString classKey
        = QStringLiteral("CLSID\\") + QString::fromLatin1(clsid) + QStringLiteral("\\InprocServer32");
    const QByteArray library = defaultValue(classKey);
    if (library.isEmpty())
        throw cannotCreate(progId, QStringLiteral("its class names no library (HKEY_CLASSES_ROOT\\%1)").arg(classKey));
    QString problem;
    const auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(
        resolveComponentEntry(QFile::decodeName(library), "DllGetClassObject", &problem));
    if (!getClassObject)
        throw cannotCreate(progId, problem);
    QObject* object = nullptr;
    const HRESULT result = getClassObject(clsid.constData(), &object);
    if (result != S_OK || !object)
        throw cannotCreate(progId, QStringLiteral("%1 gave no object for %2 (0x%3)")
                                       .arg(QFile::decodeName(library), QString::fromLatin1(clsid),
                                            QString::number(static_cast<quint32>(result), 16)));
    return std::unique_ptr<QObject>(object);
}

QVariant CallByName(QObject* object, const char* method, const QVariantList& arguments)
{
    constexpr qsizetype kMaxArguments = 10;
    if (!object || arguments.size() > kMaxArguments)
        throw callRefused(object, method, notSupported(), "no object, or too many arguments");
    const QMetaObject* meta = object->metaObject();
    const QByteArray name(method);
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        // Optional parameters appear as one method per number of arguments given.
        if (m.name() != name || m.parameterCount() != arguments.size() || m.access() == QMetaMethod::Private)
            continue;
        QVariantList converted = arguments;
        // The arguments point into these: both outlive the call.
        std::array<QByteArray, kMaxArguments> typeNames{};
        std::array<QGenericArgument, kMaxArguments> args{};
        for (qsizetype a = 0; a < converted.size(); ++a) {
            const QMetaType want(m.parameterType(static_cast<int>(a)));
            if (converted[a].metaType() != want && !converted[a].convert(want))
                throw callRefused(object, method, typeMismatch(), "an argument does not convert");
            typeNames[a] = m.parameterTypeName(static_cast<int>(a));
            args[a] = QGenericArgument(typeNames[a].constData(), converted[a].constData());
        }
        QVariant result;
        QGenericReturnArgument ret;
        if (m.returnMetaType().isValid() && m.returnMetaType().id() != QMetaType::Void) {
            result = QVariant(m.returnMetaType());
            ret = QGenericReturnArgument(m.returnMetaType().name(), result.data());
        }
        if (!m.invoke(object, Qt::DirectConnection, ret, args[0], args[1], args[2], args[3], args[4], args[5],
                      args[6], args[7], args[8], args[9]))
            throw callRefused(object, method, notSupported(), "the call did not go through");
        return result;
    }
    throw callRefused(object, method, notSupported(), "no such method for that many arguments");
}
