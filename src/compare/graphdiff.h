#pragma once

#include "graphchange.h"

class MGraphDoc;

// The structural differences between two editions of a drawing, computed from
// the drawings themselves: document properties first, then the objects (see
// ObjectDiff for their order and ObjectMatcher for how objects are paired).
// Two equal drawings give an empty list. Costs O(n log n) in the objects.
class GraphDiff
{
public:
    static GraphChangeList Compare(const MGraphDoc& before, const MGraphDoc& after);

private:
    static void properties(const MGraphDoc& before, const MGraphDoc& after, GraphChangeList& out);
    static void stations(const MGraphDoc& before, const MGraphDoc& after, GraphChangeList& out);
};
