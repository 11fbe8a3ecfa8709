#include "StartNotice.h"

#include "AppPath.h"
#include "Attempt.h"
#include "Com.h"
#include "SingleInstance.h"

#include <QDir>
#include <QLibrary>
#include <QVariantList>

#include <memory>

namespace {
constexpr char ProgId[] = "Tidingo.CNotify";
constexpr char LibraryName[] = "libtidingo.so";

std::unique_ptr<QObject> createComponent()
{
    std::unique_ptr<QObject> component;
    if (attempt([&] { component = CreateObject(QString::fromLatin1(ProgId)); }))
        return component;
    // An installed copy has the component beside the games; the first start of
    // each player enters it in that player's registry, as installing it for
    // everyone cannot.
    QLibrary library(QDir(AppPath()).filePath(QString::fromLatin1(LibraryName)));
    const auto registerServer = reinterpret_cast<DllRegisterServerFn>(library.resolve("DllRegisterServer"));
    if (!registerServer || registerServer() != S_OK)
        return nullptr;
    attempt([&] { component = CreateObject(QString::fromLatin1(ProgId)); });
    return component;
}
}

void NotifyStartComponent()
{
    std::unique_ptr<QObject> component = createComponent();
    if (!component)
        return;
    // Both games introduce themselves by the same name; the second text is unused.
    attempt([&] {
        CallByName(component.get(), "Notify",
                   {QStringLiteral("gridwarden"), QStringLiteral("Other information,Not used.")});
    });
}

bool NotifyStartAsOnlyCopy(const QString& programName)
{
    if (AnotherCopyRunning(programName))
        return false;
    NotifyStartComponent();
    return true;
}
