#pragma once

#include <QtGlobal>

#include <memory>

class cField;

// Deals a random position as play can leave it: a board of up to maxSide x maxSide
// cells, regions opened through the field's own flood (so consistent with the
// mines), flags right and wrong, flags taken back, now and then a pressed cell or
// an exploded mine after a loss. The same seed always deals the same position.
class RandomPosition {
public:
    static std::unique_ptr<cField> deal(quint32 seed, int maxSide = 30);
};
