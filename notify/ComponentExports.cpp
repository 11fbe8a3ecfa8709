// The four entry points of the component library, with C linkage: the platform's
// CreateObject finds the library through the registry and asks it for objects,
// regsvr enters it in the registry and takes it out again.

#include "CNotify.h"
#include "Com.h"
#include "Component.h"
#include "ComponentNames.h"
#include "Registry.h"
#include "frmInfo.h"

#include <QFile>
#include <QString>

#include <initializer_list>

#define COMPONENT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
QString classKey()
{
    return QStringLiteral("CLSID\\") + QString::fromLatin1(ComponentNames::Clsid);
}

bool setDefault(const QString& key, const QString& name, const QByteArray& data)
{
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, QString(), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &hKey, nullptr)
        != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExA(hKey, name, 0, REG_SZ, data) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return ok;
}
}

COMPONENT_EXPORT HRESULT DllRegisterServer()
{
    const QString progId = QString::fromLatin1(ComponentNames::ProgId);
    const QString library = Component::File();
    if (library.isEmpty())
        return SELFREG_E_CLASS;
    const bool ok = setDefault(progId, QString(), "CNotify")
                    && setDefault(progId + QStringLiteral("\\CLSID"), QString(), ComponentNames::Clsid)
                    && setDefault(classKey(), QString(), "CNotify")
                    && setDefault(classKey() + QStringLiteral("\\ProgID"), QString(), ComponentNames::ProgId)
                    && setDefault(classKey() + QStringLiteral("\\InprocServer32"), QString(),
                                  QFile::encodeName(library))
                    && setDefault(classKey() + QStringLiteral("\\InprocServer32"), QStringLiteral("ThreadingModel"),
                                  Component::ThreadingModel);
    return ok ? S_OK : SELFREG_E_CLASS;
}

COMPONENT_EXPORT HRESULT DllUnregisterServer()
{
    const QString progId = QString::fromLatin1(ComponentNames::ProgId);
    // Deepest keys first: a key goes only once nothing lies below it. A key that
    // is already gone is no failure.
    bool ok = true;
    for (const QString& key : {classKey() + QStringLiteral("\\InprocServer32"), classKey() + QStringLiteral("\\ProgID"),
                               classKey(), progId + QStringLiteral("\\CLSID"), progId}) {
        const LONG status = RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        ok = ok && (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND);
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

COMPONENT_EXPORT HRESULT DllGetClassObject(const char* clsid, QObject** object)
{
    if (!object)
        return E_FAIL;
    *object = nullptr;
    if (!clsid || QString::fromLatin1(clsid).compare(QLatin1String(ComponentNames::Clsid), Qt::CaseInsensitive) != 0)
        return CLASS_E_CLASSNOTAVAILABLE;
    *object = new CNotify;
    return S_OK;
}

COMPONENT_EXPORT HRESULT DllCanUnloadNow()
{
    return CNotify::Instances() == 0 && !CNotify::Window() ? S_OK : S_FALSE;
}
