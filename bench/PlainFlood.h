#pragma once

class cField;

// The plain recursive flood, one call per opened cell, reading every list from
// its cell: the baseline the field's own flood is measured against.
namespace PlainFlood {
void open(cField& field, int index);
}
