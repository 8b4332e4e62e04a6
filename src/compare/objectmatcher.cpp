#include "objectmatcher.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// Keys that occur exactly once on a side: key -> index, -1 once seen twice.
template <class Key, class KeyOf>
QHash<Key, int> uniqueKeys(const std::vector<ObjectFacts>& facts, const std::vector<int>& partner, KeyOf keyOf)
{
    QHash<Key, int> keys;
    for (const ObjectFacts& f : facts) {
        if (partner[size_t(f.index)] >= 0)
            continue;
        Key key;
        if (!keyOf(f, key))
            continue;
        auto it = keys.find(key);
        if (it == keys.end())
            keys.insert(key, f.index);
        else
            *it = -1;
    }
    return keys;
}

// A square of the position grid, per object type.
struct Cell
{
    int type;
    qint64 column;
    qint64 row;
    bool operator==(const Cell& o) const { return type == o.type && column == o.column && row == o.row; }
    friend size_t qHash(const Cell& cell, size_t seed = 0)
    {
        return qHashMulti(seed, cell.type, cell.column, cell.row);
    }
};

Cell cellOf(const ObjectFacts& f)
{
    const QPointF c = f.rect.center();
    return {f.type, qint64(std::floor(c.x() / ObjectMatcher::kRadius)),
            qint64(std::floor(c.y() / ObjectMatcher::kRadius))};
}

struct Candidate
{
    double distance;
    int oldIndex;
    int newIndex;
    bool operator<(const Candidate& o) const
    {
        return std::tie(distance, oldIndex, newIndex) < std::tie(o.distance, o.oldIndex, o.newIndex);
    }
};

// Bounds of the search by place: the new objects looked at in one cell, and
// the candidates kept per old object.
constexpr size_t kCellScan = 1024;
constexpr size_t kCandidates = 4;

} // namespace

ObjectMatcher::ObjectMatcher(const std::vector<ObjectFacts>& before, const std::vector<ObjectFacts>& after)
    : m_before(before), m_after(after), m_newOf(before.size(), -1), m_oldOf(after.size(), -1)
{
    byIdentifier();
    byEquality();
    byContent();
    byPosition();
}

void ObjectMatcher::pair(int oldIndex, int newIndex)
{
    m_newOf[size_t(oldIndex)] = newIndex;
    m_oldOf[size_t(newIndex)] = oldIndex;
}

void ObjectMatcher::byIdentifier()
{
    const auto idOf = [](const ObjectFacts& f, int& key) {
        key = f.id;
        return key != 0;
    };
    const QHash<int, int> oldIds = uniqueKeys<int>(m_before, m_newOf, idOf);
    const QHash<int, int> newIds = uniqueKeys<int>(m_after, m_oldOf, idOf);
    for (auto it = oldIds.begin(); it != oldIds.end(); ++it) {
        const int newIndex = newIds.value(it.key(), -1);
        if (it.value() >= 0 && newIndex >= 0 && m_before[size_t(it.value())].type == m_after[size_t(newIndex)].type)
            pair(it.value(), newIndex);
    }
}

void ObjectMatcher::byEquality()
{
    // Unpaired new objects by full key, in list order; head skips the ones
    // taken, so that many equal objects cost no more than a few.
    struct Waiting
    {
        std::vector<int> indexes;
        size_t head = 0;
    };
    QHash<size_t, Waiting> waiting;
    for (const ObjectFacts& f : m_after) {
        if (m_oldOf[size_t(f.index)] < 0)
            waiting[f.fullKey].indexes.push_back(f.index);
    }
    for (const ObjectFacts& f : m_before) {
        if (m_newOf[size_t(f.index)] >= 0)
            continue;
        auto it = waiting.find(f.fullKey);
        if (it == waiting.end())
            continue;
        Waiting& w = *it;
        while (w.head < w.indexes.size() && m_oldOf[size_t(w.indexes[w.head])] >= 0)
            ++w.head;
        for (size_t i = w.head; i < w.indexes.size(); ++i) {
            const ObjectFacts& other = m_after[size_t(w.indexes[i])];
            if (m_oldOf[size_t(other.index)] < 0 && f.sameContent(other) && f.sameGeometry(other)) {
                pair(f.index, other.index);
                break;
            }
        }
    }
}

void ObjectMatcher::byContent()
{
    const auto contentOf = [](const ObjectFacts& f, size_t& key) {
        key = f.contentKey;
        return f.isDistinctive();
    };
    const QHash<size_t, int> oldKeys = uniqueKeys<size_t>(m_before, m_newOf, contentOf);
    const QHash<size_t, int> newKeys = uniqueKeys<size_t>(m_after, m_oldOf, contentOf);
    for (auto it = oldKeys.begin(); it != oldKeys.end(); ++it) {
        const int newIndex = newKeys.value(it.key(), -1);
        if (it.value() >= 0 && newIndex >= 0 && m_before[size_t(it.value())].sameContent(m_after[size_t(newIndex)]))
            pair(it.value(), newIndex);
    }
}

void ObjectMatcher::byPosition()
{
    QHash<Cell, std::vector<int>> grid; // unpaired new objects by type and cell
    for (const ObjectFacts& f : m_after) {
        if (m_oldOf[size_t(f.index)] < 0)
            grid[cellOf(f)].push_back(f.index);
    }
    if (grid.isEmpty())
        return;
    std::vector<Candidate> candidates, near;
    for (const ObjectFacts& f : m_before) {
        if (m_newOf[size_t(f.index)] >= 0)
            continue;
        near.clear();
        const Cell home = cellOf(f);
        for (qint64 dc = -1; dc <= 1; ++dc) {
            for (qint64 dr = -1; dr <= 1; ++dr) {
                const auto it = grid.constFind(Cell{home.type, home.column + dc, home.row + dr});
                if (it == grid.constEnd())
                    continue;
                const size_t scanned = std::min(it->size(), kCellScan);
                for (size_t i = 0; i < scanned; ++i) {
                    const int n = (*it)[i];
                    const QPointF d = m_after[size_t(n)].rect.center() - f.rect.center();
                    const double distance = std::hypot(d.x(), d.y());
                    if (distance <= kRadius)
                        near.push_back({distance, f.index, n});
                }
            }
        }
        // Only the nearest few: a pile of look-alike objects must not cost
        // memory by the square of its size.
        const auto kept = near.begin() + std::ptrdiff_t(std::min(near.size(), kCandidates));
        std::partial_sort(near.begin(), kept, near.end());
        candidates.insert(candidates.end(), near.begin(), kept);
    }
    std::sort(candidates.begin(), candidates.end());
    for (const Candidate& c : candidates) {
        if (m_newOf[size_t(c.oldIndex)] < 0 && m_oldOf[size_t(c.newIndex)] < 0)
            pair(c.oldIndex, c.newIndex);
    }
}
