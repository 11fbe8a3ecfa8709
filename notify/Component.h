#pragma once

#include <QString>

// Where the component lives; its names are in ComponentNames.h.
namespace Component {
inline constexpr char ThreadingModel[] = "Apartment";

// The file the component's code was loaded from (the shared library, or the
// program it is linked into), and its folder: the local page lies beside it.
QString File();
QString Folder();
// The local page shown while the maker's page is not there.
QString LocalPage();
}
