#pragma once

#include <utility>
#include <vector>

#include "objectfacts.h"

// Pairs the objects of two editions of one list (a drawing's objects, or a
// container's members), deterministically, in four rounds, each over what the
// rounds before left:
//   1. by identifier, where it is set, unique on both sides and names objects
//      of one type (the engine keeps identifiers across saves, but a copied
//      object keeps its original's, and a freed one can come back on another);
//   2. equal objects (same type, content and geometry), in list order;
//   3. objects whose text, binding or template is unique on both sides;
//   4. the nearest object of the same type within kRadius, closest pairs first
//      (each object's few nearest, among a bounded number per grid cell).
// What is left is removed (old side) or added (new side).
// Costs O(n) hashing plus a sort of the candidates of round 4.
class ObjectMatcher
{
public:
    static constexpr double kRadius = 40.0;

    ObjectMatcher(const std::vector<ObjectFacts>& before, const std::vector<ObjectFacts>& after);

    // Index into after of each object of before, or -1.
    const std::vector<int>& NewOf() const { return m_newOf; }
    // Index into before of each object of after, or -1.
    const std::vector<int>& OldOf() const { return m_oldOf; }

private:
    void pair(int oldIndex, int newIndex);
    void byIdentifier();
    void byEquality();
    void byContent();
    void byPosition();

    const std::vector<ObjectFacts>& m_before;
    const std::vector<ObjectFacts>& m_after;
    std::vector<int> m_newOf;
    std::vector<int> m_oldOf;
};
