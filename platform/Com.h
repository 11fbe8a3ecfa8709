#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <cstdint>
#include <memory>

// Components created by name at run time. A component is a shared library that
// registers itself under HKEY_CLASSES_ROOT: its ProgID names a CLSID, and the
// CLSID's InprocServer32 key holds the library's path. The program that creates
// it needs no link to it, only the name.

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);

// What a component library exports, with C linkage. DllGetClassObject hands over
// a new object of the class named by its CLSID ("{...}"); the caller owns it.
extern "C" {
using DllGetClassObjectFn = HRESULT (*)(const char* clsid, QObject** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
}

// An entry point of a component library, loaded from the file at libraryPath (a
// relative path is taken from the current folder, never from the loader's search
// path); nullptr, with *problem telling why, when the file is not a regular file
// or does not load or export it. Anything else (a pipe, a device) is refused at
// once: the loader would wait on it for good.
QFunctionPointer resolveComponentEntry(const QString& libraryPath, const char* entry, QString* problem = nullptr);

// 429 "ActiveX component can't create object" when the name is not registered or
// the library does not give the object. The library stays loaded for the process,
// as the object's code lives in it.
std::unique_ptr<QObject> CreateObject(const QString& progId);

// Calls a method by name with the arguments converted to its parameter types; the
// method's result, or an invalid QVariant for none. 438 "Object doesn't support
// this property or method" when there is no such method for that many arguments,
// 13 "Type mismatch" when an argument does not convert.
QVariant CallByName(QObject* object, const char* method, const QVariantList& arguments);
